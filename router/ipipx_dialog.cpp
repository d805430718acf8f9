// Dialog 118: the ISDN interface's address, mask and gateway, and the router's IPX network number.
#include <cstring>

#include "common/dialog_controls.h"
#include "common/help.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/registry.h"
#include "common/setup_results.h"
#include "lang/resource.h"
#include "router/ip_address.h"
#include "router/ipipx_config.h"
#include "router/ipipx_keys.h"
#include "router/ipipx_numbers.h"
#include "router/ipipx_registry.h"

namespace {

// 0 while the DLL is loaded until a proposal at load seeds it; the button goes on from there.
RandomNumber g_ipxRandom;

constexpr int kFieldSize = 64;
constexpr int kAddressFieldLength = 15;
const char kOldProcProperty[] = "VrkIpIpxEditProc";
const int kIpxControls[] = {IDC_IPIPX_NET_LABEL, IDC_IPIPX_NET_HINT, IDC_IPIPX_NET_NUMBER, IDC_IPIPX_NEW_NUMBER};
// Shown while the address is derived from a LAN adapter; the typed ones otherwise.
const int kMappingControls[] = {IDC_IPIPX_LAN_ADDRESSES, IDC_IPIPX_LAN_LABEL, IDC_IPIPX_MAPPED_ADDRESS,
                                IDC_IPIPX_MAPPED_MASK};
const int kTypedControls[] = {IDC_IPIPX_ADDRESS, IDC_IPIPX_MASK};

struct IpIpxPage {
    NetworkList networks;
    bool hasRouterId = false;
    IpAddressValue routerId;
};

IpIpxPage* PageOf(HWND dialog) { return reinterpret_cast<IpIpxPage*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// Keyboard filters: a refused character never reaches the edit control.
LRESULT FilteredEdit(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                     bool (*accepts)(const char*, size_t, size_t, char)) {
    const WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(edit, kOldProcProperty));
    if (message == WM_CHAR) {
        char text[kFieldSize] = "";
        GetWindowTextA(edit, text, sizeof text);
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (!accepts(text, start, end, static_cast<char>(wParam))) return 0;
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        RemovePropA(edit, kOldProcProperty);
    }
    return old ? CallWindowProcA(old, edit, message, wParam, lParam) : DefWindowProcA(edit, message, wParam, lParam);
}

LRESULT CALLBACK IpxEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    return FilteredEdit(edit, message, wParam, lParam, IpxFieldAcceptsKey);
}

LRESULT CALLBACK AddressEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    return FilteredEdit(edit, message, wParam, lParam, AddressFieldAcceptsKey);
}

