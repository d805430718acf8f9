// The MSN/EAZ, default protocols and incoming-caller pages of the configuration center, opened from
// the center the way a person opens them, on an English or a German machine, with the substitute
// driver telling the bytes it received.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "center_robot.h"
#include "file_holder.h"
#include "small_drive.h"
#include "trace_service.h"
#include "vrkras_driver.h"
#include "winhelp_observer.h"

using namespace center_test;
using namespace dialog_robot;
using namespace testing_machine;
using testing_holder::FileHolder;
using testing_holder::Sharing;

namespace {

using Lines = std::vector<std::string>;

const char* const kDriverKey = testing_vrkras::kDriverParameters;
const char* const kServiceKey = testing_trace_service::kParameters;
const char kMsnCaption[] = "Varnek ISDN DIALCORE MSN/EAZ";
const Text kBadMsn = {"Error MSN number or B-Channel protocol (empty or bad characters)",
                      "Fehler bei Eingabe der MSN nummer oder des Protokoll (leer oder falsche Zeichen)"};
const Text kCollectCaption = {"Varnek ISDN DIALCORE Incaller Configaration", "Varnek ISDN DIALCORE Incaller Konfigaration"};
const Text kLogMissing = {
    "Have not found a logging file. Can't search anyone number for incaller check.",
    "Varnek ISDN DIALCORE Logging Datei wurde nicht gefunden. Es können keine Nummern übernommen werden."};
const Text kLogNotOpened = {
    "Can't open the logging file. Can't search anyone number for incaller check.",
    "Varnek ISDN DIALCORE Logging Datei konnte nicht geöffnet werden. Es können keine Nummern übernommen werden."};
const Text kThreeAdded = {"There are 3 new phone numbers in the incaller listbox.", "Es wurden 3 neue Telefonnummern gefunden."};
const Text kNoneAdded = {"There are not new checked phonenumbers added.", "Es wurden keine neuen Telefonnummern übernommen"};
const Text kNotWritten = {
    "During open caller file occurs a error. Pleace check the filename, harddisk space and securitys for this file.",
    "Beim Öffnen der Datei für die Rufnummern, die überprüft werden sollen, ist ein Fehler aufgetreten. Überprüfen "
    "Sie bitte Dateinamen, Festplattenplatz und Zugriffsrechte."};

const Text kCallersRefused = {
    "The driver did not take the incoming-caller list or its check flags (error 21). The file is written; until "
    "the driver takes them, it checks incoming calls as it did before.",
    "Der Treiber hat die Liste der Anrufer oder ihre Prüfoptionen nicht übernommen (Fehler 21). Die Datei ist "
    "geschrieben; bis der Treiber sie übernimmt, prüft er ankommende Anrufe wie bisher."};
const Text kMsnRefused = {
    "The driver did not take the MSN/EAZ table (error 21). The table is stored; until the driver takes it, it "
    "uses the table it had before.",
    "Der Treiber hat die MSN/EAZ-Tabelle nicht übernommen (Fehler 21). Die Tabelle ist gespeichert; bis der "
    "Treiber sie übernimmt, verwendet er die bisherige Tabelle."};

std::string Joined(const Lines& lines, const std::string& end) {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

// The lines of a list one below the other, for comparing and printing.
std::string Shown(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// Strings each followed by a NUL.
std::string Strings(const Lines& strings) {
    std::string bytes;
    for (const std::string& s : strings) bytes += s + '\0';
    return bytes;
}

std::string RegBytes(const char* key, const char* name, DWORD* type = nullptr) {
    std::string bytes;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes, type)) return "(none)";
    return bytes;
}

std::string RegText(const char* key, const char* name) { return RegBytes(key, name).c_str(); }

// Waits until the list shows the lines (a click is posted, its effect comes a little later).
Lines WaitForLines(HWND page, int list, const Lines& expected) {
    Lines lines;
    for (int n = 0; n < 250 && (lines = ListEntries(page, list)) != expected; ++n) Pump(20);
    return lines;
}

std::string WaitForText(HWND page, int id, const std::string& expected) {
    std::string text;
    for (int n = 0; n < 250 && (text = ControlText(page, id)) != expected; ++n) Pump(20);
    return text;
}

// Moves the keyboard focus to a control of the page, as a click into it or the TAB key does.
void Focus(HWND page, int id) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(page, id)), TRUE,
                                    SMTO_ABORTIFHUNG, 5000, &result));
}

void ExpectBox(const std::string& text, const std::string& caption, UINT icon, int button = IDOK) {
    const MessageBoxSeen box = AnswerMessageBox(button);
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(icon, box.icon) << box.text;
}

// A click that must not ask anything: after a while no box with the caption is there.
void ExpectNoBox(const std::string& caption) {
    Pump(400);
    HWND box = FindWindowByCaption(caption);
    EXPECT_EQ(nullptr, box) << "a box came up";
    if (box) AnswerMessageBox(IDOK);
}

