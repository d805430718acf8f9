// Dialog 118: the ISDN interface's address, mask and gateway, and the router's IPX network number.
#include <cstring>
#include <string>
#include <vector>

#include "common/answer_file.h"
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

// The number the IPX field shows as the dialog opens: the stored one, or a new proposal. False when
// IPX is not installed: the field is hidden and stays empty.
bool OpeningIpxNumber(uint32_t* number) {
    if (!IsIpxInstalled()) return false;
    char stored[kFieldSize] = "";
    if (ReadRegString(kIpxNetValue, stored, sizeof stored)) {
        *number = ParseIpxNumber(stored);
        return true;
    }
    g_ipxRandom.Seed(GetTickCount());
    *number = ProposeIpxNumber(&g_ipxRandom);
    return true;
}

void LoadIpx(HWND dialog) {
    uint32_t number = 0;
    if (!OpeningIpxNumber(&number)) {
        for (int id : kIpxControls) SetControlHidden(dialog, id, TRUE);
        return;
    }
    SetIpxField(dialog, number);
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

// The selected entry into text (kFieldSize bytes); false when none is selected.
bool SelectedLanText(HWND dialog, char* text) {
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_IPIPX_LAN_ADDRESSES, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return false;
    const LRESULT length = SendDlgItemMessageA(dialog, IDC_IPIPX_LAN_ADDRESSES, CB_GETLBTEXTLEN, index, 0);
    if (length < 0 || length >= kFieldSize) return false;
    SendDlgItemMessageA(dialog, IDC_IPIPX_LAN_ADDRESSES, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return true;
}

bool SelectedLanAddress(HWND dialog, IpAddressValue* address) {
    char text[kFieldSize] = "";
    return SelectedLanText(dialog, text) && address->Parse(text);
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

// What the address part of the dialog opens with, besides the page's networks and router id.
struct OpeningValues {
    IpAddressValue address;
    IpAddressValue mask;
    bool mapping = false;  // derived from a LAN address
    bool gateway = false;
    std::vector<IpAddressValue> offered;
};

OpeningValues ReadOpeningValues(IpIpxPage* page) {
    OpeningValues v;
    char text[kFieldSize] = "";
    if (ReadRegString(kIpRouterIdValue, text, sizeof text)) page->hasRouterId = page->routerId.Parse(text);
    ReadIsdnAddress(&v.address, &v.mask);
    v.address.Format();
    v.mask.Format();
    DWORD mapping = 1, gatewaySet = 1;
    ReadRegDword(kIsdnIpMappingValue, &mapping);
    ReadRegDword(kDefaultGatewaySetValue, &gatewaySet);
    const bool lanGateway = CollectLanNetworks(&page->networks);
    v.offered = OfferedLanAddresses(page->networks);
    v.mapping = !v.offered.empty() && mapping == 1;
    v.gateway = gatewaySet == 1 && !lanGateway;
    return v;
}

void LoadAddresses(HWND dialog, IpIpxPage* page) {
    const OpeningValues v = ReadOpeningValues(page);
    SetDlgItemTextA(dialog, IDC_IPIPX_ADDRESS, v.address.text);
    SetDlgItemTextA(dialog, IDC_IPIPX_MASK, v.mask.text);
    HWND combo = GetDlgItem(dialog, IDC_IPIPX_LAN_ADDRESSES);
    for (const IpAddressValue& lan : v.offered) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lan.text));

    CheckDlgButton(dialog, IDC_IPIPX_MAPPING, v.mapping ? BST_CHECKED : BST_UNCHECKED);
    ApplyVisibility(dialog);
    if (MappingChecked(dialog)) {
        LRESULT index = CB_ERR;
        if (page->hasRouterId)
            index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(page->routerId.Format()));
        SendMessageA(combo, CB_SETCURSEL, index == CB_ERR ? 0 : index, 0);
        ShowProposal(dialog, *page);
    }
    CheckDlgButton(dialog, IDC_IPIPX_GATEWAY, v.gateway ? BST_CHECKED : BST_UNCHECKED);

    InstallFilter(dialog, IDC_IPIPX_NET_NUMBER, IpxEditProc, static_cast<int>(kIpxFieldLength));
    InstallFilter(dialog, IDC_IPIPX_ADDRESS, AddressEditProc, kAddressFieldLength);
    InstallFilter(dialog, IDC_IPIPX_MASK, AddressEditProc, kAddressFieldLength);
}

