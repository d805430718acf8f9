// The configuration center and its tracing and logging pages, opened through the setup engine's
// stand-in and driven like a person would, on an English or a German machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "center_robot.h"
#include "trace_service.h"
#include "vrkras_driver.h"
#include "winhelp_observer.h"

using namespace center_test;
using namespace dialog_robot;
using namespace testing_machine;

namespace {

const char* const kParameters = testing_trace_service::kParameters;
const char* const kDriverKey = testing_vrkras::kDriverParameters;
const char kHostOk[] = "CallRasConfigCenter returned TRUE; result OK\r\n";

// What a test needs to know of one page; the texts are the system's own.
struct Page {
    const char* prefix;  // of the registry values: "Trace" or "Log"
    int button;
    WORD templateId;
    int nameEdit, backupsEdit, sizeEdit, storeButton, applyNowButton, viewButton, firstSpecialBox;
    DWORD help;
    const char* errorCaption;
    const char* infoCaption;
    const char* questionCaption;
    Text badName, badBackups, largeBackups, badSize, largeSize, smallSize, applyNow, missingFile, viewFailed;
    std::string value(const char* name) const { return prefix + std::string(name); }
};

const Page kTracing = {
    "Trace", IDC_CENTER_TRACING, IDD_TRACING_PAGE, IDC_TRACE_FILE_NAME, IDC_TRACE_BACKUPS, IDC_TRACE_SIZE,
    IDC_TRACE_STORE_LEVEL, IDC_TRACE_APPLY_NOW, IDC_TRACE_VIEW, IDC_LEVEL_BIT7, IDH_TRACING_PAGE,
    "Error Varnek ISDN DIALCORE tracing", "Varnek ISDN DIALCORE tracing", "Varnek ISDN DIALCORE Tracing",
    {"The 'tracefile name' cannot be used.", "Der Eingabewert im Feld 'TraceFile Name' kann nicht verwendet werden."},
    {"You have enter a bad 'Tracefile backups'.", "Im Eingabefeld 'TraceFile Backups' steht ein unzulässiger Eingabewert."},
    {"You have enter a to large 'Tracefile backups'. Will reset the value to maximal value.",
     "Im Eingabefeld 'TraceFile Backups' wurde ein zu großer Wert eingegeben. Er wird auf den maximalen Wert zurückgesetzt."},
    {"You have enter a bad 'tracefilesize'.", "Im Eingabefeld 'TraceFilesize' steht ein unzulässiger Eingabewert."},
    {"You have enter a to large 'tracefilesize'. Will reset the value to maximal value.",
     "Im Eingabefeld 'TraceFilesize' wurde ein zu großer Wert eingegeben. Er wird auf den maximalen Wert zurückgesetzt."},
    {"You have enter a to small 'Tracefilesize'. Will set the value to minimal value.",
     "Im Eingabefeld 'TraceFilesize' wurde ein zu kleiner Wert eingegeben. Er wird auf den minimalen Wert kgesetzt."},
    {"The new tracing files values are setting now.", "Die angegebenen Werte für die Tracing Dateien werden jetzt neu gesetzt."},
    {"The tracefile is'nt exist. Can't show this file now.",
     "Das Tracefile ist noch nicht vorhanden und kann deshalb nicht angezeigt werden!"},
    {nullptr, nullptr},
};

const Page kLogging = {
    "Log", IDC_CENTER_LOGGING, IDD_LOGGING_PAGE, IDC_LOG_FILE_NAME, IDC_LOG_BACKUPS, IDC_LOG_SIZE,
    IDC_LOG_STORE_LEVEL, IDC_LOG_APPLY_NOW, IDC_LOG_VIEW, IDC_LEVEL_BIT6, IDH_LOGGING_PAGE,
    "Error Varnek ISDN DIALCORE logging", "Varnek ISDN DIALCORE logging", "Varnek ISDN DIALCORE Logging",
    {"The 'logfile name' cannot be used.", "Der Eingabewert im Feld 'LogFile Name' kann nicht verwendet werden."},
    {"You have enter a bad 'logfile backups'.", "Im Eingabefeld 'LogFile Backups' steht ein unzulässiger Eingabewert."},
    {"You have enter a to large 'logfile backups'. Will reset the value to maximal value.",
     "Im Eingabefeld 'LogFile Backups' wurde ein zu großer Wert eingegeben. Er wird auf den maximalen Wert zurückgesetzt."},
    {"You have enter a bad 'LogFilesize'.", "Im Eingabefeld 'LogFilesize' steht ein unzulässiger Eingabewert."},
    {"You have enter a to large 'LogFilesize'. Will reset the value to maximal value.",
     "Im Eingabefeld 'LogFilesize' wurde ein zu großer Wert eingegeben. Er wird auf den maximalen Wert zurückgesetzt."},
    {"You have enter a to small 'LogFilesize'. Will set the value to minimal value.",
     "Im Eingabefeld 'LogFilesize' wurde ein zu kleiner Wert eingegeben. Er wird auf den minimalen Wert kgesetzt."},
    {"The new logging files values are setting now.", "Die angegebenen Werte für die Logging Dateien werden jetzt neu gesetzt."},
    {"The logfile is not exist. Can't show this file now.",
     "Das Logfile ist noch nicht vorhanden und kann deshalb nicht angezeigt werden!"},
    {"Can't show logfile. Check the logfilename and in the registry the viewer filename",
     "Kann Logfile nicht anzeigen. Überprüfen Sie den Dateinamen des Logfiles sowie den Dateinamen des Viewers in "
     "der Registry"},
};

const Page* const kPages[] = {&kTracing, &kLogging};

bool RegDword(const char* key, const std::string& name, DWORD* value) {
    std::string bytes;
    DWORD type = 0;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes, &type) || type != REG_DWORD || bytes.size() != 4)
        return false;
    *value = *reinterpret_cast<const DWORD*>(bytes.data());
    return true;
}