class RasconfigListPagesTest : public ::testing::Test {
protected:
    // Both suites of this program share the one driver.
    static void SetUpTestSuite() {
        static bool loaded = false;
        if (loaded) return;
        ASSERT_TRUE(testing_vrkras::InstallDriver(1));
        ASSERT_TRUE(testing_vrkras::StartDriver());
        loaded = true;
    }
    void SetUp() override {
        ASSERT_NE(nullptr, MachineModule());
        testing_journal::ClearJournal();
        WaitUntilNoCenterHoldsTheDriver(driver_);
        ASSERT_TRUE(driver_.Reset());
        host_ = StartCenterByHost("");
        center_ = WaitForCenter();
        ASSERT_NE(nullptr, center_) << "the center did not open";
    }
    void TearDown() override {
        if (center_) CloseCenter(center_, host_.get());
        driver_.Faults(vrkras_faults{});
    }

    HWND Open(int button, WORD templateId) { return OpenPage(center_, button, templateId); }
    void Close(HWND page, int button) {
        Click(page, button);
        EXPECT_TRUE(WaitUntilGone(page));
    }
    vrkras_state State() {
        vrkras_state state = {};
        EXPECT_TRUE(driver_.State(&state));
        return state;
    }
    // The driver fails the requests of these selectors from now on.
    void Refuse(std::initializer_list<unsigned> selectors) {
        vrkras_faults faults = {};
        for (unsigned selector : selectors) faults.refuse_selectors |= 1u << selector;
        EXPECT_TRUE(driver_.Faults(faults));
    }
    // A click on OK that the page answers with a box and stays open for.
    void ExpectOkRefused(HWND page, const std::string& text, const std::string& caption) {
        Click(page, IDOK);
        const MessageBoxSeen box = AnswerMessageBox(IDOK);
        EXPECT_EQ(text, box.text);
        EXPECT_EQ(caption, box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), box.icon);
        Pump(300);
        EXPECT_TRUE(IsWindowVisible(page)) << "the page stays open for another try";
    }

    testing_vrkras::DriverControl driver_;
    std::unique_ptr<Started> host_;
    HWND center_ = nullptr;
};

TEST_F(RasconfigListPagesTest, EveryPageOpensItsOwnHelp) {
    const struct {
        int button;
        WORD templateId;
        DWORD help;
    } pages[] = {{IDC_CENTER_MSNEAZ, IDD_MSNEAZ_PAGE, IDH_MSNEAZ_PAGE},
                 {IDC_CENTER_DEFAULT_PROTOCOLS, IDD_DEFAULT_PROTOCOLS_PAGE, IDH_DEFAULT_PROTOCOLS_PAGE},
                 {IDC_CENTER_INCALLER, IDD_INCALLER_PAGE, IDH_INCALLER_PAGE}};
    for (const auto& p : pages) {
        HWND page = Open(p.button, p.templateId);
        ASSERT_NE(nullptr, page) << p.templateId;
        winhelp_observer::WinHelpObserver help;
        ASSERT_TRUE(help.ready());
        Click(page, IDHELP);
        ASSERT_TRUE(help.WaitForCalls(1));
        EXPECT_EQ(static_cast<ULONG_PTR>(p.help), help.Calls()[0].data);
        Close(page, IDCANCEL);
    }
}