bool AskReplaceGateways(void* dialog) {
    return MessageBoxFromIds(static_cast<HWND>(dialog), IDS_IPIPX_REPLACE_GATEWAYS, MB_OKCANCEL | MB_ICONQUESTION,
                             IDS_MESSAGE_CAPTION) == IDOK;
}

// OK: false while the dialog has to stay open.
bool SavePage(HWND dialog) {
    char ipx[kFieldSize] = "", address[kFieldSize] = "", mask[kFieldSize] = "", lan[kFieldSize] = "";
    IpIpxEntries entries;
    GetDlgItemTextA(dialog, IDC_IPIPX_NET_NUMBER, ipx, sizeof ipx);
    entries.ipx = ipx;
    entries.mapping = MappingChecked(dialog);
    GetDlgItemTextA(dialog, entries.mapping ? IDC_IPIPX_MAPPED_ADDRESS : IDC_IPIPX_ADDRESS, address, sizeof address);
    GetDlgItemTextA(dialog, entries.mapping ? IDC_IPIPX_MAPPED_MASK : IDC_IPIPX_MASK, mask, sizeof mask);
    entries.address = address;
    entries.mask = mask;
    if (entries.mapping && SelectedLanText(dialog, lan)) entries.lan = lan;
    entries.gateway = IsDlgButtonChecked(dialog, IDC_IPIPX_GATEWAY) == BST_CHECKED;
    switch (SaveIpIpxEntries(entries, AskReplaceGateways, dialog)) {
    case IpIpxSaved::BadAddress:
        MessageBoxFromIds(dialog, IDS_IPIPX_BAD_ADDRESS, MB_ICONHAND, IDS_MESSAGE_CAPTION);
        return false;
    case IpIpxSaved::GatewaysKept:
        return false;
    case IpIpxSaved::Saved:
        break;
    }
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

const char kSection[] = "VrkMprIPIPXConfig";
const char kIpxKey[] = "IPXNetworkNumber";
const char kDeriveKey[] = "DeriveFromLanAdapter";
const char kLanAddressKey[] = "LanAddress";
const char kAddressKey[] = "Address";
const char kMaskKey[] = "SubnetMask";
const char kGatewayKey[] = "DefaultGateway";
const char kReplaceGatewaysKey[] = "ReplaceLanGateways";

// A text the IPX field's keyboard filter lets through, typed one key after the other.
bool IsTypeableIpxNumber(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i)
        if (!IpxFieldAcceptsKey(text.substr(0, i).c_str(), i, i, text[i])) return false;
    return true;
}

// The same for the address and mask fields, which also hold at most 15 characters.
bool IsTypeableAddress(const std::string& text) {
    if (text.size() > static_cast<size_t>(kAddressFieldLength)) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (!AddressFieldAcceptsKey(text.substr(0, i).c_str(), i, i, text[i])) return false;
    return true;
}

bool AnsweredReplaceGateways(void* context) {
    SectionAnswers* answers = static_cast<SectionAnswers*>(context);
    bool replace = false;
    answers->YesNo(kReplaceGatewaysKey, &replace);
    // Cancel goes back into the dialog, where no one is to change anything: as if cancelled.
    if (!replace && !answers->refused()) answers->RefuseWithMessage(kReplaceGatewaysKey, IDS_IPIPX_REPLACE_GATEWAYS);
    return replace;
}

// A typed address or mask: the keys of the hidden fields are refused, as no one can type there.
void AnswerTypedAddress(SectionAnswers* answers, const char* key, bool mapping, std::string* text) {
    if (!answers->Has(key)) return;
    if (mapping) {
        answers->Refuse(key, "offered only with DeriveFromLanAdapter = no");
        return;
    }
    std::string typed;
    if (answers->Text(key, kAddressFieldLength, &typed)) {
        if (IsTypeableAddress(typed))
            *text = typed;
        else
            answers->Refuse(key, "not a dotted address");
    }
}

