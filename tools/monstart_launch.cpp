#include "tools/monstart_launch.h"

#include <cstdio>
#include <cstring>

#include "common/handles.h"
#include "common/product.h"
#include "common/registry.h"
#include "common/value_records.h"

const char kMonitorPortValue[] = "HKEY_CURRENT_USER:SOFTWARE\\Microsoft\\RAS Monitor\\Port";
const char kMonitorProgram[] = "rasmon.exe";

namespace {

constexpr int kTitleSize = 256;
constexpr DWORD kPollMs = 20;
// A monitor that does not take a message within this time is hung: monstart goes on without it.
constexpr UINT kAnswerMs = 5000;
// The command a monitor with a menu is sent.
constexpr WPARAM kMonitorMenuCommand = 2;

struct WindowSearch {
    DWORD pid;
    HWND found;
    size_t rank;  // index into kMonitorTitles of the title found
};

BOOL CALLBACK AskToClose(HWND window, LPARAM asked) {
    char title[kTitleSize] = "";
    GetWindowTextA(window, title, sizeof title);
    if (IsMonitorTitle(title) && PostMessageA(window, WM_CLOSE, 0, 0)) ++*reinterpret_cast<int*>(asked);
    return TRUE;
}

BOOL CALLBACK LookAtWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid) return TRUE;
    char title[kTitleSize] = "";
    GetWindowTextA(window, title, sizeof title);
    for (size_t rank = 0; rank < search->rank; ++rank) {
        if (strcmp(title, kMonitorTitles[rank].shown) != 0) continue;
        search->found = window;
        search->rank = rank;
        break;
    }
    return TRUE;
}

// The monitor's window once the process is idle; a monitor may go idle before its window exists,
// so the search goes on until the wait is used up or the process has ended.
HWND WaitForMonitorWindow(HANDLE process, DWORD pid, const MonitorTitle** title) {
    const DWORD start = GetTickCount();
    WaitForInputIdle(process, kMonitorWaitMs);
    for (;;) {
        if (HWND window = FindMonitorWindow(pid, title)) return window;
        const DWORD waited = GetTickCount() - start;
        if (waited >= kMonitorWaitMs) return nullptr;
        const DWORD left = kMonitorWaitMs - waited;
        if (WaitForSingleObject(process, left < kPollMs ? left : kPollMs) == WAIT_OBJECT_0) return nullptr;
    }
}

void PlaceMonitor(HWND window, const MonitorTitle& title, int32_t index, const LaunchSettings& settings,
                  const TileGrid& grid) {
    char name[kTitleSize];
    FormatMonitorTitle(title, index + 1, name, sizeof name);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name), SMTO_ABORTIFHUNG, kAnswerMs, &answer);
    if (settings.topmost) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (GetMenu(window))
        SendMessageTimeoutA(window, WM_COMMAND, kMonitorMenuCommand, 0, SMTO_ABORTIFHUNG, kAnswerMs, &answer);
    const TilePosition at = TileOf(grid, index);
    SetWindowPos(window, nullptr, at.x, at.y, grid.width, grid.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int CloseOpenMonitors() {
    int asked = 0;
    EnumWindows(AskToClose, reinterpret_cast<LPARAM>(&asked));
    return asked;
}

HWND FindMonitorWindow(DWORD pid, const MonitorTitle** title) {
    WindowSearch search = {pid, nullptr, sizeof kMonitorTitles / sizeof kMonitorTitles[0]};
    EnumWindows(LookAtWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found && title) *title = &kMonitorTitles[search.rank];
    return search.found;
}

void StartMonitors(const LaunchSettings& settings, const TileGrid& grid) {
    for (int32_t i = 0; i < settings.count; ++i) {
        char port[16];
        snprintf(port, sizeof port, "%d", static_cast<int>(i));
        // The port is the monitor's own setting: the remote-access line's removal puts back the
        // value found before the first monitor monstart started.
        WriteRecordedValue(kRemoteAccessUserRecords, kMonitorPortValue, REG_SZ, port, static_cast<DWORD>(strlen(port) + 1));
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        char commandLine[sizeof kMonitorProgram];
        memcpy(commandLine, kMonitorProgram, sizeof commandLine);
        if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
            continue;
        // The monitors keep running after monstart has ended; their handles are only ours.
        vrk::FileHandle process(started.hProcess);
        vrk::FileHandle thread(started.hThread);
        const MonitorTitle* title = nullptr;
        // Only a window of the process just started: an earlier monitor that was too slow to be
        // found in its own turn must not be renamed and placed as this one.
        HWND window = WaitForMonitorWindow(process.get(), started.dwProcessId, &title);
        if (window) PlaceMonitor(window, *title, i, settings, grid);
    }
}