TEST_F(RasconfigListPagesTest, MsnEazTableRoundTripsAndReachesTheDriverAsItsStrings) {
    const std::string stored =
        Strings({"123", "456^b_x75", "^B_HDLC", "789^B_raw", "88^b_isdn", "999^v120", "456^B_HDLC"}) + '\0';
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kDriverKey, "MSNEAZ", REG_MULTI_SZ, stored));
    HWND page = Open(IDC_CENTER_MSNEAZ, IDD_MSNEAZ_PAGE);
    ASSERT_NE(nullptr, page);
    // The empty number and the unknown protocol are left out; the later 456 replaces the first.
    Lines expected = {"123\t<default>", "789\tRAW", "999\tV120", "456\tHDLC"};
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_MSNEAZ_LIST)));
    EXPECT_EQ(Shown((Lines{"HDLC", "X75", "V110"})), Shown(ComboEntries(page, IDC_MSNEAZ_PROTOCOL)));
    EXPECT_EQ("HDLC", ControlText(page, IDC_MSNEAZ_PROTOCOL));
    const std::string log = ReadFileBytes("c:\\temp\\setup.log");
    EXPECT_NE(std::string::npos, log.find("\"^B_HDLC\" left out")) << log;

    for (const char* bad : {"", "12 3", "+49 (30) 1", "12a", "*31"}) {
        SetControlText(page, IDC_MSNEAZ_NUMBER, bad);
        Click(page, IDC_MSNEAZ_ADD);
        ExpectBox(kBadMsn.get(), kMsnCaption, MB_ICONHAND);
    }
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_MSNEAZ_LIST)));

    const struct {
        const char* number;
        const char* protocol;  // typed into the combo box; null: chosen from its list
        const char* chosen;
        Lines after;
    } adds[] = {
        {"+49(30)123-45/6", nullptr, "V110", {"123\t<default>", "789\tRAW", "999\tV120", "456\tHDLC", "+49(30)123-45/6\tV110"}},
        {"123", nullptr, "X75", {"789\tRAW", "999\tV120", "456\tHDLC", "+49(30)123-45/6\tV110", "123\tX75"}},
        {"42", "", nullptr, {"789\tRAW", "999\tV120", "456\tHDLC", "+49(30)123-45/6\tV110", "123\tX75", "42\t<default>"}},
        {"44", "raw", nullptr,
         {"789\tRAW", "999\tV120", "456\tHDLC", "+49(30)123-45/6\tV110", "123\tX75", "42\t<default>", "44\tRAW"}},
    };
    for (const auto& a : adds) {
        SCOPED_TRACE(a.number);
        SetControlText(page, IDC_MSNEAZ_NUMBER, a.number);
        if (a.chosen) SelectComboEntry(page, IDC_MSNEAZ_PROTOCOL, a.chosen);
        else SetControlText(page, IDC_MSNEAZ_PROTOCOL, a.protocol);
        Click(page, IDC_MSNEAZ_ADD);
        EXPECT_EQ(Shown(a.after), Shown(WaitForLines(page, IDC_MSNEAZ_LIST, a.after)));
        expected = a.after;
    }
    SetControlText(page, IDC_MSNEAZ_NUMBER, "43");
    SetControlText(page, IDC_MSNEAZ_PROTOCOL, "isdn");
    Click(page, IDC_MSNEAZ_ADD);
    ExpectNoBox(kMsnCaption);
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_MSNEAZ_LIST))) << "a protocol outside the table is not taken";

    SelectListEntry(page, IDC_MSNEAZ_LIST, 2);
    EXPECT_EQ("456", WaitForText(page, IDC_MSNEAZ_NUMBER, "456"));
    Click(page, IDC_MSNEAZ_DELETE);
    expected.erase(expected.begin() + 2);
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_MSNEAZ_LIST, expected)));
    Close(page, IDOK);

    const std::string table = Strings({"789^B_RAW", "999^B_V120", "+49(30)123-45/6^B_V110", "123^B_X75", "42", "44^B_RAW"});
    DWORD type = 0;
    EXPECT_EQ(table + '\0', RegBytes(kDriverKey, "MSNEAZ", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    vrkras_state state = State();
    EXPECT_EQ(1u, state.requests[8]);
    EXPECT_EQ(table.size() + 12, state.last_length[8]);
    EXPECT_EQ(table, driver_.Block(VRKRAS_BLOCK_MSN_EAZ));

    // Cancel keeps the table; an emptied table is stored empty and sent to the driver as such.
    page = Open(IDC_CENTER_MSNEAZ, IDD_MSNEAZ_PAGE);
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_MSNEAZ_LIST))) << "the stored table reads back as it was shown";
    SelectListEntry(page, IDC_MSNEAZ_LIST, 0);
    Click(page, IDC_MSNEAZ_DELETE);
    for (int n = 0; n < 250 && ListEntries(page, IDC_MSNEAZ_LIST).size() != expected.size() - 1; ++n) Pump(20);
    EXPECT_EQ(expected.size() - 1, ListEntries(page, IDC_MSNEAZ_LIST).size());
    Close(page, IDCANCEL);
    EXPECT_EQ(table + '\0', RegBytes(kDriverKey, "MSNEAZ"));

    page = Open(IDC_CENTER_MSNEAZ, IDD_MSNEAZ_PAGE);
    for (size_t left = expected.size(); left > 0; --left) {
        SelectListEntry(page, IDC_MSNEAZ_LIST, 0);
        Click(page, IDC_MSNEAZ_DELETE);
        for (int n = 0; n < 250 && ListEntries(page, IDC_MSNEAZ_LIST).size() != left - 1; ++n) Pump(20);
    }
    EXPECT_TRUE(ListEntries(page, IDC_MSNEAZ_LIST).empty());
    Close(page, IDOK);
    EXPECT_EQ(std::string(1, '\0'), RegBytes(kDriverKey, "MSNEAZ", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    state = State();
    EXPECT_EQ(2u, state.requests[8]) << "an empty table reaches the driver too";
    EXPECT_EQ(std::string(1, '\0'), driver_.Block(VRKRAS_BLOCK_MSN_EAZ)) << "one empty string: a table without a number";
}

TEST_F(RasconfigListPagesTest, DefaultProtocolGroupsShowTheStoredNameAndStoreTheCheckedOne) {
    enum Button { kNone = 0, kHdlc, kX75, kV110 };
    const int inbound[] = {0, IDC_IN_HDLC, IDC_IN_X75, IDC_IN_V110};
    const int outbound[] = {0, IDC_OUT_HDLC, IDC_OUT_X75, IDC_OUT_V110};
    const struct {
        const char* storedIn;  // null: absent
        const char* storedOut;
        Button shownIn, shownOut;
        Button clickIn, clickOut;  // kNone: leave the group as shown
        const char* storeIn;
        const char* storeOut;
    } cases[] = {
        {nullptr, nullptr, kHdlc, kHdlc, kNone, kNone, "B_HDLC", "B_HDLC"},
        {"B_V120", "b_x75", kHdlc, kX75, kNone, kNone, "B_HDLC", "B_X75"},
        {"B_RAW", "B_V110", kHdlc, kV110, kNone, kNone, "B_HDLC", "B_V110"},
        {"B_ISDN", "X.75", kNone, kNone, kNone, kNone, "B_V110", "B_V110"},
        {"B_HDLC", "B_HDLC", kHdlc, kHdlc, kX75, kV110, "B_X75", "B_V110"},
        {"B_V110", "B_X75", kV110, kX75, kHdlc, kHdlc, "B_HDLC", "B_HDLC"},
    };
    unsigned sent = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.storedIn ? c.storedIn : "(none)") + " / " + (c.storedOut ? c.storedOut : "(none)"));
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultInbound");
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultOutbound");
        if (c.storedIn) SetRegString(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultInbound", c.storedIn);
        if (c.storedOut) SetRegString(HKEY_LOCAL_MACHINE, kDriverKey, "DefaultOutbound", c.storedOut);
        HWND page = Open(IDC_CENTER_DEFAULT_PROTOCOLS, IDD_DEFAULT_PROTOCOLS_PAGE);
        ASSERT_NE(nullptr, page);
        for (int b = kHdlc; b <= kV110; ++b) {
            EXPECT_EQ(b == c.shownIn, IsChecked(page, inbound[b])) << "incoming " << b;
            EXPECT_EQ(b == c.shownOut, IsChecked(page, outbound[b])) << "outgoing " << b;
        }
        for (int v120 : {IDC_IN_V120, IDC_OUT_V120}) {
            EXPECT_TRUE(IsControlVisible(page, v120));
            EXPECT_FALSE(IsControlEnabled(page, v120));
            EXPECT_FALSE(IsChecked(page, v120));
        }
        if (c.clickIn) SetChecked(page, inbound[c.clickIn], true);
        if (c.clickOut) SetChecked(page, outbound[c.clickOut], true);
        Close(page, IDOK);
        ++sent;
        EXPECT_EQ(c.storeIn, RegText(kDriverKey, "DefaultInbound"));
        EXPECT_EQ(c.storeOut, RegText(kDriverKey, "DefaultOutbound"));
        const auto number = [](const char* name) { return std::string(name) == "B_HDLC" ? 1u : name[2] == 'X' ? 2u : 3u; };
        const vrkras_state state = State();
        EXPECT_EQ(sent, state.requests[2]);
        EXPECT_EQ(sent, state.requests[4]);
        EXPECT_EQ(number(c.storeIn), state.inbound);
        EXPECT_EQ(number(c.storeOut), state.outbound);
    }

    HWND page = Open(IDC_CENTER_DEFAULT_PROTOCOLS, IDD_DEFAULT_PROTOCOLS_PAGE);
    SetChecked(page, IDC_IN_V110, true);
    Close(page, IDCANCEL);
    EXPECT_EQ("B_HDLC", RegText(kDriverKey, "DefaultInbound"));
    EXPECT_EQ(sent, State().requests[2]) << "Cancel sends nothing";
}

