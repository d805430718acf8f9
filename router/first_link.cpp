#include "router/first_link.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/answer_file.h"
#include "common/ascii_case.h"
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
    ReadField(dialog, IDC_FIRSTLINK_USER, user, sizeof user);
    ReadField(dialog, IDC_FIRSTLINK_PASSWORD, password, sizeof password);
    ReadField(dialog, IDC_FIRSTLINK_CONFIRM, confirmation, sizeof confirmation);
    FirstLinkTyped typed;
    typed.phone = phone;
    if (IsDlgButtonChecked(dialog, IDC_FIRSTLINK_X75) == BST_CHECKED) typed.protocol = "B_X75";
    if (IsDlgButtonChecked(dialog, IDC_FIRSTLINK_V110) == BST_CHECKED) typed.protocol = "B_V110";
    typed.user = user;
    typed.password = password;
    typed.confirmation = confirmation;
    switch (TakeFirstLink(typed, &g_settings)) {
    case FirstLinkCheck::BadPhone:
        MessageBoxFromIds(dialog, IDS_FIRSTLINK_BAD_PHONE, MB_ICONHAND, IDS_MESSAGE_CAPTION);
        SetFocus(GetDlgItem(dialog, IDC_FIRSTLINK_PHONE));
        return false;
    case FirstLinkCheck::PasswordMismatch:
        MessageBoxFromIds(dialog, IDS_FIRSTLINK_PASSWORD_MISMATCH, MB_ICONHAND | MB_OK, IDS_MESSAGE_CAPTION);
        return false;
    case FirstLinkCheck::Taken:
        break;
    }
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

const char kSection[] = "VrkMprConfigureFirstLink";
const char kPhoneKey[] = "Phone";
const char kProtocolKey[] = "Protocol";
const char kUserKey[] = "User";
const char kPasswordKey[] = "Password";
const char kConfirmKey[] = "ConfirmPassword";

// The radio button an answer names: "none", "B_X75" or "B_V110" (the "B_" may be left out).
bool ProtocolOfAnswer(const std::string& answer, const char** protocol) {
    static const struct {
        const char* answer;
        const char* protocol;
    } kChoices[] = {{"none", ""}, {"B_X75", "B_X75"}, {"X75", "B_X75"}, {"B_V110", "B_V110"}, {"V110", "B_V110"}};
    for (const auto& choice : kChoices)
        if (EqualsIgnoringCase(answer.c_str(), choice.answer)) {
            *protocol = choice.protocol;
            return true;
        }
    return false;
}

// The dialog's controls as it opens, set from the answers, and its OK. A password is given once:
// its confirmation is the same text unless ConfirmPassword says otherwise.
BOOL ConfigureFirstLinkAnswered(const AnswerFile& file, const char** result) {
    SectionAnswers answers(file, kSection, {kPhoneKey, kProtocolKey, kUserKey, kPasswordKey, kConfirmKey});
    std::string phone = g_settings.phone, user = g_settings.user, password = kUntouchedPassword, confirmation;
    const char* protocol = g_settings.protocol;
    answers.Text(kPhoneKey, kPhoneNumberSize - 1, &phone);
    std::string choice;
    if (answers.Text(kProtocolKey, kReadSize, &choice) && !ProtocolOfAnswer(choice, &protocol))
        answers.Refuse(kProtocolKey, "not none, B_X75 or B_V110");
    answers.Text(kUserKey, kLinkTextSize - 1, &user);
    if (answers.Text(kPasswordKey, kLinkTextSize - 1, &password)) {
        confirmation = password;
        answers.Text(kConfirmKey, kLinkTextSize - 1, &confirmation);
    }
    if (answers.refused()) {
        *result = kResultUserCancel;
        return TRUE;
    }
    FirstLinkTyped typed;
    typed.phone = phone.c_str();
    typed.protocol = protocol;
    typed.user = user.c_str();
    typed.password = password.c_str();
    typed.confirmation = confirmation.c_str();
    switch (TakeFirstLink(typed, &g_settings)) {
    case FirstLinkCheck::BadPhone:
        answers.RefuseWithMessage(kPhoneKey, IDS_FIRSTLINK_BAD_PHONE);
        *result = kResultUserCancel;
        return TRUE;
    case FirstLinkCheck::PasswordMismatch:
        answers.RefuseWithMessage(kConfirmKey, IDS_FIRSTLINK_PASSWORD_MISMATCH);
        *result = kResultUserCancel;
        return TRUE;
    case FirstLinkCheck::Taken:
        break;
    }
    WriteRecords();
    *result = kResultOk;
    return TRUE;
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
    const AnswerFile file = AnswerFile::FromRegistry();
    switch (AnswerModeFor(file, kSection)) {
    case AnswerMode::Unreadable:
        *result = kResultUserCancel;
        return TRUE;
    case AnswerMode::Answered:
        return ConfigureFirstLinkAnswered(file, result);
    case AnswerMode::Interactive:
        break;
    }
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
