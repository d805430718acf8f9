// The router's dialogs for the gallery of every dialog: each shown the way the system shows it,
// over a machine of two ISDN cards, and closed again.
#pragma once

#include <windows.h>

namespace router_gallery {

HWND OpenWanDialog();
void CloseWanDialog(HWND);
HWND OpenControllerDialog();
void CloseControllerDialog(HWND);
HWND OpenX31Dialog();
void CloseX31Dialog(HWND);

}  // namespace router_gallery