class RasconfigCallerPageTest : public RasconfigListPagesTest {
protected:
    void SetUp() override {
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, kDriverKey, "IncomingCallerFile");
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, kDriverKey, "IncallFlag");
        DeleteFileA(DefaultFile().c_str());
        RasconfigListPagesTest::SetUp();
    }
    static std::string DefaultFile() { return Expand("%SystemRoot%\\SYSTEM32\\VARNEK\\caller.dat"); }
    HWND OpenCallers() { return Open(IDC_CENTER_INCALLER, IDD_INCALLER_PAGE); }
    // Clicks add with the number and the name in the fields.
    void Add(HWND page, const std::string& number, const std::string& name) {
        SetControlText(page, IDC_CALLER_NUMBER, number);
        SetControlText(page, IDC_CALLER_NAME, name);
        Click(page, IDC_CALLER_ADD);
    }
};

TEST_F(RasconfigCallerPageTest, TheListIsEditedLikeAPersonDoesAndReachesFileAndDriver) {
    const std::string longLine = "   \t304\t" + std::string(300, 'x');
    ASSERT_TRUE(WriteFileBytes(DefaultFile(), "-->\t301\tAlice\r\n\r\n   \t302\tBob\n12\r\n" + longLine + "\r\n-->\t303\t\r\n"));
    SetRegDword(HKEY_LOCAL_MACHINE, kDriverKey, "IncallFlag", 3);
    HWND page = OpenCallers();
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(DefaultFile(), RegText(kDriverKey, "IncomingCallerFile")) << "the default is written when absent";
    Lines expected = {"-->\t301\tAlice", "   \t302\tBob", "12", longLine.substr(0, 255), "-->\t303\t"};
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_CALLER_LIST)));
    EXPECT_NE(std::string::npos, ReadFileBytes("c:\\temp\\setup.log").find("1 lines longer than 255 characters cut to 255"));
    EXPECT_TRUE(IsChecked(page, IDC_CALLER_CHECK_FLAG0));
    EXPECT_TRUE(IsChecked(page, IDC_CALLER_CHECK_FLAG1));

    SelectListEntry(page, IDC_CALLER_LIST, 0);
    EXPECT_EQ("301", WaitForText(page, IDC_CALLER_NUMBER, "301"));
    EXPECT_EQ("Alice", ControlText(page, IDC_CALLER_NAME));

    // The mark buttons and the double click change only the mark, or put one in front.
    const struct {
        int index;
        int button;  // 0: double click
        const char* entry;
    } marks[] = {
        {2, IDC_CALLER_MARK, "-->\t12"},       {1, IDC_CALLER_UNMARK, "   \t302\tBob"},
        {1, IDC_CALLER_MARK, "-->\t302\tBob"}, {1, IDC_CALLER_UNMARK, "   \t302\tBob"},
        {0, 0, "   \t301\tAlice"},             {4, 0, "   \t303\t"},
        {4, 0, "-->\t303\t"},
    };
    for (const auto& m : marks) {
        SCOPED_TRACE(m.entry);
        if (m.button) {
            SelectListEntry(page, IDC_CALLER_LIST, m.index);
            Click(page, m.button);
        } else {
            DoubleClickListEntry(page, IDC_CALLER_LIST, m.index);
        }
        expected[m.index] = m.entry;
        EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
        EXPECT_EQ(m.index, ListSelection(page, IDC_CALLER_LIST));
    }

    // Renaming: the name field takes the selected entry's new name when it loses the focus.
    SelectListEntry(page, IDC_CALLER_LIST, 0);
    EXPECT_EQ("301", WaitForText(page, IDC_CALLER_NUMBER, "301"));
    Focus(page, IDC_CALLER_NAME);
    SetControlText(page, IDC_CALLER_NAME, "Alicia");
    Focus(page, IDC_CALLER_NUMBER);
    expected[0] = "   \t301\tAlicia";
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
    // A new caller typed over a selected one renames nobody.
    SelectListEntry(page, IDC_CALLER_LIST, 4);
    EXPECT_EQ("303", WaitForText(page, IDC_CALLER_NUMBER, "303"));
    Focus(page, IDC_CALLER_NAME);
    SetControlText(page, IDC_CALLER_NUMBER, "500");
    SetControlText(page, IDC_CALLER_NAME, "Dave");
    Focus(page, IDC_CALLER_ADD);
    Click(page, IDC_CALLER_ADD);
    expected.push_back("-->\t500\tDave");
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
    EXPECT_EQ(5, ListSelection(page, IDC_CALLER_LIST));

    for (const std::string& bad : {std::string("12 3"), std::string("12a"), std::string(251, '1')}) {
        Add(page, bad, "x");
        ExpectBox(LoadText(IDS_CALLER_BAD_NUMBER), LoadText(IDS_MESSAGE_CAPTION), MB_ICONEXCLAMATION);
    }
    Add(page, "", "nobody");
    ExpectNoBox(LoadText(IDS_MESSAGE_CAPTION));
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_CALLER_LIST)));

    Add(page, "+49(30)123-45", "Carol");
    expected.push_back("-->\t+49(30)123-45\tCarol");
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
    EXPECT_EQ(6, ListSelection(page, IDC_CALLER_LIST));

    // A listed number: No keeps the list, Yes replaces the entry with the new name.
    Add(page, "302", "Robert");
    MessageBoxSeen question = AnswerMessageBox(IDNO);
    EXPECT_EQ(LoadText(IDS_CALLER_REPLACE), question.text);
    EXPECT_EQ(LoadText(IDS_MESSAGE_CAPTION), question.caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), question.buttons);
    EXPECT_EQ(static_cast<UINT>(MB_ICONASTERISK), question.icon);
    Pump(300);
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_CALLER_LIST)));
    Click(page, IDC_CALLER_ADD);
    question = AnswerMessageBox(IDYES);
    EXPECT_EQ(LoadText(IDS_CALLER_REPLACE), question.text);
    expected.erase(expected.begin() + 1);
    expected.push_back("-->\t302\tRobert");
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
    EXPECT_EQ(static_cast<int>(expected.size()) - 1, ListSelection(page, IDC_CALLER_LIST));

    // A name too long for an entry is cut; the number and its mark stay.
    Add(page, "400", std::string(300, 'n'));
    expected.push_back("-->\t400\t" + std::string(255 - 8, 'n'));
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));

    SelectListEntry(page, IDC_CALLER_LIST, 2);
    Click(page, IDC_CALLER_DELETE);
    expected.erase(expected.begin() + 2);
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
    EXPECT_EQ(0, ListSelection(page, IDC_CALLER_LIST));

    SetChecked(page, IDC_CALLER_CHECK_FLAG1, false);
    Close(page, IDOK);
    const std::string text = Joined(expected, "\r\n");
    EXPECT_EQ(text, ReadFileBytes(DefaultFile()));
    EXPECT_EQ(text, driver_.Block(VRKRAS_BLOCK_CALLERS));
    vrkras_state state = State();
    EXPECT_EQ(1u, state.requests[12]);
    EXPECT_EQ(1u, state.requests[14]);
    EXPECT_EQ(1u, state.incall_flags);
    DWORD type = 0;
    EXPECT_EQ(std::string("\1\0\0\0", 4), RegBytes(kDriverKey, "IncallFlag", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);

    page = OpenCallers();
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_CALLER_LIST)));
    EXPECT_TRUE(IsChecked(page, IDC_CALLER_CHECK_FLAG0));
    EXPECT_FALSE(IsChecked(page, IDC_CALLER_CHECK_FLAG1));
    Close(page, IDCANCEL);
    EXPECT_EQ(1u, State().requests[12]) << "Cancel sends nothing";
}