void InstallFilter(HWND dialog, int id, WNDPROC proc, int limit) {
    HWND edit = GetDlgItem(dialog, id);
    if (!edit) return;
    SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    const LONG_PTR old = GetWindowLongPtrA(edit, GWLP_WNDPROC);
    if (!SetPropA(edit, kOldProcProperty, reinterpret_cast<HANDLE>(old))) return;
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

void SetIpxField(HWND dialog, DWORD number) {
    char text[16];
    FormatIpxNumber(number, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_IPIPX_NET_NUMBER, text);
}

void LoadIpx(HWND dialog) {
    if (!IsIpxInstalled()) {
        for (int id : kIpxControls) SetControlHidden(dialog, id, TRUE);
        return;
    }
    char stored[kFieldSize] = "";
    if (ReadRegString(kIpxNetValue, stored, sizeof stored)) {
        SetIpxField(dialog, ParseIpxNumber(stored));
        return;
    }
    g_ipxRandom.Seed(GetTickCount());
    SetIpxField(dialog, ProposeIpxNumber(&g_ipxRandom));
}

int ComboCount(HWND dialog) {
    const LRESULT n = SendDlgItemMessageA(dialog, IDC_IPIPX_LAN_ADDRESSES, CB_GETCOUNT, 0, 0);
    return n > 0 ? static_cast<int>(n) : 0;
}

// The mapping box counts only while it is there: with no LAN address to derive from it is hidden.
bool MappingChecked(HWND dialog) {
    return ComboCount(dialog) > 0 && IsDlgButtonChecked(dialog, IDC_IPIPX_MAPPING) == BST_CHECKED;
}

void ApplyVisibility(HWND dialog) {
    const bool offered = ComboCount(dialog) > 0;
    const bool mapping = MappingChecked(dialog);
    SetControlHidden(dialog, IDC_IPIPX_MAPPING, !offered);
    for (int id : kMappingControls) SetControlHidden(dialog, id, !mapping);
    for (int id : kTypedControls) SetControlHidden(dialog, id, mapping);
}

bool SelectedLanAddress(HWND dialog, IpAddressValue* address) {
    char text[kFieldSize] = "";
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_IPIPX_LAN_ADDRESSES, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return false;
    const LRESULT length = SendDlgItemMessageA(dialog, IDC_IPIPX_LAN_ADDRESSES, CB_GETLBTEXTLEN, index, 0);
    if (length < 0 || length >= kFieldSize) return false;
    SendDlgItemMessageA(dialog, IDC_IPIPX_LAN_ADDRESSES, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return address->Parse(text);
}

void ShowProposal(HWND dialog, const IpIpxPage& page) {
    if (SendDlgItemMessageA(dialog, IDC_IPIPX_LAN_ADDRESSES, CB_GETCURSEL, 0, 0) == CB_ERR)
        SendDlgItemMessageA(dialog, IDC_IPIPX_LAN_ADDRESSES, CB_SETCURSEL, 0, 0);
    IpAddressValue lan, address, mask;
    if (!SelectedLanAddress(dialog, &lan) || !ProposeIsdnAddress(lan, page.networks, &address, &mask)) {
        address = IpAddressValue();
        mask = IpAddressValue();
    }
    SetDlgItemTextA(dialog, IDC_IPIPX_MAPPED_ADDRESS, address.Format());
    SetDlgItemTextA(dialog, IDC_IPIPX_MAPPED_MASK, mask.Format());
}

void LoadAddresses(HWND dialog, IpIpxPage* page) {
    char text[kFieldSize] = "";
    if (ReadRegString(kIpRouterIdValue, text, sizeof text)) page->hasRouterId = page->routerId.Parse(text);
    IpAddressValue address, mask;
    ReadIsdnAddress(&address, &mask);
    SetDlgItemTextA(dialog, IDC_IPIPX_ADDRESS, address.Format());
    SetDlgItemTextA(dialog, IDC_IPIPX_MASK, mask.Format());
    DWORD mapping = 1, gatewaySet = 1;
    ReadRegDword(kIsdnIpMappingValue, &mapping);
    ReadRegDword(kDefaultGatewaySetValue, &gatewaySet);

    const bool lanGateway = CollectLanNetworks(&page->networks);
    HWND combo = GetDlgItem(dialog, IDC_IPIPX_LAN_ADDRESSES);
    for (size_t i = 0; i < page->networks.Count(); ++i) {
        IpAddressValue lan = page->networks.Address(i), proposal, proposalMask;
        if (!ProposeIsdnAddress(lan, page->networks, &proposal, &proposalMask)) continue;
        // Public addresses come first: they are the ones a router usually takes its identity from.
        SendMessageA(combo, lan.IsPrivate() ? CB_ADDSTRING : CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(lan.Format()));
    }

    CheckDlgButton(dialog, IDC_IPIPX_MAPPING, ComboCount(dialog) > 0 && mapping == 1 ? BST_CHECKED : BST_UNCHECKED);
    ApplyVisibility(dialog);
    if (MappingChecked(dialog)) {
        LRESULT index = CB_ERR;
        if (page->hasRouterId)
            index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(page->routerId.Format()));
        SendMessageA(combo, CB_SETCURSEL, index == CB_ERR ? 0 : index, 0);
        ShowProposal(dialog, *page);
    }
    CheckDlgButton(dialog, IDC_IPIPX_GATEWAY, gatewaySet == 1 && !lanGateway ? BST_CHECKED : BST_UNCHECKED);

    InstallFilter(dialog, IDC_IPIPX_NET_NUMBER, IpxEditProc, static_cast<int>(kIpxFieldLength));
    InstallFilter(dialog, IDC_IPIPX_ADDRESS, AddressEditProc, kAddressFieldLength);
    InstallFilter(dialog, IDC_IPIPX_MASK, AddressEditProc, kAddressFieldLength);
}

bool ReadAddressControl(HWND dialog, int id, IpAddressValue* value) {
    char text[kFieldSize] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return value->Parse(text);
}

// OK: false while the dialog has to stay open.
bool SavePage(HWND dialog) {
    char ipx[kFieldSize] = "";
    GetDlgItemTextA(dialog, IDC_IPIPX_NET_NUMBER, ipx, sizeof ipx);
    WriteIpxNumber(IpxNumberToStore(ipx));

    const bool mapping = MappingChecked(dialog);
    IpAddressValue address, mask, lan;
    const bool parsed = ReadAddressControl(dialog, mapping ? IDC_IPIPX_MAPPED_ADDRESS : IDC_IPIPX_ADDRESS, &address) &&
                        ReadAddressControl(dialog, mapping ? IDC_IPIPX_MAPPED_MASK : IDC_IPIPX_MASK, &mask) &&
                        (!mapping || SelectedLanAddress(dialog, &lan));
    if (!parsed) {
        MessageBoxFromIds(dialog, IDS_IPIPX_BAD_ADDRESS, MB_ICONHAND, IDS_MESSAGE_CAPTION);
        return false;
    }

    WriteRegString(kIpRouterIdValue, mapping ? lan.Format() : "0.0.0.0", kRegClose);
    WriteIsdnAddress(address.Format(), mask.Format());
    WriteRegDword(kIsdnIpMappingValue, mapping ? 1 : 0, kRegClose);

    const bool gateway = IsDlgButtonChecked(dialog, IDC_IPIPX_GATEWAY) == BST_CHECKED;
    WriteRegDword(kDefaultGatewaySetValue, gateway ? 1 : 0, kRegClose);
    if (!gateway) return true;
    IpAddressValue next = address;
    next.Increment();
    NetworkList unused;
    if (CollectLanNetworks(&unused)) {
        if (MessageBoxFromIds(dialog, IDS_IPIPX_REPLACE_GATEWAYS, MB_OKCANCEL | MB_ICONQUESTION, IDS_MESSAGE_CAPTION) !=
            IDOK)
            return false;
        ClearLanGateways();
    }
    WriteIsdnGateway(next.Format());
    return true;
}

INT_PTR CALLBACK IpIpxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        LoadIpx(dialog);
        LoadAddresses(dialog, reinterpret_cast<IpIpxPage*>(lParam));
        return TRUE;
    case WM_HELP:
        ShowSetupHelp(dialog, IDH_IPIPX_CONFIG);
        return TRUE;
    case WM_COMMAND: {
        IpIpxPage* page = PageOf(dialog);
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (!page) return FALSE;
        switch (id) {
        case IDOK:
            if (SavePage(dialog)) EndDialog(dialog, kDialogOk);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, kDialogCancel);
            return TRUE;
        case IDHELP:
            ShowSetupHelp(dialog, IDH_IPIPX_CONFIG);
            return TRUE;
        case IDC_IPIPX_NEW_NUMBER:
            if (code == BN_CLICKED) SetIpxField(dialog, ProposeIpxNumber(&g_ipxRandom));
            return TRUE;
        case IDC_IPIPX_MAPPING:
            if (code != BN_CLICKED) return FALSE;
            ShowProposal(dialog, *page);
            ApplyVisibility(dialog);
            return TRUE;
        case IDC_IPIPX_LAN_ADDRESSES:
            if (code == CBN_SELCHANGE) ShowProposal(dialog, *page);
            return TRUE;
        case IDC_IPIPX_NET_NUMBER:
        case IDC_IPIPX_ADDRESS:
        case IDC_IPIPX_MASK:
            // Posted, so that it comes after the selection the dialog manager makes on tabbing in.
            if (code == EN_SETFOCUS)
                PostMessageA(reinterpret_cast<HWND>(lParam), EM_SETSEL, static_cast<WPARAM>(-1), 0);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

}  // namespace

BOOL ConfigureIpIpx(const SetupArguments& arguments, const char** result) {
    IpIpxPage page;
    const INT_PTR end = DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_IPIPX_CONFIG), arguments.window,
                                        IpIpxProc, reinterpret_cast<LPARAM>(&page));
    if (end == kDialogOk) {
        *result = kResultOk;
        return TRUE;
    }
    if (end == kDialogCancel) {
        *result = kResultUserCancel;
        return TRUE;
    }
    ReportDialogError(arguments.window, "IPIPX-Number");
    *result = kResultIpIpxDialogFailed;
    return FALSE;
}
