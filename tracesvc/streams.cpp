// The service's two stream writers: started at service start, drained by their workers, checked for
// new settings by the change worker, closed at stop.
#include "tracesvc/streams.h"

#include "common/setup_log.h"
#include "rasconfig/driver_channel.h"
#include "tracesvc/diag_log.h"

RotatingFile g_traceFile;
RotatingFile g_logFile;

void LoggingStart() { g_logFile.Start(StreamKind::Log, ReadLogStream); }

void TracingStart() { g_traceFile.Start(StreamKind::Trace, ReadTraceStream); }

void SettingsCheck() {
    g_logFile.SetLimits(ReadStreamFileCount(StreamKind::Log), SizeLimitBytes(ReadStreamFileSizeKiB(StreamKind::Log)));
    g_traceFile.SetLimits(ReadStreamFileCount(StreamKind::Trace),
                          SizeLimitBytes(ReadStreamFileSizeKiB(StreamKind::Trace)));
    char name[kStreamNameSize];
    ReadStreamFileName(StreamKind::Trace, name);
    if (g_traceFile.ChangeName(name)) TraceLog(kLogTrace, "Change Check detect for Tracing");
    ReadStreamFileName(StreamKind::Log, name);
    if (g_logFile.ChangeName(name)) TraceLog(kLogTrace, "Change Check detect for Logging");
}

void CloseStreams() {
    g_traceFile.Close();
    g_logFile.Close();
}

void DrainStream(RotatingFile& file) {
    char buffer[kDriverTextBufferSize];
    file.Drain(buffer, sizeof buffer);
}
