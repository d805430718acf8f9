// Events of the stream writers: a file that cannot be written, and writing that goes on again.
// Unlike the frame's error report they leave the service running.
#pragma once

#include <windows.h>

// An error event (and a diagnostic line) for a file that could not be opened or written; error is
// the Win32 error of the failed step.
void ReportStreamFailure(const char* file, DWORD error);
// A warning event (and a diagnostic line) once the file takes text again, with the number of the
// driver's bytes that were dropped meanwhile; error is the one the failure was reported with.
void ReportStreamResumed(const char* file, DWORD error, unsigned long long lostBytes);