std::string RegText(const std::string& name) {
    std::string bytes;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, kParameters, name, &bytes)) return "(none)";
    return bytes.c_str();
}

DWORD RegNumber(const char* key, const std::string& name) {
    DWORD value = 0xDEADBEEF;
    RegDword(key, name, &value);
    return value;
}

// Answers the next box with button and checks what it said.
void ExpectBox(const std::string& text, const std::string& caption, UINT icon, int button = IDOK) {
    const MessageBoxSeen box = AnswerMessageBox(button);
    EXPECT_EQ(0u, box.text.find(text)) << box.text;
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(icon, box.icon) << box.text;
}

std::string IconsCommand(const Page& page, const std::string& name) {
    const std::string quoted = name.find(' ') == std::string::npos ? name : "\"" + name + "\"";
    const bool trace = &page == &kTracing;
    return "setup.exe /f /t TraceFilename = " + (trace ? quoted : "\"\"") + " /t LogFilename = " +
           (trace ? "\"\"" : quoted) + " /t !STF_WINDOWSSYSPATH = " + Expand("%SystemRoot%\\SYSTEM32") +
           " /c SetRasTraceIcons /i " + Expand("%SystemRoot%\\SYSTEM32\\VARNEK\\VRKICONS.INF");
}

class RasconfigCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_journal::ClearJournal();
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kParameters);
        ASSERT_NE(nullptr, MachineModule());
    }
};

