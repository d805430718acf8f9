// Start and end of VRKSUDLL.DLL: the log, the language module and the 3D dialog controls.
#include <windows.h>

#include "common/language.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "setupdll/dialog_3d.h"
#include "setupdll/setup_module.h"

HINSTANCE SetupModuleInstance = nullptr;

namespace {

const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";

void AttachProcess(HINSTANCE instance) {
    // Every load starts a new log in the same place, whatever an earlier version wrote there.
    WriteRegString("SOFTWARE\\VARNEK\\VrkSetup\\LogName", "c:\\temp\\setup.log", kRegClose);
    OpenSetupLog(kSetupKey, "LogName", "LogLevel");

    char hostPath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, hostPath, sizeof hostPath);
    if (length >= sizeof hostPath) hostPath[sizeof hostPath - 1] = '\0';
    if (LogLevel >= 2) WriteSetupLog(kLogSourceSetup, 2, "VRKSETUP DLL Attached (%s)", hostPath);

    SetupModuleInstance = instance;
    Register3dControls(instance);
    AttachLanguageModule(nullptr);
}

void DetachProcess(bool processEnding) {
    Unregister3dControls(SetupModuleInstance, processEnding);
    if (LogLevel >= 2) WriteSetupLog(kLogSourceSetup, 2, "VRKSETUP DLL Detached");
    CloseSetupLog();
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        AttachProcess(instance);
        break;
    case DLL_PROCESS_DETACH:
        DetachProcess(reserved != nullptr);
        break;
    default:
        break;
    }
    // Nothing above may keep the setup engine from loading the DLL.
    return TRUE;
}