TEST_F(RasconfigCallerPageTest, NewCallersAreCollectedFromTheRingRecordsOfTheLog) {
    const std::string dir = FreshDirectory("collect");
    const std::string named = dir + "\\ras log.txt";
    SetRegString(HKEY_LOCAL_MACHINE, kServiceKey, "LogFileName", named);
    ASSERT_TRUE(WriteFileBytes(DefaultFile(), "-->\t301\tAlice\r\n"));
    HWND page = OpenCallers();
    ASSERT_NE(nullptr, page);
    Click(page, IDC_CALLER_COLLECT);
    ExpectBox(kLogMissing.get(), kCollectCaption.get(), MB_ICONHAND);

    // Without LogFileName the trace service's default log is read, as the service writes it.
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, kServiceKey, "LogFileName");
    const std::string log =
        "00000001 RING: FROM=301 TO=4711\r\n"
        "00000002 ring: from=0301abc to=4711\r\n"
        "00000003 RING: FROM=302 TO=4711\r\n"
        "00000004 RING: FROM=302 TO=4711\r\n"
        "00000005 RING: FROM=30\t5 TO=4711\r\n"
        "00000006 RING: FROM=306\r\n"
        "00000007 CONNECT 4711\r\n"
        "00000008 RING: FROM=307 TO=4711\r\n";
    ASSERT_TRUE(WriteFileBytes(MakerDirectory() + "\\RasLog.TXT", log));
    Click(page, IDC_CALLER_COLLECT);
    ExpectBox(kThreeAdded.get(), kCollectCaption.get(), MB_ICONASTERISK);
    const Lines expected = {"-->\t301\tAlice", "-->\t0301ABC\t", "-->\t302\t", "-->\t307\t"};
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
    Click(page, IDC_CALLER_COLLECT);
    ExpectBox(kNoneAdded.get(), kCollectCaption.get(), MB_ICONEXCLAMATION);
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_CALLER_LIST)));

    // A log that someone holds for himself alone cannot be read.
    ASSERT_TRUE(WriteFileBytes(named, log));
    SetRegString(HKEY_LOCAL_MACHINE, kServiceKey, "LogFileName", named);
    HANDLE held = CreateFileA(named.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Click(page, IDC_CALLER_COLLECT);
    ExpectBox(kLogNotOpened.get(), kCollectCaption.get(), MB_ICONHAND);
    CloseHandle(held);

    Close(page, IDOK);
    EXPECT_EQ(Joined(expected, "\r\n"), ReadFileBytes(DefaultFile()));
    EXPECT_EQ(Joined(expected, "\r\n"), driver_.Block(VRKRAS_BLOCK_CALLERS));
}

