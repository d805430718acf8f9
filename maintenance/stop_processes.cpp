#include "maintenance/stop_processes.h"

#include "common/ascii_case.h"
#include "common/handles.h"
#include "common/progress_note.h"
#include "common/setup_log.h"
#include "common/setup_results.h"
#include "lang/resource.h"
#include "maintenance/replaced_settings.h"
#include "maintenance/window_closing.h"

const char kLogService[] = "VrklogSV";

namespace {

// The system's own service among the router's: the router's removal starts it again when it ran.
const char kSnmpService[] = "SNMP";
// The router's services in the order they depend on each other: the router service first, then
// the log service it writes to, then SNMP, which has the router's agent loaded.
const char* const kRouterServices[] = {"VrkMprSV", kLogService, kSnmpService};

// What the gateway and remote-access procedures give the closed windows' programs to end.
constexpr DWORD kSettleMs = 1000;

int ErrorNumber(DWORD error) { return static_cast<int>(error); }

}  // namespace

BOOL StopServiceAndWait(SC_HANDLE manager, const char* name, bool* accepted) {
    if (accepted) *accepted = false;
    vrk::ServiceHandle service(OpenServiceA(manager, name, SERVICE_ALL_ACCESS));
    if (!service.valid()) {
        const DWORD error = GetLastError();
        WriteSetupLog(kLogSourceSetup, kLogTrace, "%s openservice %d", name, ErrorNumber(error));
        return error == ERROR_SERVICE_DOES_NOT_EXIST;
    }
    WriteSetupLog(kLogSourceSetup, kLogTrace, "%s openservice ok", name);
    SERVICE_STATUS status = {};
    if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "%s stopservice error %d", name, ErrorNumber(GetLastError()));
        return TRUE;
    }
    if (accepted) *accepted = true;
    for (int polls = 0;;) {
        if (!QueryServiceStatus(service.get(), &status)) {
            WriteSetupLog(kLogSourceSetup, kLogFailure, "%s queryservice error %d", name, ErrorNumber(GetLastError()));
            return TRUE;
        }
        WriteSetupLog(kLogSourceSetup, kLogTrace, "%s queryservicestatus ok", name);
        if (status.dwCurrentState == SERVICE_STOPPED) {
            WriteSetupLog(kLogSourceSetup, kLogTrace, "%s stopservice ok", name);
            return TRUE;
        }
        Sleep(kStopPollMs);
        if (++polls == kStopPolls) {
            WriteSetupLog(kLogSourceSetup, kLogFailure, "%s stop service error timeout", name);
            return TRUE;
        }
    }
}

BOOL StopRouterProcessesWorker(const SetupArguments& arguments, const char** result) {
    ShowProgressNote(arguments.window, IDS_NOTE_STOP_ROUTER, IDS_NOTE_CAPTION);
    CloseSnmpClientWindows();
    BOOL stopped = TRUE;
    {
        // Without a manager every open fails with another error than "not installed": "ERROR".
        vrk::ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        for (const char* name : kRouterServices) {
            bool ran = false;
            stopped = StopServiceAndWait(manager.get(), name, &ran);
            if (ran && EqualsIgnoringCase(name, kSnmpService)) RecordServiceStopped(name);
            if (!stopped) break;
        }
    }
    *result = stopped ? kResultOk : kResultError;
    CloseEventViewerWindows();
    CloseProgressNote();
    return TRUE;
}

BOOL StopRemoteAccessProcessesWorker(const SetupArguments& arguments, const char** result) {
    ShowProgressNote(arguments.window, IDS_NOTE_STOP_REMOTE_ACCESS, IDS_NOTE_CAPTION);
    CloseEventViewerWindows();
    Sleep(kSettleMs);
    CloseProgressNote();
    *result = kResultOk;
    return TRUE;
}

BOOL StopGatewayProcessesWorker(const SetupArguments& arguments, const char** result) {
    ShowProgressNote(arguments.window, IDS_NOTE_STOP_GATEWAY, IDS_NOTE_CAPTION);
    CloseGatewayWindows();
    {
        vrk::ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        StopServiceAndWait(manager.get(), kLogService);
    }
    CloseEventViewerWindows();
    Sleep(kSettleMs);
    CloseProgressNote();
    *result = kResultOk;
    return TRUE;
}
