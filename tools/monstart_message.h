// monstart's message dialog (102 of the language module): the usage help, with the message of a
// refused command line or grid when there is one, and its Help button.
#pragma once

#include <windows.h>

// "SETUPGER.HLP" for setup language German, else "SETUPENG.HLP", looked for in the directory of
// the program file and then in the maker's directory; out (kPathSize bytes) its path, or empty.
BOOL FindMonstartHelpFile(char* out);

// Opens the help file at context 2107, or says with text 59 that there is none.
void ShowMonstartHelp(HWND owner);

// The dialog procedure; the creation parameter is the message text or null.
INT_PTR CALLBACK MonstartMessageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Attaches the language module and shows the dialog modally without an owner until it is closed.
void ShowMonstartMessage(const char* text);
