// The "WAN-CONFIGURE" dialog (template 122) over the controller table, and the controller
// dialog (template 124) that edits one entry through the edit buffer.
#include <cstdio>
#include <new>

#include "common/dialog_controls.h"
#include "common/help.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/registry.h"
#include "lang/resource.h"
#include "router/controller_table.h"
#include "router/wan_config.h"
#include "router/wan_format.h"
#include "router/x31_settings.h"

namespace {


// The copy of one entry that the dialogs edit; the X.31 button follows it.
ControllerEntry g_editBuffer;

struct WanPage {
    ProductId product = 0;
};

WanPage* PageOf(HWND dialog) { return reinterpret_cast<WanPage*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_WAN_LIST); }

// Text widths in the list box's own font.
struct ListMeasure {
    HDC dc = nullptr;
};

int MeasureText(void* context, const char* text, int length) {
    SIZE size = {};
    GetTextExtentPoint32A(static_cast<ListMeasure*>(context)->dc, text, length, &size);
    return size.cx;
}

// The average character width the list box converts its tab stops with: half the width of the 52
// letters over 26, rounded, as dialog base units are found for a dialog font.
int AverageCharWidth(HDC dc) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size = {};
    GetTextExtentPoint32A(dc, kLetters, static_cast<int>(sizeof kLetters - 1), &size);
    return (size.cx / 26 + 1) / 2;
}

std::string LineOf(HWND list, const ControllerEntry& entry) {
    ListMeasure measure;
    measure.dc = GetDC(list);
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font ? SelectObject(measure.dc, font) : nullptr;
    const std::string line =
        ControllerListLine(entry, IsGermanSystem(), AverageCharWidth(measure.dc), MeasureText, &measure);
    if (previous) SelectObject(measure.dc, previous);
    ReleaseDC(list, measure.dc);
    return line;
}

void RedrawLine(HWND dialog, int index) {
    const ControllerEntry* entry = ControllerAt(index);
    if (!entry) return;
    HWND list = ListOf(dialog);
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    const std::string line = LineOf(list, *entry);
    SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.c_str()));
    SetFocus(list);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void FollowEditBuffer(HWND dialog) { SetControlDisabled(dialog, IDC_WAN_X31, g_editBuffer.capiPlus != 0); }

int SelectedIndex(HWND dialog) {
    const LRESULT index = SendMessageA(ListOf(dialog), LB_GETCURSEL, 0, 0);
    return index == LB_ERR || !ControllerAt(static_cast<int>(index)) ? -1 : static_cast<int>(index);
}

// ---- the controller dialog ----

void ShowLeasedLine(HWND dialog, bool leased) {
    if (leased) {
        SetDlgItemTextA(dialog, IDC_CONTROLLER_PHONE, LeasedLineText(IsGermanSystem()));
        SetDlgItemTextA(dialog, IDC_CONTROLLER_IN_USE, "1");
    } else {
        char text[16];
        snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(g_editBuffer.enabled));
        SetDlgItemTextA(dialog, IDC_CONTROLLER_IN_USE, text);
        SetDlgItemTextA(dialog, IDC_CONTROLLER_PHONE, g_editBuffer.phone);
    }
    SetControlDisabled(dialog, IDC_CONTROLLER_PHONE, leased);
}

void LoadControllerControls(HWND dialog, ProductId product) {
    SetDialogCaption(dialog, product, IDS_CONTROLLER_CAPTION);
    SetDlgItemTextA(dialog, IDC_CONTROLLER_DEVICE, g_editBuffer.deviceName);
    SetDlgItemTextA(dialog, IDC_CONTROLLER_MANUFACTURER, g_editBuffer.manufacturer);
    char text[16];
    snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(g_editBuffer.channels));
    SetDlgItemTextA(dialog, IDC_CONTROLLER_CHANNELS, text);
    SendDlgItemMessageA(dialog, IDC_CONTROLLER_NICKNAME, EM_LIMITTEXT, kNicknameSize - 1, 0);
    SendDlgItemMessageA(dialog, IDC_CONTROLLER_PHONE, EM_LIMITTEXT, kPhoneSize - 1, 0);
    SetDlgItemTextA(dialog, IDC_CONTROLLER_NICKNAME, g_editBuffer.nickname);
    CheckDlgButton(dialog, IDC_CONTROLLER_LEASED_LINE, g_editBuffer.capiPlus ? BST_CHECKED : BST_UNCHECKED);
    ShowLeasedLine(dialog, g_editBuffer.capiPlus != 0);
    if (!g_editBuffer.driverCapiPlus) SetControlHidden(dialog, IDC_CONTROLLER_LEASED_LINE, TRUE);
}

