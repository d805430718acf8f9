// The "X31-Configuration" dialog (template 128): one controller's X.31 settings.
#include <cstdio>
#include <cstdlib>

#include "common/dialog_controls.h"
#include "common/help.h"
#include "common/language.h"
#include "common/messages.h"
#include "lang/resource.h"
#include "router/x31_settings.h"
#include "router/x31_values.h"

namespace {

// The dialog's values while it runs; the record changes only on OK.
struct X31Page {
    X31Settings work;
    X31Settings* record = nullptr;
};

// The controls shown only while X.31 is switched on.
const int kSettingControls[] = {IDC_X31_ADDRESS,         IDC_X31_HIGHEST_TWO_WAY, IDC_X31_WIN_SIZE,
                                IDC_X31_WIN_SIZE_MAX,    IDC_X31_PACKET_SIZE,     IDC_X31_TEI,
                                IDC_X31_PACKET_SIZE_MAX, IDC_X31_WIN_SIZE_NEG,    IDC_X31_PACKET_SIZE_NEG};

X31Page* PageOf(HWND dialog) { return reinterpret_cast<X31Page*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void FillCombo(HWND dialog, int id, uint32_t first, uint32_t last, uint32_t step) {
    for (uint32_t v = first; v <= last; v += step) {
        char text[16];
        snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(v));
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

bool SelectValue(HWND dialog, int id, uint32_t value) {
    char text[16];
    snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value));
    const LRESULT index =
        SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    if (index == CB_ERR) return false;
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return true;
}

// A stored value that the list does not offer selects the list's default, never nothing.
void SelectValueOrDefault(HWND dialog, int id, uint32_t value, uint32_t fallback) {
    if (!SelectValue(dialog, id, value)) SelectValue(dialog, id, fallback);
}

// The decimal value of the selected entry; fallback when nothing is selected.
uint32_t SelectedValue(HWND dialog, int id, uint32_t fallback) {
    const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return fallback;
    char text[16] = "";
    if (SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >=
        static_cast<LRESULT>(sizeof text))
        return fallback;
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return static_cast<uint32_t>(strtoul(text, nullptr, 10));
}

void FollowWindowSize(HWND dialog) {
    SelectValue(dialog, IDC_X31_WIN_SIZE_MAX, SelectedValue(dialog, IDC_X31_WIN_SIZE, 2));
}

void ApplyVisibility(HWND dialog) {
    const bool on = Checked(dialog, IDC_X31_ENABLED);
    for (int id : kSettingControls) SetControlHidden(dialog, id, !on);
    for (int id = IDC_X31_LABEL_FIRST; id <= IDC_X31_LABEL_LAST; ++id) SetControlHidden(dialog, id, !on);
    if (!on) return;
    const bool packetNeg = Checked(dialog, IDC_X31_PACKET_SIZE_NEG);
    SetControlDisabled(dialog, IDC_X31_PACKET_SIZE, !packetNeg);
    SetControlDisabled(dialog, IDC_X31_PACKET_SIZE_MAX, !packetNeg);
    const bool winNeg = Checked(dialog, IDC_X31_WIN_SIZE_NEG);
    SetControlDisabled(dialog, IDC_X31_WIN_SIZE_MAX, !winNeg);
    if (!winNeg) FollowWindowSize(dialog);
}

void LoadControls(HWND dialog, const X31Settings& s) {
    SendDlgItemMessageA(dialog, IDC_X31_ADDRESS, EM_LIMITTEXT, kX25AddressSize - 1, 0);
    SetDlgItemTextA(dialog, IDC_X31_ADDRESS, s.x25Address);
    char text[16];
    snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(s.highestTwoWay));
    SetDlgItemTextA(dialog, IDC_X31_HIGHEST_TWO_WAY, text);
    FillCombo(dialog, IDC_X31_TEI, kFirstTei, kLastTei, 1);
    FillCombo(dialog, IDC_X31_PACKET_SIZE, 128, 256, 128);
    FillCombo(dialog, IDC_X31_PACKET_SIZE_MAX, 128, 256, 128);
    FillCombo(dialog, IDC_X31_WIN_SIZE, 1, 7, 1);
    FillCombo(dialog, IDC_X31_WIN_SIZE_MAX, 1, 7, 1);
    const X31Settings defaults;
    SelectValueOrDefault(dialog, IDC_X31_TEI, s.tei, defaults.tei);
    SelectValueOrDefault(dialog, IDC_X31_PACKET_SIZE, s.packetSize, defaults.packetSize);
    SelectValueOrDefault(dialog, IDC_X31_PACKET_SIZE_MAX, s.packetSizeMax, defaults.packetSizeMax);
    SelectValueOrDefault(dialog, IDC_X31_WIN_SIZE, s.winSize, defaults.winSize);
    SelectValueOrDefault(dialog, IDC_X31_WIN_SIZE_MAX, s.winSizeMax, defaults.winSizeMax);
    CheckDlgButton(dialog, IDC_X31_PACKET_SIZE_NEG, s.packetSizeNeg ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_X31_WIN_SIZE_NEG, s.winSizeNeg ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_X31_ENABLED, s.enabled ? BST_CHECKED : BST_UNCHECKED);
    ApplyVisibility(dialog);
}