// Runs first, before the driver is loaded.
TEST_F(RasconfigCenterTest, WithoutTheDriverTheWarningComesFirstAndASecondCallBringsTheOneCenterBack) {
    SetRegDword(HKEY_LOCAL_MACHINE, kDriverKey, "TraceLevel", 0x1A5);
    auto first = StartCenterByHost("xxSpEcIaLyy");
    const MessageBoxSeen warning = WaitForMessageBox();
    ASSERT_NE(nullptr, warning.window);
    EXPECT_EQ(nullptr, FindWindowByCaption(kCenterTitle.get())) << "the center came before the warning";
    EXPECT_EQ(LoadText(IDS_DRIVER_UNREACHABLE), warning.text);
    EXPECT_EQ(LoadText(IDS_DRIVER_UNREACHABLE_CAPTION), warning.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONASTERISK), warning.icon);
    Click(warning.window, IDOK);
    HWND center = WaitForCenter();
    ASSERT_NE(nullptr, center);
    EXPECT_EQ(kCenterTitle.get(), WindowText(center));

    winhelp_observer::WinHelpObserver help;
    ASSERT_TRUE(help.ready());
    Click(center, IDHELP);
    ASSERT_TRUE(help.WaitForCalls(1));
    EXPECT_EQ(static_cast<ULONG_PTR>(IDH_CONFIG_CENTER), help.Calls()[0].data);
    EXPECT_NE(std::string::npos, help.Calls()[0].file.find(kGermanMachine ? "setupGER.hlp" : "setupENG.hlp"));

    // Without the driver the page shows the registry copy's low byte; special mode shows bit 7.
    HWND page = OpenPage(center, IDC_CENTER_TRACING, IDD_TRACING_PAGE);
    for (int bit = 0; bit < 8; ++bit) EXPECT_EQ(((0xA5 >> bit) & 1) != 0, IsChecked(page, IDC_LEVEL_BIT0 + bit)) << bit;
    EXPECT_TRUE(IsControlVisible(page, IDC_LEVEL_BIT7));
    Click(page, IDCANCEL);
    WaitUntilGone(page);

    ShowWindow(center, SW_MINIMIZE);
    auto second = StartCenterByHost("");
    ASSERT_TRUE(second->Ended());
    EXPECT_EQ(kHostOk, second->result.out);
    for (int i = 0; i < 100 && IsIconic(center); ++i) Pump(50);
    EXPECT_FALSE(IsIconic(center)) << "the open center was not restored";
    int centers = 0;
    EnumWindows([](HWND w, LPARAM n) {
        char title[128] = "";
        GetWindowTextA(w, title, sizeof title);
        if (kCenterTitle.get() == title) ++*reinterpret_cast<int*>(n);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&centers));
    EXPECT_EQ(1, centers);

    CloseCenter(center, first.get());
    EXPECT_EQ(kHostOk, first->result.out);
    const std::string log = ReadFileBytes("c:\\temp\\setup.log");
    EXPECT_NE(std::string::npos, log.find(": CallRasConfigCenter ENTER\r\n")) << log;
    EXPECT_NE(std::string::npos, log.find(": CallRasConfigCenter LEAVE\r\n")) << log;
}

class RasconfigPagesTest : public RasconfigCenterTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(testing_vrkras::InstallDriver(1));
        ASSERT_TRUE(testing_vrkras::StartDriver());
    }
    void SetUp() override {
        RasconfigCenterTest::SetUp();
        WaitUntilNoCenterHoldsTheDriver(driver_);
        ASSERT_TRUE(driver_.Reset());
        host_ = StartCenterByHost("");
        center_ = WaitForCenter();
        if (!center_) {
            const MessageBoxSeen box = AnswerMessageBox(IDOK, 1000);
            FAIL() << "the center did not open although the driver runs; box seen: \"" << box.text << "\"";
        }
    }
    void TearDown() override {
        if (center_) CloseCenter(center_, host_.get());
    }

    HWND Open(const Page& page) { return OpenPage(center_, page.button, page.templateId); }
    DWORD DriverLevel(const Page& page) {
        vrkras_state state = {};
        EXPECT_TRUE(driver_.State(&state));
        return &page == &kTracing ? state.trace_level : state.log_level;
    }

    testing_vrkras::DriverControl driver_;
    std::unique_ptr<Started> host_;
    HWND center_ = nullptr;
};

