#include "setupdll/dialog_3d.h"

namespace {

using Ctl3dModuleProc = BOOL(WINAPI*)(HINSTANCE);
using Ctl3dColorChangeProc = BOOL(WINAPI*)();

// Loaded at run time: later systems dropped the library, and a static import would keep the
// DLL from loading there.
HMODULE ctl3dLibrary = nullptr;

template <typename Proc>
Proc Lookup(const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(ctl3dLibrary, name)));
}

}  // namespace

void Register3dControls(HINSTANCE module) {
    ctl3dLibrary = LoadLibraryA("CTL3D32.DLL");
    if (!ctl3dLibrary) return;
    auto registerModule = Lookup<Ctl3dModuleProc>("Ctl3dRegister");
    auto autoSubclass = Lookup<Ctl3dModuleProc>("Ctl3dAutoSubclass");
    auto colorChange = Lookup<Ctl3dColorChangeProc>("Ctl3dColorChange");
    if (registerModule) registerModule(module);
    if (autoSubclass) autoSubclass(module);
    if (colorChange) colorChange();
}

void Unregister3dControls(HINSTANCE module, bool processEnding) {
    if (!ctl3dLibrary) return;
    if (auto unregisterModule = Lookup<Ctl3dModuleProc>("Ctl3dUnregister")) unregisterModule(module);
    // While the process ends, the library may already be gone; freeing it then is not allowed.
    if (!processEnding) FreeLibrary(ctl3dLibrary);
    ctl3dLibrary = nullptr;
}
