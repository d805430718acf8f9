// What the center's pages share around their own work: a page keeps its values in DWLP_USER from
// WM_INITDIALOG until the window goes, and its commands and F1 are the page's.
#pragma once

#include <windows.h>

#include "common/help.h"

template <typename Values>
Values* PageValues(HWND page) {
    return reinterpret_cast<Values*>(GetWindowLongPtrA(page, DWLP_USER));
}

template <typename Values>
void KeepPageValues(HWND page, Values* values) {
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(values));
}

// The messages after WM_INITDIALOG: commands go to command, F1 opens the page's help, and the
// values are deleted with the window.
template <typename Values>
INT_PTR DispatchPageMessage(HWND page, Values* values, UINT message, WPARAM wParam,
                            BOOL (*command)(HWND, Values*, int id, int code), DWORD helpContext) {
    switch (message) {
    case WM_COMMAND:
        return command(page, values, LOWORD(wParam), HIWORD(wParam));
    case WM_HELP:
        ShowSetupHelp(page, helpContext);
        return TRUE;
    case WM_DESTROY:
        SetWindowLongPtrA(page, DWLP_USER, 0);
        delete values;
        return FALSE;
    }
    return FALSE;
}