// Nickname and phone are fields of the controller string that ";" separates.
bool RefuseSeparator(HWND dialog, int id, const char* text) {
    if (!HasFieldSeparator(text)) return false;
    MessageBoxFromIds(dialog, IDS_ROUTER_NO_SEMICOLON, kNoticeStyle, IDS_MESSAGE_CAPTION);
    SetFocus(GetDlgItem(dialog, id));
    return true;
}

// The controls into the edit buffer; false while the dialog must stay open.
bool StoreControllerControls(HWND dialog) {
    ControllerEdit edit;
    edit.leased = IsDlgButtonChecked(dialog, IDC_CONTROLLER_LEASED_LINE) == BST_CHECKED;
    char nickname[kNicknameSize] = "";
    char phone[kPhoneSize] = "";
    GetDlgItemTextA(dialog, IDC_CONTROLLER_NICKNAME, nickname, sizeof nickname);
    if (!edit.leased) GetDlgItemTextA(dialog, IDC_CONTROLLER_PHONE, phone, sizeof phone);
    if (RefuseSeparator(dialog, IDC_CONTROLLER_NICKNAME, nickname)) return false;
    if (!edit.leased && RefuseSeparator(dialog, IDC_CONTROLLER_PHONE, phone)) return false;
    edit.nickname = nickname;
    edit.phone = phone;
    char inUse[16] = "";
    GetDlgItemTextA(dialog, IDC_CONTROLLER_IN_USE, inUse, sizeof inUse);
    edit.inUse = inUse;
    ApplyControllerEdit(edit, &g_editBuffer);
    return true;
}

INT_PTR CALLBACK ControllerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        LoadControllerControls(dialog, static_cast<ProductId>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CONTROLLER_LEASED_LINE:
            ShowLeasedLine(dialog, IsDlgButtonChecked(dialog, IDC_CONTROLLER_LEASED_LINE) == BST_CHECKED);
            break;
        case IDOK:
            if (StoreControllerControls(dialog)) EndDialog(dialog, kDialogOk);
            break;
        case IDCANCEL:
            EndDialog(dialog, kDialogCancel);
            break;
        case IDHELP:
            ShowSetupHelp(dialog, IDH_CONTROLLER);
            break;
        default:
            break;
        }
        return TRUE;
    case WM_HELP:
        ShowSetupHelp(dialog, IDH_CONTROLLER);
        return TRUE;
    default:
        return FALSE;
    }
}

void EditController(HWND dialog, ProductId product, int index) {
    ControllerEntry* entry = ControllerAt(index);
    if (!entry) return;
    g_editBuffer = *entry;
    const INT_PTR result = DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_CONTROLLER), dialog,
                                           ControllerDialogProc, static_cast<LPARAM>(product));
    if (result != kDialogOk) {
        if (result != kDialogCancel) ReportDialogError(dialog, "CONTROLLER-CONFIGURE");
        return;
    }
    *entry = g_editBuffer;
    RedrawLine(dialog, index);
}

// ---- the WAN dialog ----

