// The service's own diagnostic log: the threshold test before any formatting, source 36 on every line.
#include "tracesvc/diag_log.h"

#include <cstdarg>

#include "common/setup_log.h"

void TraceLog(DWORD level, const char* format, ...) {
    // Chunk lines come by the thousand while a stream drains: skip the formatting when they are dropped.
    if (LogLevel < level || !IsSetupLogOpen()) return;
    va_list arguments;
    va_start(arguments, format);
    WriteSetupLogV(kLogSourceTrace, level, format, arguments);
    va_end(arguments);
}
