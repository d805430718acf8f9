// cfgcenter: opens the configuration center of VRKSUDLL.DLL outside setup, for example from a
// program-group icon. It finds the DLL, calls its setup procedure CallRasConfigCenter with the
// command line as the parameter, and shows nothing of its own but three error boxes.
#include <windows.h>

#include "common/files.h"
#include "common/paths.h"

namespace {

using SetupProcedure = BOOL(WINAPI*)(DWORD argc, LPSTR argv[], LPSTR* result);

const char kErrorCaption[] = "Varnek DialCore Driver configuration error";
const char kDllNotFound[] =
    "Can't find 'VRKSUDLL.DLL' in the varnek directory! Install your product new and try again!";
const char kDllNotLoaded[] = "Can't load 'VRKSUDLL.DLL'! Install your product new and try again!";
const char kExportMissing[] =
    "Can't load function CallRasConfigCenter in 'VRKSUDLL.DLL'! Install your product new and try again!";

int Fail(const char* text) {
    MessageBoxA(nullptr, text, kErrorCaption, MB_SYSTEMMODAL | MB_ICONHAND);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char path[kPathSize] = "";
    // No build directory of ours is tried first: the maker's directory comes first, then the
    // program's own directory.
    SearchFilePath("VRKSUDLL.DLL", path, nullptr);
    if (!path[0]) return Fail(kDllNotFound);
    // Unloaded when the process ends.
    HMODULE dll = LoadLibraryA(path);
    if (!dll) return Fail(kDllNotLoaded);
    auto center =
        reinterpret_cast<SetupProcedure>(reinterpret_cast<void*>(GetProcAddress(dll, "CallRasConfigCenter")));
    if (!center) return Fail(kExportMissing);

    char noOwner[] = "00000000";
    char emptyLine[] = "";
    LPSTR argv[] = {noOwner, commandLine ? commandLine : emptyLine, nullptr};
    LPSTR result = nullptr;
    center(2, argv, &result);
    return 0;
}
