// The incoming-caller page (dialog 131) of the configuration center: the callers whose numbers
// the driver checks, kept in caller.dat (IncomingCallerFile), with numbers collected from the
// driver's log, and the two check flags (IncallFlag); file, list and flags reach the driver on OK.
#pragma once

#include <windows.h>

INT_PTR CALLBACK CallerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

class SectionAnswers;
// The page's OK path without its window: caller.dat as loaded, the answers' callers deleted, collected
// from the log, added and marked as the buttons do, the check flags, then stored and sent. False,
// and nothing stored, when an answer is refused or the file cannot be written.
bool ApplyCallerAnswers(SectionAnswers& answers);
