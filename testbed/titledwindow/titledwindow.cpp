// A program of the outside world with one top-level window of a chosen title, answering WM_CLOSE
// the way the test chose:
//
//   titledwindow.exe close  <title>   closes and ends
//   titledwindow.exe ignore <title>   stays open
//   titledwindow.exe hide   <title>   hides itself and stays
//   titledwindow.exe hang   <title>   stops taking messages once it is shown: hung
//
// Journal lines: who = "window", what = "shown" / "WM_CLOSE" / "hung", detail = the title.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "testbed/journal/journal.h"

namespace {

enum class Answer { kClose, kIgnore, kHide, kHang };

Answer g_answer = Answer::kClose;
std::string g_title;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        JournalAppend("window", "WM_CLOSE", g_title.c_str());
        if (g_answer == Answer::kClose) DestroyWindow(window);
        if (g_answer == Answer::kHide) ShowWindow(window, SW_HIDE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool ReadAnswer(const char* text) {
    if (strcmp(text, "close") == 0) g_answer = Answer::kClose;
    else if (strcmp(text, "ignore") == 0) g_answer = Answer::kIgnore;
    else if (strcmp(text, "hide") == 0) g_answer = Answer::kHide;
    else if (strcmp(text, "hang") == 0) g_answer = Answer::kHang;
    else return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || !ReadAnswer(argv[1])) {
        fprintf(stderr, "usage: titledwindow close|ignore|hide|hang <title words...>\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) g_title += (i > 2 ? " " : "") + std::string(argv[i]);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "VrkTestbedTitledWindow";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(windowClass.lpszClassName, g_title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                320, 120, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    JournalAppend("window", "shown", g_title.c_str());
    if (g_answer == Answer::kHang) {
        // Handles what showing the window brought, then never looks at its messages again.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        JournalAppend("window", "hung", g_title.c_str());
        for (;;) Sleep(INFINITE);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
