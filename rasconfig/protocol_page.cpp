#include "rasconfig/protocol_page.h"

#include "common/answer_section.h"
#include "common/ascii_case.h"
#include "common/dialog_controls.h"
#include "common/paths.h"
#include "common/registry.h"
#include "lang/resource.h"
#include "rasconfig/driver_channel.h"
#include "rasconfig/msneaz_table.h"
#include "rasconfig/page_frame.h"

namespace {

constexpr DWORD kStoredNameSize = 128;

// One group of radio buttons and what it stands for.
struct ProtocolGroup {
    const char* value;
    const char* answerKey;
    int hdlc, x75, v110, v120;
    DWORD (*send)(DWORD protocol);
};

const ProtocolGroup kGroups[] = {
    {"DefaultInbound", "Inbound", IDC_IN_HDLC, IDC_IN_X75, IDC_IN_V110, IDC_IN_V120, SetDefaultInbound},
    {"DefaultOutbound", "Outbound", IDC_OUT_HDLC, IDC_OUT_X75, IDC_OUT_V110, IDC_OUT_V120, SetDefaultOutbound},
};

constexpr size_t kGroupCount = sizeof kGroups / sizeof kGroups[0];

// The page's values: the button each group checked as stored when the page opened.
struct ProtocolPage {
    ProtocolButton stored[kGroupCount];
};

ProtocolPage* PageOf(HWND page) { return PageValues<ProtocolPage>(page); }

ProtocolButton ReadStoredButton(const ProtocolGroup& group) {
    char stored[kStoredNameSize] = "";
    char path[kPathSize];
    if (!JoinRegistryPath(kVrkRasParametersKey, group.value, path) || !ReadRegString(path, stored, sizeof stored))
        stored[0] = '\0';
    return StoredProtocolButton(stored);
}

void LoadGroup(HWND page, const ProtocolGroup& group, ProtocolButton stored) {
    SetControlDisabled(page, group.v120, TRUE);
    for (int id : {group.hdlc, group.x75, group.v110, group.v120}) CheckDlgButton(page, id, BST_UNCHECKED);
    switch (stored) {
    case ProtocolButton::Hdlc: CheckDlgButton(page, group.hdlc, BST_CHECKED); break;
    case ProtocolButton::X75: CheckDlgButton(page, group.x75, BST_CHECKED); break;
    case ProtocolButton::V110: CheckDlgButton(page, group.v110, BST_CHECKED); break;
    case ProtocolButton::None: break;
    }
}

void StoreGroup(const ProtocolGroup& group, DefaultProtocol protocol) {
    char path[kPathSize];
    if (JoinRegistryPath(kVrkRasParametersKey, group.value, path))
        WriteRegString(path, StoredProtocolName(protocol), kRegClose);
    group.send(static_cast<DWORD>(protocol));
}

void ApplyGroup(HWND page, const ProtocolGroup& group) {
    StoreGroup(group, CheckedProtocol(IsDlgButtonChecked(page, group.hdlc) == BST_CHECKED,
                                      IsDlgButtonChecked(page, group.x75) == BST_CHECKED));
}

BOOL InitPage(HWND page) {
    ProtocolPage* values = new ProtocolPage;
    KeepPageValues(page, values);
    for (size_t g = 0; g < kGroupCount; ++g) {
        values->stored[g] = ReadStoredButton(kGroups[g]);
        LoadGroup(page, kGroups[g], values->stored[g]);
    }
    SetForegroundWindow(page);
    return TRUE;
}

bool ApplyPage(HWND page, ProtocolPage*) {
    for (const ProtocolGroup& group : kGroups) ApplyGroup(page, group);
    return true;
}

}  // namespace

INT_PTR CALLBACK DefaultProtocolsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return InitPage(page);
    ProtocolPage* values = PageOf(page);
    return values ? DispatchPageMessage<ProtocolPage>(page, values, message, wParam, nullptr, ApplyPage,
                                                      IDH_DEFAULT_PROTOCOLS_PAGE)
                  : FALSE;
}

bool ApplyProtocolAnswers(SectionAnswers& answers) {
    DefaultProtocol chosen[kGroupCount];
    for (size_t g = 0; g < kGroupCount; ++g) {
        const ProtocolButton stored = ReadStoredButton(kGroups[g]);
        chosen[g] = CheckedProtocol(stored == ProtocolButton::Hdlc, stored == ProtocolButton::X75);
        std::string answer;
        if (!answers.Text(kGroups[g].answerKey, kAnswerTextMax, &answer)) continue;
        // The buttons a person can click; V120's are disabled.
        if (EqualsIgnoringCase(answer.c_str(), "HDLC"))
            chosen[g] = DefaultProtocol::Hdlc;
        else if (EqualsIgnoringCase(answer.c_str(), "X75"))
            chosen[g] = DefaultProtocol::X75;
        else if (EqualsIgnoringCase(answer.c_str(), "V110"))
            chosen[g] = DefaultProtocol::V110;
        else
            answers.Refuse(kGroups[g].answerKey, ("\"" + answer + "\" is none of HDLC, X75, V110").c_str());
    }
    if (answers.refused()) return false;
    for (size_t g = 0; g < kGroupCount; ++g) StoreGroup(kGroups[g], chosen[g]);
    return true;
}
