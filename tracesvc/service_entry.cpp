// TraceLogSvc's process entry: opens the diagnostic log and hands the process to the service control manager.
#include <windows.h>

#include "common/setup_log.h"
#include "tracesvc/diag_log.h"
#include "tracesvc/service_frame.h"
#include "tracesvc/stream_settings.h"

int main() {
    OpenSetupLog(kTraceServiceParametersKey, "TraceServiceTrace", "TraceServiceTraceLevel");
    TraceLog(kLogTrace, "Start Service");
    SERVICE_TABLE_ENTRYA table[] = {{const_cast<char*>(kDispatchServiceName), service_main}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherA(table)) report_service_error("StartServiceCtrlDispatcher failed.");
    // The workers are never joined: ending the process here stops them before the runtime's exit
    // code could tear down the stream writers they may still be using.
    ExitProcess(0);
}
