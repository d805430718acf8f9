// The service frame: start steps with their status reports, the control handler with pause and
// continue, the clean-up at stop, and error events.
#include "tracesvc/service_frame.h"

#include <cstdio>

#include "common/setup_log.h"
#include "tracesvc/diag_log.h"
#include "tracesvc/stream_settings.h"
#include "tracesvc/streams.h"
#include "tracesvc/workers.h"

const char kDispatchServiceName[] = "Dialcore Trace- and LogService";

namespace {

constexpr DWORD kPendingWaitHint = 3000;
constexpr DWORD kWorkerStackSize = 4096;

// The status record is written by the service main thread and by the control handler; each takes
// a copy under this lock and reports the copy outside it, because SetServiceStatus may wait for
// the dispatcher while the handler runs.
CRITICAL_SECTION g_statusLock;
SERVICE_STATUS g_status;
SERVICE_STATUS_HANDLE g_statusHandle;
HANDLE volatile g_stopEvent;
HANDLE g_threads[3];
DWORD volatile g_lastError;

struct StatusLockInit {
    StatusLockInit() { InitializeCriticalSection(&g_statusLock); }
} g_statusLockInit;

DWORD CurrentState() {
    EnterCriticalSection(&g_statusLock);
    const DWORD state = g_status.dwCurrentState;
    LeaveCriticalSection(&g_statusLock);
    return state;
}

const char* ControlName(DWORD code) {
    static const char* const kNames[] = {"", "SERVICE_CONTROL_STOP", "SERVICE_CONTROL_PAUSE",
                                         "SERVICE_CONTROL_CONTINUE", "SERVICE_CONTROL_INTERROGATE",
                                         "SERVICE_CONTROL_SHUTDOWN"};
    return code < sizeof kNames / sizeof kNames[0] ? kNames[code] : "";
}

bool StartWorker(const char* line, LPTHREAD_START_ROUTINE procedure, HANDLE* thread) {
    TraceLog(kLogTrace, "%s", line);
    DWORD id = 0;
    *thread = CreateThread(nullptr, kWorkerStackSize, procedure, nullptr, 0, &id);
    return *thread != nullptr;
}

void Cleanup() {
    TraceLog(kLogTrace, "Cleanup");
    HANDLE stopEvent = g_stopEvent;
    g_stopEvent = nullptr;
    if (stopEvent) CloseHandle(stopEvent);
    TraceLog(kLogTrace, "Closetracing bye bye");
    TraceLog(kLogTrace, "****** Call CloseTracing and Logging *****");
    // The files close before STOPPED is reported, so that nothing reaches them once the service
    // control manager considers the service stopped.
    CloseStreams();
    if (g_statusHandle) report_status(SERVICE_STOPPED, g_lastError, 0, 0);
    // The workers are never joined and may be in the middle of a line: the log is taken out of
    // use, and its file closes with the process.
    RetireSetupLog();
}

}  // namespace

BOOL report_status(DWORD state, DWORD exitCode, DWORD checkPoint, DWORD waitHint) {
    EnterCriticalSection(&g_statusLock);
    g_status.dwControlsAccepted =
        state == SERVICE_START_PENDING ? 0 : SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE;
    g_status.dwCurrentState = state;
    g_status.dwWin32ExitCode = exitCode;
    g_status.dwCheckPoint = checkPoint;
    g_status.dwWaitHint = waitHint;
    SERVICE_STATUS report = g_status;
    LeaveCriticalSection(&g_statusLock);
    const BOOL ok = SetServiceStatus(g_statusHandle, &report);
    if (!ok) report_service_error("SetServiceStatus");
    return ok;
}

void report_service_error(const char* text) {
    g_lastError = GetLastError();
    HANDLE source = RegisterEventSourceA(nullptr, "Varnek DialCore TraceService");
    char message[80];
    snprintf(message, sizeof message, "Varnek DialCore TraceService error: %d", static_cast<int>(g_lastError));
    if (source) {
        const char* strings[2] = {message, text};
        ReportEventA(source, EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 2, 0, strings, nullptr);
        DeregisterEventSource(source);
    }
    HANDLE stopEvent = g_stopEvent;
    if (stopEvent) SetEvent(stopEvent);
}

void WINAPI service_ctrl(DWORD code) {
    TraceLog(kLogTrace, "service_ctrl %d  (%s)", static_cast<int>(code), ControlName(code));
    DWORD state = CurrentState();
    switch (code) {
    case SERVICE_CONTROL_STOP: {
        report_status(SERVICE_STOP_PENDING, 0, 1, kPendingWaitHint);
        HANDLE stopEvent = g_stopEvent;
        if (stopEvent) SetEvent(stopEvent);
        return;
    }
    case SERVICE_CONTROL_PAUSE:
        if (state == SERVICE_RUNNING) {
            HoldWorkers();
            state = SERVICE_PAUSED;
        }
        break;
    case SERVICE_CONTROL_CONTINUE:
        if (state == SERVICE_PAUSED) {
            ReleaseWorkers();
            state = SERVICE_RUNNING;
        }
        break;
    default:
        break;
    }
    report_status(state, 0, 0, 0);
}

void WINAPI service_main(DWORD, LPSTR*) {
    g_statusHandle = RegisterServiceCtrlHandlerA("SimpleService", service_ctrl);
    if (g_statusHandle) {
        g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        g_status.dwServiceSpecificExitCode = 0;
        if (report_status(SERVICE_START_PENDING, 0, 1, kPendingWaitHint)) {
            TraceLog(kLogTrace, "****** LoggingStart *****");
            LoggingStart();
            TraceLog(kLogTrace, "****** TracingStart *****");
            TracingStart();
            g_changeInterval = ReadChangeInterval();
            HANDLE stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            g_stopEvent = stopEvent;
            if (stopEvent && CreateWorkerGates() && report_status(SERVICE_START_PENDING, 0, 2, kPendingWaitHint)) {
                const bool trace = StartWorker("Start Workerthread Trace", worker_threadTrace, &g_threads[0]);
                const bool log = StartWorker("Start Workerthread Log", worker_threadLog, &g_threads[1]);
                const bool change = StartWorker("Start Workerthread Change", worker_threadChange, &g_threads[2]);
                if (trace && log && change && report_status(SERVICE_RUNNING, 0, 0, 0)) {
                    TraceLog(kLogTrace, "WaitForSingleObject event end");
                    WaitForSingleObject(stopEvent, INFINITE);
                }
            }
        }
    }
    Cleanup();
}