TEST_F(RasconfigPagesTest, LevelBoxesReachTheDriverAtOnceAndTheRegistryOnlyWhenStored) {
    const std::string stored[] = {"%SystemRoot%\\SYSTEM32\\VARNEK\\RasTrc.TXT", "%SystemRoot%\\SYSTEM32\\VARNEK\\RasLog.TXT"};
    for (int i = 0; i < 2; ++i) {
        const Page& p = *kPages[i];
        SCOPED_TRACE(p.prefix);
        ASSERT_TRUE(driver_.PresetLevels(0x21, 0x42));
        SetRegDword(HKEY_LOCAL_MACHINE, kDriverKey, p.value("Level"), 0x0F);
        SetRegString(HKEY_LOCAL_MACHINE, kParameters, p.value("FileName"), stored[i]);
        const DWORD level = i == 0 ? 0x21 : 0x42;

        HWND page = Open(p);
        for (int bit = 0; bit < 8; ++bit) EXPECT_EQ(((level >> bit) & 1) != 0, IsChecked(page, IDC_LEVEL_BIT0 + bit));
        for (int id = p.firstSpecialBox; id <= IDC_LEVEL_BIT7; ++id) EXPECT_FALSE(IsControlVisible(page, id)) << id;
        // The logging page shows the name as stored, the tracing page expanded.
        EXPECT_EQ(i == 0 ? Expand(stored[i]) : stored[i], ControlText(page, p.nameEdit));
        SetChecked(page, IDC_LEVEL_BIT0 + 3, true);
        for (int n = 0; n < 100 && DriverLevel(p) != (level | 8); ++n) Pump(20);
        EXPECT_EQ(level | 8, DriverLevel(p));
        Click(page, IDCANCEL);
        WaitUntilGone(page);
        EXPECT_EQ(0x0Fu, RegNumber(kDriverKey, p.value("Level")));

        page = Open(p);
        EXPECT_TRUE(IsChecked(page, IDC_LEVEL_BIT0 + 3)) << "the page shows the driver's level";
        Click(page, p.storeButton);
        for (int n = 0; n < 100 && RegNumber(kDriverKey, p.value("Level")) != (level | 8); ++n) Pump(20);
        EXPECT_EQ(level | 8, RegNumber(kDriverKey, p.value("Level")));
        // OK without a change keeps the stored name with its reference, and starts nothing.
        Click(page, IDOK);
        WaitUntilGone(page);
        EXPECT_EQ(stored[i], RegText(p.value("FileName")));
        EXPECT_EQ(3u, RegNumber(kParameters, p.value("FileCount")));
        EXPECT_EQ(320u, RegNumber(kParameters, p.value("FileSize")));
    }
    Pump(500);
    EXPECT_TRUE(StartedLines("setup.exe", 0, 0).empty());
}