TEST_F(RasconfigCallerPageTest, ACallerFileThatCannotBeWrittenKeepsThePageOpenAndSendsNothing) {
    const std::string file = FreshDirectory("callers") + "\\callers.dat";
    SetRegString(HKEY_LOCAL_MACHINE, kDriverKey, "IncomingCallerFile", file);
    ASSERT_TRUE(WriteFileBytes(file, "-->\t1\tOld\r\n"));
    HWND page = OpenCallers();
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(Shown((Lines{"-->\t1\tOld"})), Shown(ListEntries(page, IDC_CALLER_LIST)));
    EXPECT_FALSE(IsChecked(page, IDC_CALLER_CHECK_FLAG0));
    EXPECT_FALSE(IsChecked(page, IDC_CALLER_CHECK_FLAG1));
    Add(page, "2", "New");
    const Lines expected = {"-->\t1\tOld", "-->\t2\tNew"};
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
    SetChecked(page, IDC_CALLER_CHECK_FLAG0, true);

    // Someone holds the file for himself alone meanwhile.
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Click(page, IDOK);
    const MessageBoxSeen box = AnswerMessageBox(IDOK);
    EXPECT_EQ(kNotWritten.get(), box.text);
    EXPECT_EQ("ERROR", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), box.icon);
    EXPECT_TRUE(box.topmost);
    Pump(300);
    EXPECT_TRUE(IsWindowVisible(page)) << "the edits are kept for another try";
    EXPECT_EQ(Shown(expected), Shown(ListEntries(page, IDC_CALLER_LIST)));
    vrkras_state state = State();
    EXPECT_EQ(0u, state.requests[12]);
    EXPECT_EQ(0u, state.requests[14]);
    EXPECT_EQ("(none)", RegBytes(kDriverKey, "IncallFlag"));

    CloseHandle(held);
    EXPECT_EQ("-->\t1\tOld\r\n", ReadFileBytes(file)) << "the file is left as it was";
    Close(page, IDOK);
    EXPECT_EQ(Joined(expected, "\r\n"), ReadFileBytes(file));
    EXPECT_EQ(Joined(expected, "\r\n"), driver_.Block(VRKRAS_BLOCK_CALLERS));
    state = State();
    EXPECT_EQ(1u, state.requests[12]);
    EXPECT_EQ(1u, state.incall_flags);

    // An emptied list empties the file and reaches the driver as one empty line; the flags are sent.
    page = OpenCallers();
    for (int left = 2; left > 0; --left) {
        SelectListEntry(page, IDC_CALLER_LIST, 0);
        Click(page, IDC_CALLER_DELETE);
        for (int n = 0; n < 250 && static_cast<int>(ListEntries(page, IDC_CALLER_LIST).size()) != left - 1; ++n) Pump(20);
    }
    EXPECT_TRUE(ListEntries(page, IDC_CALLER_LIST).empty());
    Close(page, IDOK);
    EXPECT_EQ("", ReadFileBytes(file));
    EXPECT_TRUE(PathExists(file));
    state = State();
    EXPECT_EQ(2u, state.requests[12]);
    EXPECT_EQ(2u, state.requests[14]);
    EXPECT_EQ("\r\n", driver_.Block(VRKRAS_BLOCK_CALLERS));
}

