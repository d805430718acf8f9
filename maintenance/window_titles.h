// Which windows the stop procedures close, told by their titles: plain tests without system calls.
#pragma once

#include <cstddef>

// Titles are read up to this many characters.
constexpr size_t kWindowTitleLength = 256;

extern const char kSnmpClientTitle[];  // "SNMP Client Application", matched exactly

// The title in upper case holds "EVENT VIEWER" or "EREIGNISANZEIGE".
bool IsEventViewerTitle(const char* title);
// The title in upper case holds "LINVORA" and not "FOR WINDOWS": the gateway's own programs, not
// its setup.
bool IsGatewayProgramTitle(const char* title);
bool IsSnmpClientTitle(const char* title);
