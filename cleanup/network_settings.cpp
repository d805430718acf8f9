#include "cleanup/network_settings.h"

#include <windows.h>

#include "common/setup_log.h"

namespace {

// CPlSetup is called the way the setup engine calls a setup procedure.
using NetworkSetupEntry = BOOL(WINAPI*)(DWORD argc, LPSTR argv[], LPSTR* result);

HMODULE g_networkPanel = nullptr;

}  // namespace

void OpenNetworkSettings() {
    if (!g_networkPanel) g_networkPanel = LoadLibraryA("NCPA.CPL");
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
