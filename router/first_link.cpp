#include "router/first_link.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/dialog_controls.h"
#include "common/help.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/multistring.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_results.h"
#include "lang/resource.h"
#include "router/first_link_records.h"

namespace {

const char kIsdnKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\ISDN";
const char kLinkKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\Link";
const char kDefaultRouteValue[] = "SOFTWARE\\VARNEK\\VrkMpr\\Ip\\IP_routing\\0.0.0.0,0.0.0.0";
const char kUntouchedPassword[] = "****************";
// Read wider than a field holds, so that a text longer than the field is never compared cut short.
constexpr int kReadSize = 256;

// Lives as long as the DLL: a second call shows what the first one took.
FirstLinkSettings g_settings;

void ReadField(HWND dialog, int id, char* out, int size) {
    out[0] = '\0';
    GetDlgItemTextA(dialog, id, out, size);
}

void LoadDialog(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_FIRSTLINK_PHONE, EM_LIMITTEXT, kPhoneNumberSize - 1, 0);
    static const int kTextFields[] = {IDC_FIRSTLINK_USER, IDC_FIRSTLINK_PASSWORD, IDC_FIRSTLINK_CONFIRM};
    for (int id : kTextFields)
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kLinkTextSize - 1, 0);
    SetDlgItemTextA(dialog, IDC_FIRSTLINK_PHONE, g_settings.phone);
    int checked = IDC_FIRSTLINK_NO_PROTOCOL;
    if (strcmp(g_settings.protocol, "B_X75") == 0) checked = IDC_FIRSTLINK_X75;
    if (strcmp(g_settings.protocol, "B_V110") == 0) checked = IDC_FIRSTLINK_V110;
    CheckRadioButton(dialog, IDC_FIRSTLINK_NO_PROTOCOL, IDC_FIRSTLINK_V110, checked);
    SetDlgItemTextA(dialog, IDC_FIRSTLINK_USER, g_settings.user);
    SetDlgItemTextA(dialog, IDC_FIRSTLINK_PASSWORD, kUntouchedPassword);
    SetDlgItemTextA(dialog, IDC_FIRSTLINK_CONFIRM, kUntouchedPassword);
}

// OK: false while the dialog has to stay open.
bool TakeDialog(HWND dialog) {
    char phone[kReadSize], user[kReadSize], password[kReadSize], confirmation[kReadSize];
    ReadField(dialog, IDC_FIRSTLINK_PHONE, phone, sizeof phone);
    if (!IsStorablePhoneNumber(phone)) {
        MessageBoxFromIds(dialog, IDS_FIRSTLINK_BAD_PHONE, MB_ICONHAND, IDS_MESSAGE_CAPTION);
        SetFocus(GetDlgItem(dialog, IDC_FIRSTLINK_PHONE));
        return false;
    }
    lstrcpynA(g_settings.phone, phone, sizeof g_settings.phone);
    const char* protocol = "";
    if (IsDlgButtonChecked(dialog, IDC_FIRSTLINK_X75) == BST_CHECKED) protocol = "B_X75";
    if (IsDlgButtonChecked(dialog, IDC_FIRSTLINK_V110) == BST_CHECKED) protocol = "B_V110";
    SetProtocol(&g_settings, protocol);
    ReadField(dialog, IDC_FIRSTLINK_USER, user, sizeof user);
    lstrcpynA(g_settings.user, user, sizeof g_settings.user);

    ReadField(dialog, IDC_FIRSTLINK_PASSWORD, password, sizeof password);
    if (strcmp(password, kUntouchedPassword) == 0) return true;
    ReadField(dialog, IDC_FIRSTLINK_CONFIRM, confirmation, sizeof confirmation);
    // The password is taken only once it is confirmed: a mismatch leaves the stored one as it was.
    if (strcmp(password, confirmation) != 0) {
        MessageBoxFromIds(dialog, IDS_FIRSTLINK_PASSWORD_MISMATCH, MB_ICONHAND | MB_OK, IDS_MESSAGE_CAPTION);
        return false;
    }
    lstrcpynA(g_settings.password, password, sizeof g_settings.password);
    return true;
}

INT_PTR CALLBACK FirstLinkProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        LoadDialog(dialog);
        return TRUE;
    case WM_HELP:
        ShowSetupHelp(dialog, IDH_FIRST_LINK);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (TakeDialog(dialog)) EndDialog(dialog, kDialogOk);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, kDialogCancel);
            return TRUE;
        case IDHELP:
            ShowSetupHelp(dialog, IDH_FIRST_LINK);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void WriteRecords() {
    char isdnNumber[16], linkNumber[16];
    if (!NextEntryNumber(kIsdnKey, isdnNumber, sizeof isdnNumber) ||
        !NextEntryNumber(kLinkKey, linkNumber, sizeof linkNumber))
        return;
    const uint32_t isdn = static_cast<uint32_t>(strtoul(isdnNumber, nullptr, 10));
    const uint32_t link = static_cast<uint32_t>(strtoul(linkNumber, nullptr, 10));
    char linkEntry[kRecordSize], isdnEntry[kRecordSize], route[kRecordSize], path[kPathSize];
    if (!BuildLinkEntry(isdn, g_settings, linkEntry, sizeof linkEntry) ||
        !BuildIsdnEntry(link, g_settings, isdnEntry, sizeof isdnEntry) || !BuildDefaultRoute(link, route, sizeof route))
        return;
    // Unchecked: the procedure answers "OK" for a dialog ended with OK, whatever the registry did.
    if (JoinRegistryPath(kIsdnKey, isdnNumber, path)) (void)WriteRegString(path, isdnEntry, kRegClose);
    if (JoinRegistryPath(kLinkKey, linkNumber, path)) (void)WriteRegString(path, linkEntry, kRegClose);
    (void)WriteRegString(kDefaultRouteValue, route, kRegClose);
}

}  // namespace

bool NextEntryNumber(const char* key, char* out, DWORD size) {
    RegistryValueNameList names(key);
    uint32_t next = 0;
    if (!NextFreeNumber(names.text(), &next)) return false;
    const int n = snprintf(out, size, "%lu", static_cast<unsigned long>(next));
    return n > 0 && static_cast<DWORD>(n) < size;
}

BOOL ConfigureFirstLink(const SetupArguments& arguments, const char** result) {
    const INT_PTR end = DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_FIRST_LINK), arguments.window,
                                        FirstLinkProc, 0);
    if (end == kDialogOk) {
        WriteRecords();
        *result = kResultOk;
        return TRUE;
    }
    if (end == kDialogCancel) {
        *result = kResultUserCancel;
        return TRUE;
    }
    ReportDialogError(arguments.window, "Firstlink");
    *result = kResultIpIpxDialogFailed;
    return FALSE;
}
