#include "rasconfig/msneaz_page.h"

#include <cstdio>
#include <cstring>

#include "common/answer_section.h"
#include "common/multistring.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "lang/resource.h"
#include "rasconfig/page_frame.h"
#include "rasconfig/bilingual.h"
#include "rasconfig/driver_channel.h"
#include "rasconfig/list_answers.h"
#include "rasconfig/msneaz_table.h"
#include "rasconfig/page_controls.h"
#include "rasconfig/phone_number.h"

namespace {

constexpr size_t kNumberLength = 127;
constexpr size_t kProtocolLength = 31;
const int kListTabStop = 100;
const char kMsnEazValue[] = "MSNEAZ";
const char kCaption[] = "Varnek ISDN DIALCORE MSN/EAZ";
constexpr size_t kRefusalSize = 300;
const Bilingual kBadNumber = {
    "Error MSN number or B-Channel protocol (empty or bad characters)",
    "Fehler bei Eingabe der MSN nummer oder des Protokoll (leer oder falsche Zeichen)"};
const Bilingual kDriverRefused = {
    "The driver did not take the MSN/EAZ table (error %lu). The table is stored; until the driver takes it, it "
    "uses the table it had before.",
    "Der Treiber hat die MSN/EAZ-Tabelle nicht übernommen (Fehler %lu). Die Tabelle ist gespeichert; bis der "
    "Treiber sie übernimmt, verwendet er die bisherige Tabelle."};
// The driver's table ends at its first empty string: a table of one empty string is a table
// without a number, where an empty request would not reach the driver at all.
const char kEmptyDriverTable[] = "";
// The protocols the combo box offers; an empty text stands for the default protocol.
const char* const kOfferedProtocols[] = {"HDLC", "X75", "V110"};

// The page's values between loading and closing: the table as the list shows it.
struct MsnEazPage {
    MsnEazTable table;
};

MsnEazPage* PageOf(HWND page) { return PageValues<MsnEazPage>(page); }

void ShowTable(HWND page, const MsnEazTable& table, int selected) {
    SendDlgItemMessageA(page, IDC_MSNEAZ_LIST, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < table.size(); ++i) AppendLine(page, IDC_MSNEAZ_LIST, MsnEazListLine(table.at(i)));
    if (selected >= 0) SelectLine(page, IDC_MSNEAZ_LIST, selected);
}

// MSNEAZ as the list shows it; false when the value's path cannot be formed.
bool ReadStoredTable(MsnEazTable* table) {
    char path[kPathSize];
    if (!JoinRegistryPath(kVrkRasParametersKey, kMsnEazValue, path)) return false;
    RegistryStringList strings(path);
    strings.rewind();
    for (const char* text; (text = strings.next()) != nullptr;) {
        MsnEazEntry entry;
        if (ParseMsnEazString(text, strlen(text), &entry))
            table->add(entry.number, entry.protocol);
        else
            WriteSetupLog(kLogSourceSetup, kLogFailure, "MSNEAZ entry \"%s\" left out: no number or unknown protocol",
                          text);
    }
    return true;
}

void LoadPage(HWND page, MsnEazPage* values) {
    for (const char* protocol : kOfferedProtocols)
        SendDlgItemMessageA(page, IDC_MSNEAZ_PROTOCOL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(protocol));
    SendDlgItemMessageA(page, IDC_MSNEAZ_PROTOCOL, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(page, IDC_MSNEAZ_LIST, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&kListTabStop));

    if (!ReadStoredTable(&values->table)) return;
    ShowTable(page, values->table, -1);
}

// The selected entry in the fields, ready to be changed and added again.
void ShowSelected(HWND page, const MsnEazPage* values) {
    const int index = SelectedLine(page, IDC_MSNEAZ_LIST);
    if (index < 0 || static_cast<size_t>(index) >= values->table.size()) return;
    const MsnEazEntry& entry = values->table.at(static_cast<size_t>(index));
    SetDlgItemTextA(page, IDC_MSNEAZ_NUMBER, entry.number.c_str());
    SetDlgItemTextA(page, IDC_MSNEAZ_PROTOCOL, entry.protocol);
}

// What the add button makes of a typed number and protocol text.
enum class TypedEntry { Added, BadNumber, UnknownProtocol };

TypedEntry AddTypedEntry(MsnEazTable* table, const std::string& number, const std::string& protocol) {
    if (number.size() > kNumberLength || !IsPhoneNumber(number.c_str())) return TypedEntry::BadNumber;
    // A text longer than any protocol name names none.
    if (protocol.size() > kProtocolLength || !table->add(number, protocol.c_str())) return TypedEntry::UnknownProtocol;
    return TypedEntry::Added;
}

void AddEntry(HWND page, MsnEazPage* values) {
    std::string number, protocol;
    const bool numberFits = ReadControlText(page, IDC_MSNEAZ_NUMBER, kNumberLength, &number);
    if (!numberFits || !IsPhoneNumber(number.c_str())) {
        MessageBoxA(page, kBadNumber.text(), kCaption, MB_ICONHAND);
        return;
    }
    const bool protocolFits = ReadControlText(page, IDC_MSNEAZ_PROTOCOL, kProtocolLength, &protocol);
    if (!protocolFits || AddTypedEntry(&values->table, number, protocol) != TypedEntry::Added) return;
    ShowTable(page, values->table, static_cast<int>(values->table.size()) - 1);
}

void DeleteEntry(HWND page, MsnEazPage* values) {
    const int index = SelectedLine(page, IDC_MSNEAZ_LIST);
    if (index < 0) return;
    values->table.remove(static_cast<size_t>(index));
    ShowTable(page, values->table, -1);
}

// Stores the table and sends it; false, with the text of the refusal in message (300 bytes), when
// the driver refuses it.
bool StoreTable(const MsnEazTable& entries, char* message) {
    const std::string table = entries.driverTable();
    char path[kPathSize];
    // The string's own terminator is the final NUL of the registry form; an empty table is that NUL alone.
    if (JoinRegistryPath(kVrkRasParametersKey, kMsnEazValue, path))
        WriteRegMultiString(path, table.c_str(), kRegClose, static_cast<DWORD>(table.size() + 1));
    WriteSetupLog(kLogSourceSetup, kLogTrace, "MSNEAZ stored with %u entries", static_cast<unsigned>(entries.size()));
    const DWORD error = table.empty() ? LoadMsnEazTable(kEmptyDriverTable, sizeof kEmptyDriverTable)
                                      : LoadMsnEazTable(table.data(), static_cast<DWORD>(table.size()));
    if (error == ERROR_SUCCESS || IsDriverAbsent(error)) return true;
    WriteSetupLog(kLogSourceSetup, kLogFailure, "The driver did not take the MSN/EAZ table, error %lu",
                  static_cast<unsigned long>(error));
    snprintf(message, kRefusalSize, kDriverRefused.text(), static_cast<unsigned long>(error));
    return false;
}

// Stores the table and sends it; false, with a message, when the driver refuses it.
bool ApplyPage(HWND page, MsnEazPage* values) {
    char message[kRefusalSize];
    if (StoreTable(values->table, message)) return true;
    MessageBoxA(page, message, kCaption, MB_ICONHAND);
    return false;
}

BOOL InitPage(HWND page) {
    MsnEazPage* values = new MsnEazPage;
    KeepPageValues(page, values);
    SendDlgItemMessageA(page, IDC_MSNEAZ_NUMBER, EM_LIMITTEXT, kNumberLength, 0);
    SendDlgItemMessageA(page, IDC_MSNEAZ_PROTOCOL, CB_LIMITTEXT, kProtocolLength, 0);
    LoadPage(page, values);
    SetForegroundWindow(page);
    return TRUE;
}

BOOL Command(HWND page, MsnEazPage* values, int id, int code) {
    switch (id) {
    case IDC_MSNEAZ_LIST:
        if (code == LBN_SELCHANGE) ShowSelected(page, values);
        return TRUE;
    case IDC_MSNEAZ_ADD:
        AddEntry(page, values);
        return TRUE;
    case IDC_MSNEAZ_DELETE:
        DeleteEntry(page, values);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK MsnEazPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return InitPage(page);
    MsnEazPage* values = PageOf(page);
    return values ? DispatchPageMessage(page, values, message, wParam, Command, ApplyPage, IDH_MSNEAZ_PAGE) : FALSE;
}

bool ApplyMsnEazAnswers(SectionAnswers& answers) {
    MsnEazTable table;
    ReadStoredTable(&table);
    ClearAndDeleteAnswered(answers, &table);
    std::vector<std::string> entries;
    if (AnswerList(answers, "Add", &entries)) {
        for (const std::string& entry : entries) {
            // "number protocol": a number holds no blank; without a protocol it takes the default one.
            const size_t blank = entry.find_first_of(" \t");
            const std::string number = entry.substr(0, blank);
            const size_t protocolStart = blank == std::string::npos ? entry.size() : entry.find_first_not_of(" \t", blank);
            const std::string protocol = protocolStart == std::string::npos ? "" : entry.substr(protocolStart);
            switch (AddTypedEntry(&table, number, protocol)) {
            case TypedEntry::Added: break;
            case TypedEntry::BadNumber: answers.Refuse("Add", (entry + ": " + kBadNumber.text()).c_str()); break;
            case TypedEntry::UnknownProtocol:
                answers.Refuse("Add", (entry + ": the protocol is none of <default>, HDLC, X75, V110, RAW, V120").c_str());
                break;
            }
        }
    }
    if (answers.refused()) return false;
    char message[kRefusalSize];
    if (!StoreTable(table, message)) NoteAnswer(answers, nullptr, message);
    return true;
}