TEST_F(RasconfigPagesTest, NumberRulesAtTheirEdges) {
    enum Box { kNone, kBad, kLarge, kSmall };
    const struct {
        bool size;
        const char* typed;
        Box box;
        DWORD stored;    // the value written; for a refused size, the backups typed before it
        bool ownMaxima;  // FilemaxCount 20 and FilemaxSize 4096 in the registry
    } cases[] = {
        {false, "0x5", kNone, 5, false}, {false, "12", kLarge, 9, false}, {false, "-1", kLarge, 9, false},
        {false, "", kNone, 0, false},    {false, "3a", kBad, 0, false},   {true, "", kSmall, 1, false},
        {true, "2000", kLarge, 1024, false}, {true, "x1", kBad, 4, false}, {false, "12", kNone, 12, true},
        {true, "2000", kNone, 2000, true},
    };
    for (const Page* pp : kPages) {
        const Page& p = *pp;
        HWND page = nullptr;
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(p.prefix) + (c.size ? " size \"" : " backups \"") + c.typed + "\"");
            DeleteRegValueOf(HKEY_LOCAL_MACHINE, kParameters, p.value("FileCount"));
            DeleteRegValueOf(HKEY_LOCAL_MACHINE, kParameters, p.value("FileSize"));
            if (c.ownMaxima) {
                SetRegDword(HKEY_LOCAL_MACHINE, kParameters, p.value("FilemaxCount"), 20);
                SetRegDword(HKEY_LOCAL_MACHINE, kParameters, p.value("FilemaxSize"), 4096);
            }
            if (!page) page = Open(p);
            SetControlText(page, p.backupsEdit, c.size ? "4" : c.typed);
            SetControlText(page, p.sizeEdit, c.size ? c.typed : "320");
            Click(page, IDOK);
            const Text& bad = c.size ? p.badSize : p.badBackups;
            const Text& large = c.size ? p.largeSize : p.largeBackups;
            if (c.box == kBad) ExpectBox(bad.get(), p.errorCaption, MB_ICONHAND);
            if (c.box == kLarge) ExpectBox(large.get(), p.infoCaption, MB_ICONASTERISK);
            if (c.box == kSmall) ExpectBox(p.smallSize.get(), p.infoCaption, MB_ICONASTERISK);
            if (c.box == kBad) {
                Pump(200);
                EXPECT_TRUE(IsWindowVisible(page)) << "a refused value keeps the page open";
                EXPECT_EQ(c.size ? c.stored : 0xDEADBEEF, RegNumber(kParameters, p.value("FileCount")));
                EXPECT_EQ(0xDEADBEEFu, RegNumber(kParameters, p.value("FileSize")));
                continue;
            }
            WaitUntilGone(page);
            page = nullptr;
            EXPECT_EQ(c.stored, RegNumber(kParameters, p.value(c.size ? "FileSize" : "FileCount")));
        }
        if (page) {
            Click(page, IDCANCEL);
            WaitUntilGone(page);
        }
    }
}

TEST_F(RasconfigPagesTest, AChangedNameStartsSetupWithOneArgumentPerNameAndABadNameIsRefused) {
    std::string tooLong;
    while (tooLong.size() < 240) tooLong += "%CommonProgramFiles%";
    ASSERT_GT(Expand(tooLong).size(), 255u);
    const char* const refused[] = {"", "   ", "C:\\temp\\a\"b.txt", "C:\\temp\\dir\\", tooLong.c_str()};
    size_t started = 0;
    for (const Page* pp : kPages) {
        const Page& p = *pp;
        SCOPED_TRACE(p.prefix);
        const std::string name = std::string("C:\\temp\\New ") + p.prefix + " file.txt";
        HWND page = Open(p);
        SetControlText(page, p.nameEdit, name);
        Click(page, IDOK);
        WaitUntilGone(page);
        EXPECT_EQ(name, RegText(p.value("FileName")));
        std::vector<std::string> lines = StartedLines("setup.exe", ++started);
        ASSERT_EQ(started, lines.size());
        EXPECT_EQ(IconsCommand(p, name), lines.back());
        EXPECT_TRUE(ProcessLeftNoHandle(testing_journal::JournalOf("setup.exe").back().pid));

        page = Open(p);
        SetControlText(page, p.nameEdit, "c:\\TEMP\\new " + std::string(p.prefix) + " FILE.TXT");
        Click(page, IDOK);
        WaitUntilGone(page);
        EXPECT_EQ(name, RegText(p.value("FileName"))) << "another letter case is the same name";

        page = Open(p);
        for (const char* bad : refused) {
            SetControlText(page, p.nameEdit, bad);
            Click(page, IDOK);
            ExpectBox(p.badName.get(), p.errorCaption, MB_ICONHAND);
        }
        EXPECT_EQ(name, RegText(p.value("FileName")));
        SetControlText(page, p.nameEdit, "%SystemRoot%\\x.txt");
        Click(page, IDOK);
        WaitUntilGone(page);
        lines = StartedLines("setup.exe", ++started);
        ASSERT_EQ(started, lines.size()) << "only the two changes started the setup program";
        EXPECT_EQ(IconsCommand(p, Expand("%SystemRoot%\\x.txt")), lines.back());
    }
}

