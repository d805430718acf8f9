// The language module: which of LANGENG.DLL and LANGGER.DLL is loaded, and the texts taken from it.
#pragma once

#include <windows.h>

// The language a configured SetupLanguage value names.
using SetupLanguageName = int;
constexpr SetupLanguageName kLanguageUnknown = 0;  // a configured text that is neither German nor English
constexpr SetupLanguageName kLanguageGerman = 1;
constexpr SetupLanguageName kLanguageEnglish = 2;

extern const char kSetupLanguageValue[];  // SOFTWARE\VARNEK\VrkSetup\SetupLanguage
extern const char kGermanModuleName[];    // "LANGGER.DLL"
extern const char kEnglishModuleName[];   // "LANGENG.DLL"

// The loaded language DLL, or null. One value for the whole process, apart from the module
// handle of the program or DLL that uses it: every dialog, string and icon id is looked up here.
HMODULE LanguageModule();

// The system's default language is German: chooses the German form of the messages that the
// deliverables hold themselves. SetupLanguage plays no part in it.
bool IsGermanSystem();

// SetupLanguage mapped to a SetupLanguageName; a missing value, one that is not REG_SZ, or
// "DETECT" decide by the system's default language.
SetupLanguageName GetSetupLanguage();

// Frees the loaded module, then searches the module of the setup language (SearchFilePath, with
// directory as the place tried first) and loads it. 1 when a module is loaded, else 0.
BOOL AttachLanguageModule(const char* directory = nullptr);
void DetachLanguageModule();

// The string id from the language module into buffer (size bytes), the empty text when the
// module or the string is missing. Returns the length copied.
int LoadLanguageString(UINT id, char* buffer, int size);
