// The default protocols page (dialog 133) of the configuration center: the B-channel protocol of
// incoming and of outgoing calls, stored as DefaultInbound and DefaultOutbound and sent to the
// driver on OK.
#pragma once

#include <windows.h>

INT_PTR CALLBACK DefaultProtocolsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