TEST_F(RasconfigListPagesTest, AnMsnEazTableTheDriverRefusesIsShownAndThePageStaysOpen) {
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kDriverKey, "MSNEAZ", REG_MULTI_SZ, Strings({"123"}) + '\0'));
    Refuse({8});
    HWND page = Open(IDC_CENTER_MSNEAZ, IDD_MSNEAZ_PAGE);
    ASSERT_NE(nullptr, page);
    SetControlText(page, IDC_MSNEAZ_NUMBER, "456");
    Click(page, IDC_MSNEAZ_ADD);
    const Lines expected = {"123\t<default>", "456\tHDLC"};
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_MSNEAZ_LIST, expected)));
    ExpectOkRefused(page, kMsnRefused.get(), kMsnCaption);
    EXPECT_EQ(Strings({"123", "456^B_HDLC"}) + '\0', RegBytes(kDriverKey, "MSNEAZ")) << "the table is stored";
    EXPECT_EQ("", driver_.Block(VRKRAS_BLOCK_MSN_EAZ));
    Refuse({});
    Close(page, IDOK);
    EXPECT_EQ(Strings({"123", "456^B_HDLC"}), driver_.Block(VRKRAS_BLOCK_MSN_EAZ));
    EXPECT_EQ(2u, State().requests[8]);
}

TEST_F(RasconfigCallerPageTest, ACallerFileOnAFullDriveStaysAsItWasUntilThereIsRoom) {
    if (!testing_small_drive::Available()) GTEST_SKIP() << "no small drive T: (the harness could not mount one)";
    const std::string file = testing_small_drive::FreshFolder("callers") + "\\caller.dat";
    SetRegString(HKEY_LOCAL_MACHINE, kDriverKey, "IncomingCallerFile", file);
    Lines old;
    for (int i = 0; i < 100; ++i) old.push_back("-->\t" + std::to_string(1000 + i) + "\tCaller " + std::to_string(i));
    ASSERT_TRUE(WriteFileBytes(file, Joined(old, "\r\n")));
    HWND page = OpenCallers();
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(Shown(old), Shown(ListEntries(page, IDC_CALLER_LIST)));
    // The new file needs more room than the old one had.
    Lines expected = old;
    for (int i = 0; i < 10; ++i) {
        Add(page, std::to_string(2000 + i), std::string(230, static_cast<char>('a' + i)));
        expected.push_back("-->\t" + std::to_string(2000 + i) + "\t" + std::string(230, static_cast<char>('a' + i)));
        EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
    }
    ASSERT_GT(Joined(expected, "\r\n").size(), 4096u);
    {
        testing_small_drive::Filler filler;
        ASSERT_TRUE(filler.full());
        ExpectOkRefused(page, kNotWritten.get(), "ERROR");
        EXPECT_EQ(Joined(old, "\r\n"), ReadFileBytes(file)) << "byte for byte as it was";
        EXPECT_FALSE(PathExists(file + ".new"));
        EXPECT_EQ(0u, State().requests[12]);
    }
    Close(page, IDOK);
    EXPECT_EQ(Joined(expected, "\r\n"), ReadFileBytes(file));
    EXPECT_EQ(Joined(expected, "\r\n"), driver_.Block(VRKRAS_BLOCK_CALLERS));
}

