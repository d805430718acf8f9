// The export table of VRKSUDLL.DLL: one line per setup procedure, naming its ENTER and LEAVE
// lines, its worker and how its frame differs from the common pattern. The names are listed once
// more in vrksudll.def, which exports them undecorated.
#include <windows.h>

#include "common/language.h"
#include "rasconfig/config_center.h"
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
VRK_SETUP_PROCEDURE(CallRasConfigCenter, "CallRasConfigCenter ENTER", "CallRasConfigCenter LEAVE",
                    ConfigCenterWorker, kParsesArguments | kAnswersOk)
