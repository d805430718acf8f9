#include "common/dialog_controls.h"

#include <cstdio>

#include "common/language.h"
#include "common/product.h"

void SetDialogCaption(HWND window, ProductId productId, UINT stringId) {
    char text[kDialogCaptionSize] = "";
    if (stringId != 0) LoadLanguageString(stringId, text, sizeof text);
    char caption[kDialogCaptionSize];
    snprintf(caption, sizeof caption, "%s %s", GetProductName(productId), text);
    SetWindowTextA(window, caption);
}

void SetControlDisabled(HWND dialog, int controlId, BOOL disabled) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return;
    EnableWindow(control, !disabled);
    InvalidateRect(dialog, nullptr, TRUE);
}

void SetControlHidden(HWND dialog, int controlId, BOOL hidden) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control) return;
    ShowWindow(control, hidden ? SW_HIDE : SW_SHOWNA);
    InvalidateRect(dialog, nullptr, TRUE);
}
