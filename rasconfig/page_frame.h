// What the center's pages share around their own work: a page keeps its values in DWLP_USER from
// WM_INITDIALOG until the window goes; OK, Cancel, Help and F1 work alike on every page.
#pragma once

#include <windows.h>

#include "common/dialog_controls.h"
#include "common/help.h"

template <typename Values>
Values* PageValues(HWND page) {
    return reinterpret_cast<Values*>(GetWindowLongPtrA(page, DWLP_USER));
}

template <typename Values>
void KeepPageValues(HWND page, Values* values) {
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(values));
}

// The messages after WM_INITDIALOG: OK closes the page once apply has taken its values (a page that
// refuses them stays open, so that nothing typed is lost), Cancel closes it, Help and F1 open the
// page's help; the page's own controls go to command (none: null). The values are deleted with the
// window.
template <typename Values>
INT_PTR DispatchPageMessage(HWND page, Values* values, UINT message, WPARAM wParam,
                            BOOL (*command)(HWND, Values*, int id, int code), bool (*apply)(HWND, Values*),
                            DWORD helpContext) {
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (apply(page, values)) EndDialog(page, kDialogOk);
            return TRUE;
        case IDCANCEL:
            EndDialog(page, kDialogCancel);
            return TRUE;
        case IDHELP:
            ShowSetupHelp(page, helpContext);
            return TRUE;
        }
        return command ? command(page, values, LOWORD(wParam), HIWORD(wParam)) : FALSE;
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
