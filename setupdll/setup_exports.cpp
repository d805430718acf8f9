// The export table of VRKSUDLL.DLL: one line per setup procedure, naming its ENTER and LEAVE
// lines, its worker and how its frame differs from the common pattern. The names are listed once
// more in vrksudll.def, which exports them undecorated.
#include <windows.h>

#include "common/language.h"
#include "router/first_link.h"
#include "router/ipipx_config.h"
#include "router/lan_config.h"
#include "setupdll/setup_frame.h"
#include "setupdll/setup_results.h"

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
VRK_SETUP_PROCEDURE(VrkMprIPIPXConfig, "VrkMprIPIPXConfig ENTER; wnd=%x", "VrkMprIPIPXConfig LEAVE; %s",
                    ConfigureIpIpx, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkMprConfigureFirstLink, "VrkMprConfigureFirstLink ENTER; %x",
                    "VrkMprConfigureFirstLink LEAVE; %s", ConfigureFirstLink, kParsesArguments)
VRK_SETUP_PROCEDURE(VrkMprLanConfig, "VrkMprLanConfig ENTER; wnd=%x%s", "VrkMprLanConfig LEAVE; %s",
                    ConfigureLanWorker, kParsesArguments | kEnterShowsInstallMode)