TEST_F(RasconfigPagesTest, ApplyNowAsksFirstAndShowsTheStoredValuesAgain) {
    for (const Page* pp : kPages) {
        const Page& p = *pp;
        SCOPED_TRACE(p.prefix);
        HWND page = Open(p);
        SetControlText(page, p.backupsEdit, "12");
        Click(page, p.applyNowButton);
        const MessageBoxSeen question = AnswerMessageBox(IDCANCEL);
        EXPECT_EQ(p.applyNow.get(), question.text);
        EXPECT_EQ(p.questionCaption, question.caption);
        EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL), question.buttons);
        EXPECT_EQ(static_cast<UINT>(MB_ICONASTERISK), question.icon);
        Pump(200);
        EXPECT_EQ("3", ControlText(page, p.backupsEdit));
        EXPECT_EQ(0xDEADBEEFu, RegNumber(kParameters, p.value("FileCount")));

        SetControlText(page, p.backupsEdit, "12");
        Click(page, p.applyNowButton);
        AnswerMessageBox(IDOK);
        ExpectBox(p.largeBackups.get(), p.infoCaption, MB_ICONASTERISK);
        for (int n = 0; n < 50 && ControlText(page, p.backupsEdit) != "9"; ++n) Pump(20);
        EXPECT_EQ("9", ControlText(page, p.backupsEdit));
        EXPECT_EQ(9u, RegNumber(kParameters, p.value("FileCount")));
        EXPECT_TRUE(IsWindowVisible(page));
        Click(page, IDCANCEL);
        WaitUntilGone(page);
    }
}

TEST_F(RasconfigPagesTest, ViewStartsTheViewerNamedAsTheProgramAndTellsWhatWentWrong) {
    const std::string dir = FreshDirectory("view dir");
    // A program in the place that an unquoted "C:\Program Files\..." would start.
    ASSERT_TRUE(CopyFileA(Expand("%SystemRoot%\\system32\\setup.exe").c_str(), "C:\\Program.exe", FALSE));
    CreateDirectoryA("C:\\Program Files\\Text View", nullptr);
    const std::string blankViewer = "C:\\Program Files\\Text View\\textview.exe";
    ASSERT_TRUE(CopyFileA(Expand("%SystemRoot%\\system32\\textview.exe").c_str(), blankViewer.c_str(), FALSE));
    size_t views = 0;
    for (const Page* pp : kPages) {
        const Page& p = *pp;
        SCOPED_TRACE(p.prefix);
        const std::string file = dir + "\\" + p.prefix + " file.txt";
        SetRegString(HKEY_LOCAL_MACHINE, kParameters, p.value("FileName"), file);
        SetRegString(HKEY_LOCAL_MACHINE, kParameters, p.value("FileViewer"), "%SystemRoot%\\system32\\textview.exe");
        HWND page = Open(p);
        winhelp_observer::WinHelpObserver help;
        Click(page, IDHELP);
        ASSERT_TRUE(help.WaitForCalls(1));
        EXPECT_EQ(static_cast<ULONG_PTR>(p.help), help.Calls()[0].data);

        Click(page, p.viewButton);
        ExpectBox(p.missingFile.get(), p.infoCaption, MB_ICONASTERISK);

        ASSERT_TRUE(WriteFileBytes(file, "text\r\n"));
        Click(page, p.viewButton);
        std::vector<std::string> lines = StartedLines("textview.exe", ++views);
        ASSERT_EQ(views, lines.size());
        EXPECT_EQ(Expand("%SystemRoot%\\system32\\textview.exe") + " \"" + file + "\"", lines.back());
        EXPECT_TRUE(ProcessLeftNoHandle(testing_journal::JournalOf("textview.exe").back().pid));

        SetRegString(HKEY_LOCAL_MACHINE, kParameters, p.value("FileViewer"), blankViewer);
        Click(page, p.viewButton);
        lines = StartedLines("textview.exe", ++views);
        ASSERT_EQ(views, lines.size());
        EXPECT_EQ("\"" + blankViewer + "\" \"" + file + "\"", lines.back());

        SetRegString(HKEY_LOCAL_MACHINE, kParameters, p.value("FileViewer"), "C:\\nowhere\\viewer.exe");
        Click(page, p.viewButton);
        if (p.viewFailed.english) {
            const MessageBoxSeen box = AnswerMessageBox(IDOK);
            EXPECT_EQ(p.viewFailed.get(), box.text);
            EXPECT_EQ(p.infoCaption, box.caption);
            EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), box.icon);
            EXPECT_TRUE(box.topmost);
        } else {
            ExpectBox(LoadText(IDS_TRACE_VIEWER_FAILED), LoadText(IDS_MESSAGE_CAPTION), MB_ICONEXCLAMATION);
        }
        Click(page, IDCANCEL);
        WaitUntilGone(page);
    }
    EXPECT_TRUE(StartedLines("setup.exe", 0, 0).empty()) << "C:\\Program.exe was started";
}

