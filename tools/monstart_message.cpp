#include "tools/monstart_message.h"

#include <initializer_list>

#include "common/files.h"
#include "common/help.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/paths.h"
#include "lang/resource.h"

namespace {

const char kGermanHelpName[] = "SETUPGER.HLP";
const char kEnglishHelpName[] = "SETUPENG.HLP";

}  // namespace

BOOL FindMonstartHelpFile(char* out) {
    out[0] = '\0';
    const char* name = GetSetupLanguage() == kLanguageGerman ? kGermanHelpName : kEnglishHelpName;
    char programDirectory[kPathSize] = "";
    const DWORD n = GetModuleFileNameA(nullptr, programDirectory, sizeof programDirectory);
    if (n == 0 || n >= sizeof programDirectory) programDirectory[0] = '\0';
    CutLastComponent(programDirectory);
    for (const char* directory : {static_cast<const char*>(programDirectory), kMakerDirectory}) {
        if (!directory[0] || !FileExists(directory, name)) continue;
        return JoinPath(directory, name, out);
    }
    return FALSE;
}

void ShowMonstartHelp(HWND owner) {
    char helpFile[kPathSize];
    if (FindMonstartHelpFile(helpFile))
        ShowSetupHelp(owner, IDH_MONSTART_MESSAGE, helpFile);
    else
        MessageBoxFromIds(owner, IDS_HELP_FILE_NOT_FOUND, MB_OK, IDS_MESSAGE_CAPTION);
}

INT_PTR CALLBACK MonstartMessageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        // Without a text the dialog is the usage help alone.
        if (const char* text = reinterpret_cast<const char*>(lParam)) SetDlgItemTextA(dialog, IDC_MONSTART_TEXT, text);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case IDHELP:
            ShowMonstartHelp(dialog);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void ShowMonstartMessage(const char* text) {
    AttachLanguageModule();
    const INT_PTR shown = DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_MONSTART_MESSAGE), nullptr,
                                          MonstartMessageProc, reinterpret_cast<LPARAM>(text));
    if (shown == -1) ReportDialogError(nullptr, "MONSTART");
}
