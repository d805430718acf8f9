// The restart of the computer that ends a clean-up, with the shutdown privilege.
#pragma once

#include <windows.h>

// The environment variable that turns the restart into a line of the test machine's journal.
extern const char kRestartJournalVariable[];

// Enables the shutdown privilege of the own process and asks the system to restart. TRUE when the
// restart was started; otherwise message 22 (stop icon) and FALSE.
BOOL RestartSystem(HWND owner);
