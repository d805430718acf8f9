// The incoming-caller page (dialog 131) of the configuration center: the callers whose numbers
// the driver checks, kept in caller.dat (IncomingCallerFile), with numbers collected from the
// driver's log, and the two check flags (IncallFlag); file, list and flags reach the driver on OK.
#pragma once

#include <windows.h>

INT_PTR CALLBACK CallerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
