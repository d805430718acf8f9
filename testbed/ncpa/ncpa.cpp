// The network control panel library NCPA.CPL: its setup entry CPlSetup, called in the setup-procedure
// form, writes its argument count and vector into the journal and answers "OK". The variant built
// without CPlSetup has only the control panel's usual entry CPlApplet.
#include <windows.h>

#include <cstdio>
#include <string>

#include "testbed/journal/journal.h"

namespace {

const char kWho[] = "NCPA.CPL";

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char program[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, program, sizeof program);
        JournalAppend(kWho, "loaded", program);
    }
    return TRUE;
}

#ifdef VRK_NCPA_SETUP_ENTRY
extern "C" __declspec(dllexport) BOOL WINAPI CPlSetup(DWORD argc, LPSTR argv[], LPSTR* result) {
    char head[32];
    snprintf(head, sizeof head, "argc=%lu", static_cast<unsigned long>(argc));
    std::string detail = head;
    for (DWORD i = 0; argv && i < argc; ++i) {
        snprintf(head, sizeof head, " argv[%lu]=", static_cast<unsigned long>(i));
        detail += head;
        detail += argv[i] ? argv[i] : "(null)";
    }
    JournalAppend(kWho, "CPlSetup", detail.c_str());
    static char ok[] = "OK";
    if (result) *result = ok;
    return TRUE;
}
#endif

extern "C" __declspec(dllexport) LONG WINAPI CPlApplet(HWND, UINT, LPARAM, LPARAM) { return 0; }
