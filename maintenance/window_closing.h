// Closing the windows of other programs that may hold the package's files or event-log sources.
#pragma once

#include <windows.h>

// How long one window may take to answer WM_CLOSE before it is given up as hung.
constexpr DWORD kCloseAnswerMs = 5000;
// How often the SNMP client windows are looked for again after the ones found were closed.
constexpr int kSnmpCloseRounds = 10;

// Each sends WM_CLOSE to every matching top-level window of another process, waiting at most
// kCloseAnswerMs for each; the calling process's own windows are never touched.
void CloseEventViewerWindows();
void CloseGatewayWindows();
// Until no window titled "SNMP Client Application" is left that has not been sent WM_CLOSE yet,
// for at most kSnmpCloseRounds rounds: a window that hides instead of closing is sent it once.
void CloseSnmpClientWindows();
