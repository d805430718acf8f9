// The operating system's remote-access monitor, rasmon.exe: it reads the port it watches from
// HKEY_CURRENT_USER\SOFTWARE\Microsoft\RAS Monitor\Port when it starts and opens one window
// titled as the real monitor, which accepts any size it is given.
//
// How it behaves is chosen by the test in HKEY_CURRENT_USER\Software\Varnek Testbed\rasmon, and
// for one port in the subkey of that port's text ("0", "1", ...), which wins:
//   Title    REG_SZ     the window's title (default "RAS-MONITOR"); empty: no window at all
//   Menu     REG_DWORD  1 (default): the window has a menu holding command 2; 0: none
//   DelayMs  REG_DWORD  time before the window opens, taking no messages meanwhile (default 0)
// Without a window the program takes messages for 5 s and ends.
//
// Journal lines, who = "rasmon.exe": "started" with the port read ("(none)" when there is none),
// "shown" with the title, "WM_COMMAND" with the command id, "WM_CLOSE" with the title then shown.
#include <windows.h>

#include <cstdio>
#include <string>

#include "testbed/journal/journal.h"

namespace {

const char kWho[] = "rasmon.exe";
const char kPortKey[] = "SOFTWARE\\Microsoft\\RAS Monitor";
const char kSettingsKey[] = "Software\\Varnek Testbed\\rasmon";
constexpr DWORD kWindowlessLifeMs = 5000;
constexpr UINT kMenuCommand = 2;

bool ReadString(const std::string& key, const char* name, std::string* value) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    char text[256] = "";
    DWORD type = 0, size = sizeof text - 1;
    const bool ok = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
                    type == REG_SZ;
    RegCloseKey(k);
    if (ok) *value = std::string(text, size && !text[size - 1] ? size - 1 : size);
    return ok;
}

bool ReadDword(const std::string& key, const char* name, DWORD* value) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = sizeof *value;
    const bool ok =
        RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD;
    RegCloseKey(k);
    return ok;
}

struct Behaviour {
    std::string title = "RAS-MONITOR";
    DWORD menu = 1;
    DWORD delayMs = 0;
};

Behaviour ReadBehaviour(const std::string& port) {
    Behaviour b;
    const std::string own = std::string(kSettingsKey) + "\\" + port;
    for (const std::string& key : {std::string(kSettingsKey), own}) {
        if (port.empty() && key == own) continue;
        ReadString(key, "Title", &b.title);
        ReadDword(key, "Menu", &b.menu);
        ReadDword(key, "DelayMs", &b.delayMs);
    }
    return b;
}

std::string TitleOf(HWND window) {
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
}

LRESULT CALLBACK MonitorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETMINMAXINFO:
        // monstart makes tiles of 24 x 12 pixels and more; the frame's usual minimum would refuse them.
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {1, 1};
        return 0;
    case WM_COMMAND: {
        char id[16];
        snprintf(id, sizeof id, "%u", static_cast<unsigned>(LOWORD(wParam)));
        JournalAppend(kWho, "WM_COMMAND", id);
        return 0;
    }
    case WM_CLOSE:
        JournalAppend(kWho, "WM_CLOSE", TitleOf(window).c_str());
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    std::string port;
    const bool hasPort = ReadString(kPortKey, "Port", &port);
    JournalAppend(kWho, "started", hasPort ? port.c_str() : "(none)");
    const Behaviour behaviour = ReadBehaviour(hasPort ? port : std::string());

    if (behaviour.title.empty()) {
        const DWORD start = GetTickCount();
        MSG message;
        while (GetTickCount() - start < kWindowlessLifeMs) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
        return 0;
    }

    if (behaviour.delayMs) Sleep(behaviour.delayMs);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MonitorProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "VrkTestbedRasMonitor";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&windowClass);
    HMENU menu = nullptr;
    if (behaviour.menu) {
        menu = CreateMenu();
        HMENU options = CreatePopupMenu();
        AppendMenuA(options, MF_STRING, kMenuCommand, "&Hide title");
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(options), "&Options");
    }
    HWND window = CreateWindowA(windowClass.lpszClassName, behaviour.title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                300, 200, 240, 160, nullptr, menu, instance, nullptr);
    if (!window) return 1;
    JournalAppend(kWho, "shown", behaviour.title.c_str());
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
