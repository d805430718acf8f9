// The export table of VRKSUDLL.DLL: one line per setup procedure, naming its ENTER and LEAVE
// lines, its worker and how its frame differs from the common pattern. The names are listed once
// more in vrksudll.def, which exports them undecorated.
#include <windows.h>

#include "common/language.h"
#include "common/setup_results.h"
#include "maintenance/cleanup_workers.h"
#include "maintenance/old_version_update.h"
#include "maintenance/provisioning.h"
#include "maintenance/stop_processes.h"
#include "rasconfig/config_center.h"
#include "router/first_link.h"
#include "router/ipipx_config.h"
#include "router/lan_config.h"
#include "router/wan_config.h"
#include "setupdll/setup_frame.h"

namespace {

BOOL AttachLanguageWorker(const SetupArguments& arguments, const char** result) {
    const BOOL attached = AttachLanguageModule(arguments.parameter);
    *result = attached ? kResultOk : kResultLanguageDllNotFound;
    return attached;
}

}  // namespace

#define VRK_SETUP_PROCEDURE(name, enter, leave, worker, flags)                       \
    extern "C" BOOL WINAPI name(DWORD argc, LPSTR argv[], LPSTR* result) {            \
        static const SetupExport row = {enter, leave, worker, flags};                 \
        return RunSetupProcedure(row, argc, argv, result);                            \
    }

VRK_SETUP_PROCEDURE(AttachLangDLL, "AttachLangDLL ENTER;wnd=%x;param=%s", "AttachLangDLL LEAVE; %s",
                    AttachLanguageWorker, kParsesArguments | kEnterShowsParameter)
VRK_SETUP_PROCEDURE(CallRasConfigCenter, "CallRasConfigCenter ENTER", "CallRasConfigCenter LEAVE",
                    ConfigCenterWorker, kParsesArguments | kAnswersOk)
VRK_SETUP_PROCEDURE(VrkMprWanConfig, "VrkMprWanConfig ENTER; wnd=%x", "VrkMprWanConfig LEAVE; %s",
                    MprWanConfigWorker, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkRasWanConfig, "VrkRasWanConfig ENTER; wnd=%x", "VrkRasWanConfig LEAVE; %s",
                    RasWanConfigWorker, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkMprSetSNMPRegistry, "VrkMprSetSNMPRegistry ENTER", "VrkMprSetSNMPRegistry LEAVE; %s",
                    SetSnmpRegistryWorker, 0)
VRK_SETUP_PROCEDURE(VrkMprSetRegistry, "VrkMprSetRegistry ENTER;wnd=%x", "VrkMprSetRegistry LEAVE; %s",
                    SetRouterRegistryWorker, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkMprWritePerformanceFile, "VrkMprWritePerformanceFile ENTER",
                    "VrkMprWritePerformanceFile LEAVE; %s", WritePerformanceFileWorker, 0)
VRK_SETUP_PROCEDURE(VrkRasProvideRegistry, "VrkRasProvideRegistry ENTER; wnd=%x", "VrkRasProvideRegistry LEAVE; %s",
                    ProvideRasRegistryWorker, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkLVProvideRegistry, "VrkLVProvideRegistry ENTER;wnd= %x", "VrkLVProvideRegistry LEAVE;%s",
                    ProvideGatewayRegistryWorker, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkMprStopProcesses, "VrkMprStopProcesses ENTER;wnd = %x", "VrkMprStopProcesses LEAVE; %s",
                    StopRouterProcessesWorker, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkRasStopProcesses, "VrkRasStopProcesses ENTER; wnd=%x", "VrkRasStopProcesses LEAVE;%s",
                    StopRemoteAccessProcessesWorker, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkLVStopProcesses, "VrkLVStopProcesses ENTER;wnd= %x", "VrkLVStopProcesses LEAVE;%s",
                    StopGatewayProcessesWorker, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkMprUpdateOldVersion, "VrkMprUpdateOldVersion ENTER", "VrkMprUpdateOldVersion LEAVE; %s",
                    UpdateOldRouterWorker, 0)
VRK_SETUP_PROCEDURE(VrkRasUpdateOldVersion, "VrkRasUpdateOldVersion ENTER; wnd=%x",
                    "VrkRasUpdateOldVersion LEAVE; %s", UpdateOldRemoteAccessWorker, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkMprIPIPXConfig, "VrkMprIPIPXConfig ENTER; wnd=%x", "VrkMprIPIPXConfig LEAVE; %s",
                    ConfigureIpIpx, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkMprConfigureFirstLink, "VrkMprConfigureFirstLink ENTER; %x",
                    "VrkMprConfigureFirstLink LEAVE; %s", ConfigureFirstLink, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkMprLanConfig, "VrkMprLanConfig ENTER; wnd=%x%s", "VrkMprLanConfig LEAVE; %s",
                    ConfigureLanWorker, kParsesArguments | kEnterShowsInstallMode)
VRK_SETUP_PROCEDURE(VrkMprCleanUp, "VrkMprCleanUp ENTER;wnd= %x", "VrkMprCleanUp LEAVE", RouterCleanUpWorker,
                    kParsesArguments | kAnswersOk)
VRK_SETUP_PROCEDURE(VrkRasCleanUp, "VrkRasCleanUp ENTER;wnd= %x", "VrkRasCleanUp LEAVE", RemoteAccessCleanUpWorker,
                    kParsesArguments | kAnswersOk)
VRK_SETUP_PROCEDURE(VrkLVCleanUp, "VrkLVCleanUp ENTER;wnd= %x", "VrkLVCleanUp LEAVE", GatewayCleanUpWorker,
                    kParsesArguments | kAnswersOk)
