// The service's own diagnostic log: every line with the trace service's source number.
#pragma once

#include <windows.h>

// Writes one line of the given level when the log is open and its threshold lets the level pass.
void TraceLog(DWORD level, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
