// Small services for the dialogs of the language module: captions, disabled and hidden controls.
#pragma once

#include <windows.h>

#include "common/product.h"

constexpr int kDialogCaptionSize = 256;

// What the tool set's modal dialogs end with; DialogBoxParamA gives -1 for one it could not show.
constexpr INT_PTR kDialogOk = 1;
constexpr INT_PTR kDialogCancel = 0;

// The window text becomes the product's display name, a blank, and the string stringId of the
// language module (nothing after the blank for 0); at most 255 characters.
void SetDialogCaption(HWND window, ProductId productId, UINT stringId);
void SetControlDisabled(HWND dialog, int controlId, BOOL disabled);
void SetControlHidden(HWND dialog, int controlId, BOOL hidden);
