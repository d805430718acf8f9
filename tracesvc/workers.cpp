// The three worker threads: trace and log drains at the poll interval, the settings check at the
// change interval, each held by a pause at its gate between two cycles.
#include "tracesvc/workers.h"

#include <atomic>

#include "common/setup_log.h"
#include "tracesvc/diag_log.h"
#include "tracesvc/stream_settings.h"
#include "tracesvc/streams.h"

DWORD g_changeInterval = kDefaultChangeInterval;

namespace {

enum Worker { kTrace, kLog, kChange, kWorkers };

// Manual-reset events, signalled while the worker may run. They live as long as the process: a
// worker held by a pause stays at its gate when the service stops.
HANDLE g_gates[kWorkers];
// Set before the gates close and cleared after they open, so that a running worker passes without
// asking the system about its gate, which would cost a call per cycle all day long.
std::atomic<bool> g_holding{false};

void BetweenCycles(Worker worker, DWORD interval) {
    Sleep(interval);
    if (g_holding) WaitForSingleObject(g_gates[worker], INFINITE);
}

}  // namespace

BOOL CreateWorkerGates() {
    for (HANDLE& gate : g_gates) {
        if (!gate) gate = CreateEventA(nullptr, TRUE, TRUE, nullptr);
        if (!gate) return FALSE;
    }
    return TRUE;
}

void HoldWorkers() {
    g_holding = true;
    for (HANDLE gate : g_gates) ResetEvent(gate);
}

void ReleaseWorkers() {
    for (HANDLE gate : g_gates) SetEvent(gate);
    g_holding = false;
}

DWORD WINAPI worker_threadTrace(LPVOID) {
    TraceLog(kLogTrace, "worker_threadTrace: Enter");
    for (;;) {
        DrainStream(g_traceFile);
        BetweenCycles(kTrace, g_traceFile.PollInterval());
    }
}

DWORD WINAPI worker_threadLog(LPVOID) {
    TraceLog(kLogTrace, "worker_threadLog: Enter");
    for (;;) {
        DrainStream(g_logFile);
        BetweenCycles(kLog, g_logFile.PollInterval());
    }
}

DWORD WINAPI worker_threadChange(LPVOID) {
    TraceLog(kLogTrace, "worker_threadChange: Enter");
    for (;;) {
        SettingsCheck();
        BetweenCycles(kChange, g_changeInterval);
    }
}