// A caller file that is there but cannot be read is not an empty list: the page says so and
// offers nothing to edit, and OK stores only the flags.
TEST_F(RasconfigCallerPageTest, ACallerFileHeldByAnotherProgramIsNeitherShownEmptyNorWrittenOver) {
    const std::string file = FreshDirectory("callers") + "\\caller.dat";
    SetRegString(HKEY_LOCAL_MACHINE, kDriverKey, "IncomingCallerFile", file);
    const std::string old = "-->\t301\tAlice\r\n   \t302\tBob\r\n";
    ASSERT_TRUE(WriteFileBytes(file, old));
    {
        FileHolder holder(file, Sharing::None);
        ASSERT_TRUE(holder.holding());
        Click(center_, IDC_CENTER_INCALLER);
        const MessageBoxSeen box = AnswerMessageBox(IDOK);
        EXPECT_EQ(kNotWritten.get(), box.text);
        EXPECT_EQ("ERROR", box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), box.icon);
        HWND page = WaitForDialog(MachineModule(), IDD_INCALLER_PAGE);
        ASSERT_NE(nullptr, page);
        EXPECT_TRUE(ListEntries(page, IDC_CALLER_LIST).empty());
        for (int id : {IDC_CALLER_LIST, IDC_CALLER_NUMBER, IDC_CALLER_NAME, IDC_CALLER_ADD, IDC_CALLER_DELETE,
                       IDC_CALLER_MARK, IDC_CALLER_UNMARK, IDC_CALLER_COLLECT})
            EXPECT_FALSE(IsControlEnabled(page, id)) << id;
        EXPECT_TRUE(IsControlEnabled(page, IDC_CALLER_CHECK_FLAG0));
        SetChecked(page, IDC_CALLER_CHECK_FLAG0, true);
        Close(page, IDOK);
    }
    EXPECT_EQ(old, ReadFileBytes(file));
    vrkras_state state = State();
    EXPECT_EQ(0u, state.requests[12]) << "the driver keeps its list";
    EXPECT_EQ(1u, state.requests[14]);
    EXPECT_EQ(1u, state.incall_flags);
    EXPECT_EQ(std::string("\1\0\0\0", 4), RegBytes(kDriverKey, "IncallFlag"));

    // A viewer lets the page read the file but keeps it from being replaced.
    HWND page = OpenCallers();
    ASSERT_NE(nullptr, page);
    EXPECT_TRUE(IsControlEnabled(page, IDC_CALLER_ADD));
    Add(page, "303", "Carol");
    const Lines expected = {"-->\t301\tAlice", "   \t302\tBob", "-->\t303\tCarol"};
    EXPECT_EQ(Shown(expected), Shown(WaitForLines(page, IDC_CALLER_LIST, expected)));
    FileHolder viewer(file, Sharing::Read);
    ASSERT_TRUE(viewer.holding());
    ExpectOkRefused(page, kNotWritten.get(), "ERROR");
    viewer.Release();
    EXPECT_EQ(old, ReadFileBytes(file));
    EXPECT_FALSE(PathExists(file + ".new"));
    Close(page, IDOK);
    EXPECT_EQ(Joined(expected, "\r\n"), ReadFileBytes(file));
}

TEST_F(RasconfigCallerPageTest, AListOrFlagsTheDriverRefusesAreShownAndThePageStaysOpen) {
    const std::string file = FreshDirectory("callers") + "\\caller.dat";
    SetRegString(HKEY_LOCAL_MACHINE, kDriverKey, "IncomingCallerFile", file);
    // A line whose number would lose its end is not read as a caller with a shorter number.
    const std::string cutNumber = "-->\t" + std::string(300, '4') + "\tLong";
    ASSERT_TRUE(WriteFileBytes(file, "-->\t301\tAlice\r\n" + cutNumber + "\r\n"));
    HWND page = OpenCallers();
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(Shown((Lines{"-->\t301\tAlice"})), Shown(ListEntries(page, IDC_CALLER_LIST)));
    EXPECT_NE(std::string::npos, ReadFileBytes("c:\\temp\\setup.log")
                                     .find("1 lines longer than 255 characters left out: their numbers would be cut"));
    SetChecked(page, IDC_CALLER_CHECK_FLAG1, true);
    Refuse({12});
    ExpectOkRefused(page, kCallersRefused.get(), "ERROR");
    EXPECT_EQ("-->\t301\tAlice\r\n", ReadFileBytes(file));
    EXPECT_EQ(2u, State().incall_flags) << "the flags went through";
    Refuse({14});
    ExpectOkRefused(page, kCallersRefused.get(), "ERROR");
    EXPECT_EQ("-->\t301\tAlice\r\n", driver_.Block(VRKRAS_BLOCK_CALLERS));
    Refuse({});
    Close(page, IDOK);
    const vrkras_state state = State();
    EXPECT_EQ(3u, state.requests[12]);
    EXPECT_EQ(3u, state.requests[14]);
    EXPECT_EQ(2u, state.incall_flags);
}

}  // namespace
