// The program-group icons for viewing the trace and log files, installed by the operating
// system's setup program after a file name changed.
#pragma once

#include <windows.h>

// Starts "setup.exe /f /t TraceFilename = ... /c SetRasTraceIcons /i ...VRKICONS.INF" without
// waiting; an empty name is passed as "". FALSE when a name cannot be passed or the program did
// not start; nobody reports that.
BOOL InstallTraceIcons(const char* traceName, const char* logName);