// The controls into the working copy; false while the dialog must stay open.
bool StoreControls(HWND dialog, X31Settings* s) {
    const X31Settings defaults;
    X31Typed typed;
    typed.enabled = Checked(dialog, IDC_X31_ENABLED);
    char address[kX25AddressSize] = "";
    GetDlgItemTextA(dialog, IDC_X31_ADDRESS, address, sizeof address);
    typed.address = address;
    char text[16] = "";
    GetDlgItemTextA(dialog, IDC_X31_HIGHEST_TWO_WAY, text, sizeof text);
    typed.highestTwoWay = text;
    typed.tei = SelectedValue(dialog, IDC_X31_TEI, defaults.tei);
    typed.packetSize = SelectedValue(dialog, IDC_X31_PACKET_SIZE, defaults.packetSize);
    typed.packetSizeMax = SelectedValue(dialog, IDC_X31_PACKET_SIZE_MAX, defaults.packetSizeMax);
    typed.winSize = SelectedValue(dialog, IDC_X31_WIN_SIZE, defaults.winSize);
    typed.winSizeMax = SelectedValue(dialog, IDC_X31_WIN_SIZE_MAX, defaults.winSizeMax);
    typed.packetSizeNeg = Checked(dialog, IDC_X31_PACKET_SIZE_NEG);
    typed.winSizeNeg = Checked(dialog, IDC_X31_WIN_SIZE_NEG);
    X31Settings next = *s;
    switch (TakeX31Values(typed, &next)) {
    case X31Check::Separator:
        MessageBoxFromIds(dialog, IDS_ROUTER_NO_SEMICOLON, kNoticeStyle, IDS_MESSAGE_CAPTION);
        SetFocus(GetDlgItem(dialog, IDC_X31_ADDRESS));
        return false;
    case X31Check::NoChannels:
        if (MessageBoxFromIds(dialog, IDS_X31_NO_CHANNELS, kQuestionStyle, IDS_MESSAGE_CAPTION) == IDYES) return false;
        break;
    case X31Check::Taken:
        break;
    }
    *s = next;
    return true;
}

void React(HWND dialog, int id) {
    const bool winNeg = Checked(dialog, IDC_X31_WIN_SIZE_NEG);
    switch (id) {
    case IDC_X31_ENABLED:
        ApplyVisibility(dialog);
        break;
    case IDC_X31_PACKET_SIZE_NEG: {
        const bool on = Checked(dialog, IDC_X31_PACKET_SIZE_NEG);
        SetControlDisabled(dialog, IDC_X31_PACKET_SIZE, !on);
        SetControlDisabled(dialog, IDC_X31_PACKET_SIZE_MAX, !on);
        SelectValue(dialog, IDC_X31_PACKET_SIZE, 128);
        SelectValue(dialog, IDC_X31_PACKET_SIZE_MAX, 128);
        break;
    }
    case IDC_X31_WIN_SIZE_NEG:
        if (!winNeg) FollowWindowSize(dialog);
        SetControlDisabled(dialog, IDC_X31_WIN_SIZE_MAX, !winNeg);
        break;
    case IDC_X31_WIN_SIZE: {
        const uint32_t size = SelectedValue(dialog, IDC_X31_WIN_SIZE, 2);
        const uint32_t most = SelectedValue(dialog, IDC_X31_WIN_SIZE_MAX, 2);
        if (WindowSizeMaxAfterSize(size, most, winNeg) != most) SelectValue(dialog, IDC_X31_WIN_SIZE_MAX, size);
        break;
    }
    case IDC_X31_WIN_SIZE_MAX:
        if (!winNeg) {
            FollowWindowSize(dialog);
        } else {
            const uint32_t most = SelectedValue(dialog, IDC_X31_WIN_SIZE_MAX, 2);
            const uint32_t size = SelectedValue(dialog, IDC_X31_WIN_SIZE, 2);
            if (WindowSizeAfterMax(size, most) != size) SelectValue(dialog, IDC_X31_WIN_SIZE, most);
        }
        break;
    case IDC_X31_PACKET_SIZE: {
        const uint32_t size = SelectedValue(dialog, IDC_X31_PACKET_SIZE, 128);
        const uint32_t most = SelectedValue(dialog, IDC_X31_PACKET_SIZE_MAX, 128);
        if (PacketSizeMaxAfterSize(size, most) != most) SelectValue(dialog, IDC_X31_PACKET_SIZE_MAX, size);
        break;
    }
    case IDC_X31_PACKET_SIZE_MAX: {
        const uint32_t most = SelectedValue(dialog, IDC_X31_PACKET_SIZE_MAX, 128);
        const uint32_t size = SelectedValue(dialog, IDC_X31_PACKET_SIZE, 128);
        if (PacketSizeAfterMax(size, most) != size) SelectValue(dialog, IDC_X31_PACKET_SIZE, most);
        break;
    }
    default:
        break;
    }
}

INT_PTR CALLBACK X31DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        X31Page* page = reinterpret_cast<X31Page*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        LoadControls(dialog, page->work);
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK) {
            X31Page* page = PageOf(dialog);
            if (page && StoreControls(dialog, &page->work)) EndDialog(dialog, kDialogOk);
        } else if (id == IDCANCEL) {
            EndDialog(dialog, kDialogCancel);
        } else if (id == IDHELP) {
            ShowSetupHelp(dialog, IDH_X31_CONFIG);
        } else {
            React(dialog, id);
        }
        return TRUE;
    }
    case WM_HELP:
        ShowSetupHelp(dialog, IDH_X31_CONFIG);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR RunX31Dialog(HWND parent, X31Settings* record) {
    if (!record) return kDialogCancel;
    X31Page page;
    page.work = *record;
    page.record = record;
    const INT_PTR result = DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_X31_CONFIG), parent, X31DialogProc,
                                           reinterpret_cast<LPARAM>(&page));
    if (result == kDialogOk) {
        *record = page.work;
        return kDialogOk;
    }
    if (result == kDialogCancel) return kDialogCancel;
    ReportDialogError(parent, "X31-Configuration");
    return -1;
}

int EditX31Settings(HWND parent, X31Settings* record) {
    RunX31Dialog(parent, record);
    return 1;
}
