// The MSN/EAZ page (dialog 119) of the configuration center: the line's ISDN numbers, each with
// its B-channel protocol or the default one, stored as MSNEAZ and loaded into the driver on OK.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MsnEazPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

class SectionAnswers;
// The page's OK path without its window: the stored table, the entries of the answers deleted and
// added as the buttons do, then stored and sent. False, and nothing stored, when an answer is refused.
bool ApplyMsnEazAnswers(SectionAnswers& answers);
