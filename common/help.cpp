#include "common/help.h"

#include "common/language.h"
#include "common/paths.h"

const char kGermanHelpFile[] = "%SystemRoot%\\SYSTEM32\\VARNEK\\setupGER.hlp";
const char kEnglishHelpFile[] = "%SystemRoot%\\SYSTEM32\\VARNEK\\setupENG.hlp";

BOOL ShowSetupHelp(HWND owner, DWORD context, const char* helpFile) {
    const char* file = helpFile ? helpFile : GetSetupLanguage() == kLanguageGerman ? kGermanHelpFile : kEnglishHelpFile;
    char path[kExpandSize] = "";
    // A name whose expansion does not fit is not opened cut off: the viewer would show another file.
    if (!CopyText(path, sizeof path, file) || !ExpandInPlace(path, sizeof path)) return FALSE;
    return WinHelpA(owner, path, HELP_CONTEXT, context);
}
