// The MSN/EAZ page (dialog 119) of the configuration center: the line's ISDN numbers, each with
// its B-channel protocol or the default one, stored as MSNEAZ and loaded into the driver on OK.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MsnEazPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