// Gives the selected controller X.31 settings. Another controller's record goes only once the
// X.31 dialog has ended with OK, so that Cancel there keeps it.
void AssignX31(HWND dialog, int index) {
    ControllerEntry* selected = ControllerAt(index);
    if (!selected) return;
    int otherIndex = -1;
    for (int i = 0; i < ControllerCount(); ++i)
        if (i != index && ControllerAt(i)->x31) otherIndex = i;
    if (otherIndex >= 0 &&
        MessageBoxFromIds(dialog, IDS_WAN_X31_TAKE_OVER, kQuestionStyle, IDS_MESSAGE_CAPTION) != IDYES)
        return;
    bool created = false;
    if (!selected->x31) {
        selected->x31 = new (std::nothrow) X31Settings;
        if (!selected->x31) return;
        created = true;
    }
    if (RunX31Dialog(dialog, selected->x31) == kDialogOk) {
        if (ControllerEntry* other = ControllerAt(otherIndex)) {
            delete other->x31;
            other->x31 = nullptr;
            RedrawLine(dialog, otherIndex);
        }
    } else if (created) {
        delete selected->x31;
        selected->x31 = nullptr;
    }
    RedrawLine(dialog, index);
}

void LoadWanControls(HWND dialog, ProductId product) {
    HWND list = ListOf(dialog);
    SendMessageA(list, LB_SETTABSTOPS, kWanTabStopCount, reinterpret_cast<LPARAM>(kWanTabStops));
    for (int i = 0; i < ControllerCount(); ++i) {
        const std::string line = LineOf(list, *ControllerAt(i));
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SetFocus(list);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    if (ControllerAt(0)) g_editBuffer = *ControllerAt(0);
    FollowEditBuffer(dialog);
    DWORD modem = 0;
    if (ReadRegDword(kModemValue, &modem) && modem != 0) CheckDlgButton(dialog, IDC_WAN_MODEM, BST_CHECKED);
    if (product == kProductRemoteAccess) {
        SetControlHidden(dialog, IDC_WAN_X31_LABEL, TRUE);
        SetControlHidden(dialog, IDC_WAN_X31, TRUE);
        SetControlHidden(dialog, IDC_WAN_MODEM, TRUE);
    }
    SetDialogCaption(dialog, product, IDS_WAN_CAPTION);
    SetForegroundWindow(dialog);
}

void OnWanCommand(HWND dialog, int id, int code) {
    const WanPage* page = PageOf(dialog);
    const ProductId product = page ? page->product : 0;
    const int index = SelectedIndex(dialog);
    switch (id) {
    case IDC_WAN_LIST:
        if (code != LBN_DBLCLK) break;
        [[fallthrough]];  // a double click edits the line's controller
    case IDC_WAN_EDIT:
        if (index < 0) break;
        EditController(dialog, product, index);
        FollowEditBuffer(dialog);
        break;
    case IDC_WAN_ENABLE:
    case IDC_WAN_DISABLE:
        if (index < 0) break;
        ControllerAt(index)->enabled = id == IDC_WAN_ENABLE ? ControllerAt(index)->channels : 0;
        RedrawLine(dialog, index);
        FollowEditBuffer(dialog);
        break;
    case IDC_WAN_X31:
        if (index >= 0) AssignX31(dialog, index);
        break;
    case IDOK:
        WriteRegDword(kModemValue, IsDlgButtonChecked(dialog, IDC_WAN_MODEM) == BST_CHECKED ? 1 : 0, kRegClose);
        EndDialog(dialog, kDialogOk);
        break;
    case IDCANCEL:
        EndDialog(dialog, kDialogCancel);
        break;
    case IDHELP:
        ShowSetupHelp(dialog, IDH_WAN_CONFIG);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK WanDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const ProductId product = static_cast<ProductId>(lParam);
        if (product == kProductGateway) {
            EndDialog(dialog, -1);
            return TRUE;
        }
        WanPage* page = new (std::nothrow) WanPage;
        if (page) page->product = product;
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        LoadWanControls(dialog, product);
        return FALSE;
    }
    case WM_COMMAND:
        OnWanCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_HELP:
        ShowSetupHelp(dialog, IDH_WAN_CONFIG);
        return TRUE;
    case WM_DESTROY:
        delete PageOf(dialog);
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR RunWanDialog(HWND parent, ProductId product) {
    return DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_WAN_CONFIG), parent, WanDialogProc,
                           static_cast<LPARAM>(product));
}
