#include "router/lan_config.h"

#include <string>
#include <vector>

#include "common/answer_file.h"
#include "common/answer_values.h"
#include "common/ascii_case.h"
#include "common/dialog_controls.h"
#include "common/help.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/registry.h"
#include "common/setup_results.h"
#include "lang/resource.h"
#include "maintenance/lan_adapters.h"
#include "router/lan_config_lines.h"

namespace {

const char kLanControllersValue[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprLan\\Parameters\\Controllers";

void ShowLine(HWND list, DWORD index) {
    const LanAdapterEntry* entry = LanAdapterAt(index);
    if (!entry) return;
    char line[kLanLineSize];
    FormatLanLine(entry->routerOwned != 0, entry->serviceName, entry->description, line, sizeof line);
    SendMessageA(list, LB_DELETESTRING, index, 0);
    SendMessageA(list, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(line));
    SendMessageA(list, LB_SETCURSEL, index, 0);
}

// New marks for the selected adapter: 0 or 1, or -1 to invert.
void MarkSelected(HWND dialog, int mark) {
    HWND list = GetDlgItem(dialog, IDC_LAN_LIST);
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return;
    LanAdapterEntry* entry = LanAdapterAt(static_cast<DWORD>(index));
    if (!entry) return;
    entry->routerOwned = mark >= 0 ? mark : entry->routerOwned == 0 ? 1 : 0;
    ShowLine(list, static_cast<DWORD>(index));
}

// The marks as the dialog opens: in install mode every adapter is the router's.
void OpenMarks(BOOL installMode) {
    if (!installMode) return;
    for (DWORD i = 0; i < LanAdapterCount(); ++i) LanAdapterAt(i)->routerOwned = 1;
}

void LoadDialog(HWND dialog, BOOL installMode) {
    HWND list = GetDlgItem(dialog, IDC_LAN_LIST);
    const INT tabs[2] = {35, 125};
    SendMessageA(list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(tabs));
    OpenMarks(installMode);
    for (DWORD i = 0; i < LanAdapterCount(); ++i) {
        LanAdapterEntry* entry = LanAdapterAt(i);
        char line[kLanLineSize];
        FormatLanLine(entry->routerOwned != 0, entry->serviceName, entry->description, line, sizeof line);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    SetForegroundWindow(dialog);
}

INT_PTR CALLBACK LanProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        LoadDialog(dialog, static_cast<BOOL>(lParam));
        return TRUE;
    case WM_HELP:
        ShowSetupHelp(dialog, IDH_LAN_CONFIG);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LAN_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK) MarkSelected(dialog, -1);
            return TRUE;
        case IDC_LAN_OWN:
            MarkSelected(dialog, 1);
            return TRUE;
        case IDC_LAN_RELEASE:
            MarkSelected(dialog, 0);
            return TRUE;
        case IDOK:
            EndDialog(dialog, kDialogOk);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, kDialogCancel);
            return TRUE;
        case IDHELP:
            ShowSetupHelp(dialog, IDH_LAN_CONFIG);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

const char kSection[] = "VrkMprLanConfig";
const char kRouterAdaptersKey[] = "RouterAdapters";

// In place of the dialog: the marks as it opens them, then the router owns exactly the adapters
// RouterAdapters names ("none" for none). kDialogCancel when an answer is refused.
INT_PTR AnswerLanDialog(SectionAnswers* answers, BOOL installMode) {
    OpenMarks(installMode);
    std::string text;
    if (!answers->Text(kRouterAdaptersKey, kAnswerTextMax, &text)) return answers->refused() ? kDialogCancel : kDialogOk;
    std::vector<std::string> names = SplitAnswerList(text);
    if (names.size() == 1 && EqualsIgnoringCase(names[0].c_str(), "none")) names.clear();
    std::vector<bool> owned(LanAdapterCount(), false);
    for (const std::string& name : names) {
        bool found = false;
        for (DWORD i = 0; i < LanAdapterCount(); ++i)
            if (EqualsIgnoringCase(LanAdapterAt(i)->serviceName, name.c_str())) owned[i] = found = true;
        if (!found) {
            answers->Refuse(kRouterAdaptersKey, ("no adapter " + name + " on this machine").c_str());
            return kDialogCancel;
        }
    }
    for (DWORD i = 0; i < LanAdapterCount(); ++i) LanAdapterAt(i)->routerOwned = owned[i] ? 1 : 0;
    return kDialogOk;
}

}  // namespace

void WriteLanControllers() {
    char list[kLanControllerListSize] = "";
    size_t used = 0;
    for (DWORD i = 0; i < LanAdapterCount(); ++i) {
        const LanAdapterEntry* entry = LanAdapterAt(i);
        if (entry->routerOwned) AppendControllerName(list, sizeof list, &used, entry->serviceName);
    }
    WriteRegMultiString(kLanControllersValue, list, kRegClose, static_cast<DWORD>(used + 1));
}

BOOL ConfigureLan(HWND parent, BOOL installMode, const char** result) {
    const AnswerFile file = AnswerFile::FromRegistry();
    const AnswerMode mode = AnswerModeFor(file, kSection);
    LoadLanAdapterTable();
    *result = kResultOk;
    INT_PTR end = kDialogCancel;
    if (mode == AnswerMode::Answered) {
        SectionAnswers answers(file, kSection, {kRouterAdaptersKey});
        end = AnswerLanDialog(&answers, installMode);
        // Without an adapter there is nothing to save; an adapter the machine lacks is still refused.
        if (LanAdapterCount() == 0) {
            if (end == kDialogCancel) *result = kResultUserCancel;
            return TRUE;
        }
    } else if (mode == AnswerMode::Unreadable) {
        if (LanAdapterCount() == 0) {
            *result = kResultUserCancel;
            return TRUE;
        }
        OpenMarks(installMode);
    } else {
        if (LanAdapterCount() == 0) return TRUE;
        end = DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_LAN_CONFIG), parent, LanProc,
                              static_cast<LPARAM>(installMode));
    }
    if (end != kDialogCancel && end != kDialogOk) {
        ReportDialogError(parent, "LAN-CONFIGURE");
        *result = kResultLanDialogFailed;
        return FALSE;
    }
    if (end == kDialogCancel) *result = kResultUserCancel;
    SaveLanAdapterTable();
    WriteLanControllers();
    return TRUE;
}
