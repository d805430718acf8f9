// Help through the platform's help viewer, in the help file of the setup language.
#pragma once

#include <windows.h>

extern const char kGermanHelpFile[];   // "%SystemRoot%\SYSTEM32\VARNEK\setupGER.hlp"
extern const char kEnglishHelpFile[];  // "%SystemRoot%\SYSTEM32\VARNEK\setupENG.hlp"

// Opens the help viewer on context in helpFile, or, without one, in the file of the setup
// language: German for SetupLanguage 1, English for everything else. The path is expanded.
BOOL ShowSetupHelp(HWND owner, DWORD context, const char* helpFile = nullptr);
