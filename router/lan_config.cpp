#include "router/lan_config.h"

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

void LoadDialog(HWND dialog, BOOL installMode) {
    HWND list = GetDlgItem(dialog, IDC_LAN_LIST);
    const INT tabs[2] = {35, 125};
    SendMessageA(list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(tabs));
    for (DWORD i = 0; i < LanAdapterCount(); ++i) {
        LanAdapterEntry* entry = LanAdapterAt(i);
        if (installMode) entry->routerOwned = 1;
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
    LoadLanAdapterTable();
    *result = kResultOk;
    if (LanAdapterCount() == 0) return TRUE;
    const INT_PTR end = DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_LAN_CONFIG), parent, LanProc,
                                        static_cast<LPARAM>(installMode));
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
