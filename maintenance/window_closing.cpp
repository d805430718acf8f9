#include "maintenance/window_closing.h"

#include <algorithm>
#include <vector>

#include "common/setup_log.h"
#include "maintenance/window_titles.h"

namespace {

using TitleTest = bool (*)(const char* title);

struct Collection {
    TitleTest matches;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    Collection* collection = reinterpret_cast<Collection*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return TRUE;
    char title[kWindowTitleLength + 1] = "";
    GetWindowTextA(window, title, sizeof title);
    if (collection->matches(title)) collection->windows.push_back(window);
    return TRUE;
}

// The windows that match now: a snapshot, so that windows closing meanwhile cannot disturb the
// enumeration.
std::vector<HWND> MatchingWindows(TitleTest matches) {
    Collection collection = {matches, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&collection));
    return collection.windows;
}

void SendClose(HWND window) {
    char title[kWindowTitleLength + 1] = "";
    GetWindowTextA(window, title, sizeof title);
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kCloseAnswerMs, &answer))
        return;
    // A window that is gone by now has closed; one that still exists did not answer in time.
    if (IsWindow(window))
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Window '%s' did not answer WM_CLOSE within %lu ms; given up",
                      title, static_cast<unsigned long>(kCloseAnswerMs));
}

void CloseAll(TitleTest matches) {
    for (HWND window : MatchingWindows(matches)) SendClose(window);
}

}  // namespace

void CloseEventViewerWindows() { CloseAll(IsEventViewerTitle); }

void CloseGatewayWindows() { CloseAll(IsGatewayProgramTitle); }

void CloseSnmpClientWindows() {
    std::vector<HWND> sent;
    for (int round = 0; round < kSnmpCloseRounds; ++round) {
        bool any = false;
        for (HWND window : MatchingWindows(IsSnmpClientTitle)) {
            if (std::find(sent.begin(), sent.end(), window) != sent.end()) continue;
            sent.push_back(window);
            SendClose(window);
            any = true;
        }
        if (!any) return;
    }
    WriteSetupLog(kLogSourceSetup, kLogFailure, "Windows '%s' still appearing after %d rounds of WM_CLOSE",
                  kSnmpClientTitle, kSnmpCloseRounds);
}
