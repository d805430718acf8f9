// The default protocols page (dialog 133) of the configuration center: the B-channel protocol of
// incoming and of outgoing calls, stored as DefaultInbound and DefaultOutbound and sent to the
// driver on OK.
#pragma once

#include <windows.h>

INT_PTR CALLBACK DefaultProtocolsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

class SectionAnswers;
// The page's OK path without its window: each group as stored, or the button its answer names
// (HDLC, X75, V110), stored and sent. False, and nothing stored, when an answer names no button.
bool ApplyProtocolAnswers(SectionAnswers& answers);