// The viewer values administrators have: a program name the system finds, a program with its own
// arguments, a quoted path. Only a value that is a program's full path is named as the program.
TEST_F(RasconfigPagesTest, ViewerNamesArgumentsAndQuotedPathsStartTheViewer) {
    const std::string file = FreshDirectory("view dir") + "\\shown file.txt";
    ASSERT_TRUE(WriteFileBytes(file, "text\r\n"));
    const std::string system = Expand("%SystemRoot%\\system32");
    const struct {
        const char* value;
        std::string started;
    } viewers[] = {
        {"textview.exe", "textview.exe \"" + file + "\""},
        {"textview.exe /p", "textview.exe /p \"" + file + "\""},
        {"\"%SystemRoot%\\system32\\textview.exe\"", "\"" + system + "\\textview.exe\" \"" + file + "\""},
        {"\"%SystemRoot%\\system32\\textview.exe\" /s", "\"" + system + "\\textview.exe\" /s \"" + file + "\""},
    };
    size_t views = 0;
    for (const Page* pp : kPages) {
        const Page& p = *pp;
        SetRegString(HKEY_LOCAL_MACHINE, kParameters, p.value("FileName"), file);
        HWND page = Open(p);
        for (const auto& v : viewers) {
            SCOPED_TRACE(std::string(p.prefix) + " " + v.value);
            SetRegString(HKEY_LOCAL_MACHINE, kParameters, p.value("FileViewer"), v.value);
            Click(page, p.viewButton);
            const std::vector<std::string> lines = StartedLines("textview.exe", ++views);
            ASSERT_EQ(views, lines.size());
            EXPECT_EQ(v.started, lines.back());
        }
        Click(page, IDCANCEL);
        WaitUntilGone(page);
    }
}

// A page limit beyond what the service keeps is taken as that: the service shifts no more than
// 999 backups.
TEST_F(RasconfigPagesTest, ABackupLimitBeyondWhatTheServiceKeepsIsTakenAs999) {
    for (const Page* pp : kPages) {
        const Page& p = *pp;
        SCOPED_TRACE(p.prefix);
        SetRegDword(HKEY_LOCAL_MACHINE, kParameters, p.value("FilemaxCount"), 0xFFFFFFFF);
        HWND page = Open(p);
        SetControlText(page, p.backupsEdit, "5000");
        Click(page, IDOK);
        ExpectBox(p.largeBackups.get(), p.infoCaption, MB_ICONASTERISK);
        WaitUntilGone(page);
        EXPECT_EQ(999u, RegNumber(kParameters, p.value("FileCount")));
        page = Open(p);
        SetControlText(page, p.backupsEdit, "999");
        Click(page, IDOK);
        WaitUntilGone(page);
        EXPECT_EQ(999u, RegNumber(kParameters, p.value("FileCount")));
    }
}

}  // namespace
