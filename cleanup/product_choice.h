// The product choice dialog (template 101 of the language module): which of the detected lines to
// remove, and whether their files go too.
#pragma once

#include <windows.h>

#include "cleanup/product_lines.h"

// What ChooseProducts answers when the dialog could not be shown at all: never a set of bits.
constexpr INT_PTR kChoiceNotShown = -1;

// Shows the dialog modally without owner for the detected lines. The bits of the checked boxes
// on OK (the delete-files bit among them), 0 on Cancel, kChoiceNotShown when it cannot be created.
INT_PTR ChooseProducts(ProductBits detected);

// The dialog procedure; the creation parameter is the detected product bits.
INT_PTR CALLBACK ProductChoiceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
