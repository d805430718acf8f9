#include "cleanup/network_settings.h"

#include <windows.h>

#include "common/setup_log.h"

namespace {

// CPlSetup is called the way the setup engine calls a setup procedure.
using NetworkSetupEntry = BOOL(WINAPI*)(DWORD argc, LPSTR argv[], LPSTR* result);

HMODULE g_networkPanel = nullptr;

// The library of the system directory: by bare name NT 4.0 would look in the program's directory
// and the current directory first, and run whatever lies there under that name.
HMODULE LoadNetworkPanel() {
    char path[MAX_PATH];
    const UINT n = GetSystemDirectoryA(path, sizeof path);
    if (n == 0 || n + sizeof "\\NCPA.CPL" > sizeof path) return nullptr;
    lstrcpynA(path + n, "\\NCPA.CPL", static_cast<int>(sizeof path - n));
    return LoadLibraryA(path);
}

}  // namespace

void OpenNetworkSettings() {
    if (!g_networkPanel) g_networkPanel = LoadNetworkPanel();
    if (!g_networkPanel) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can't load NCPA.CPL");
        return;
    }
    auto entry = reinterpret_cast<NetworkSetupEntry>(reinterpret_cast<void*>(GetProcAddress(g_networkPanel, "CPlSetup")));
    if (!entry) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can't find CPlSetup entry in NCPA.CPL");
        return;
    }
    char noParent[] = "0";
    char command[] = "NCPA";
    LPSTR argv[] = {noParent, command, nullptr};
    LPSTR result = nullptr;
    entry(2, argv, &result);
}