// The dialog's controls as it opens, set from the answers, and its OK.
BOOL ConfigureIpIpxAnswered(const AnswerFile& file, const char** result) {
    SectionAnswers answers(file, kSection,
                           {kIpxKey, kDeriveKey, kLanAddressKey, kAddressKey, kMaskKey, kGatewayKey, kReplaceGatewaysKey});
    *result = kResultUserCancel;
    uint32_t number = 0;
    const bool ipxInstalled = OpeningIpxNumber(&number);
    char formatted[16] = "";
    if (ipxInstalled) FormatIpxNumber(number, formatted, sizeof formatted);
    std::string ipx = formatted;
    IpIpxPage page;
    OpeningValues v = ReadOpeningValues(&page);
    // The LAN address selected: the router id's, else the first.
    int selected = -1;
    auto selectFirstOrRouterId = [&] {
        selected = 0;
        for (size_t i = 0; page.hasRouterId && i < v.offered.size(); ++i)
            if (strcmp(v.offered[i].text, page.routerId.Format()) == 0) selected = static_cast<int>(i);
    };
    if (v.mapping) selectFirstOrRouterId();

    if (answers.Has(kIpxKey)) {
        if (!ipxInstalled) {
            answers.Refuse(kIpxKey, "IPX is not installed on this machine");
        } else if (answers.Text(kIpxKey, kIpxFieldLength, &ipx) && !IsTypeableIpxNumber(ipx)) {
            answers.Refuse(kIpxKey, "not a hexadecimal number");
        }
    }
    bool derive = v.mapping;
    if (answers.YesNo(kDeriveKey, &derive) && derive != v.mapping) {
        if (derive && v.offered.empty()) {
            answers.Refuse(kDeriveKey, "no LAN address to derive from on this machine");
        } else {
            v.mapping = derive;
            if (derive && selected < 0) selected = 0;
        }
    }
    if (answers.Has(kLanAddressKey)) {
        std::string lan;
        if (!v.mapping) {
            answers.Refuse(kLanAddressKey, "offered only with DeriveFromLanAdapter = yes");
        } else if (answers.Text(kLanAddressKey, kDottedSize - 1, &lan)) {
            int found = -1;
            for (size_t i = 0; i < v.offered.size(); ++i)
                if (lan == v.offered[i].text) found = static_cast<int>(i);
            if (found < 0)
                answers.Refuse(kLanAddressKey, ("no LAN address " + lan + " offered on this machine").c_str());
            else
                selected = found;
        }
    }
    std::string address = v.address.text, mask = v.mask.text;
    AnswerTypedAddress(&answers, kAddressKey, v.mapping, &address);
    AnswerTypedAddress(&answers, kMaskKey, v.mapping, &mask);
    answers.YesNo(kGatewayKey, &v.gateway);
    if (answers.refused()) return TRUE;

    IpIpxEntries entries;
    entries.ipx = ipx.c_str();
    entries.mapping = v.mapping;
    IpAddressValue proposal, proposalMask;
    if (v.mapping) {
        if (!ProposeIsdnAddress(v.offered[selected], page.networks, &proposal, &proposalMask)) {
            proposal = IpAddressValue();
            proposalMask = IpAddressValue();
        }
        address = proposal.Format();
        mask = proposalMask.Format();
        entries.lan = v.offered[selected].text;
    }
    entries.address = address.c_str();
    entries.mask = mask.c_str();
    entries.gateway = v.gateway;
    switch (SaveIpIpxEntries(entries, AnsweredReplaceGateways, &answers)) {
    case IpIpxSaved::BadAddress: {
        IpAddressValue check;
        answers.RefuseWithMessage(check.Parse(address.c_str()) ? kMaskKey : kAddressKey, IDS_IPIPX_BAD_ADDRESS);
        return TRUE;
    }
    case IpIpxSaved::GatewaysKept:
        return TRUE;
    case IpIpxSaved::Saved:
        break;
    }
    *result = kResultOk;
    return TRUE;
}

}  // namespace

BOOL ConfigureIpIpx(const SetupArguments& arguments, const char** result) {
    const AnswerFile file = AnswerFile::FromRegistry();
    switch (AnswerModeFor(file, kSection)) {
    case AnswerMode::Unreadable:
        *result = kResultUserCancel;
        return TRUE;
    case AnswerMode::Answered:
        return ConfigureIpIpxAnswered(file, result);
    case AnswerMode::Interactive:
        break;
    }
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
