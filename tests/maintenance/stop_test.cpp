// Stopping services and closing windows through the setup engine's stand-in, with the substitute
// service under the router's service names and windows of chosen titles and manners.
#include <string>
#include <vector>

#include "dialog_robot.h"
#include "lang/resource.h"
#include "stop_support.h"

using namespace maintenance_testing;
using namespace testing_machine;

namespace {

const char kNoteCaption[] = "Varnek ISDN - please wait";

// Titles read the way the window manager keeps them, without a message to the window: the note's
// thread is busy stopping services, and a hung window answers nothing at all.
std::string TitleOf(HWND window) {
    char title[512] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
}

struct TitleSearch {
    const std::string* title;
    HWND found;
    int count;
};

TitleSearch SearchTopLevel(const std::string& title) {
    TitleSearch search = {&title, nullptr, 0};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            TitleSearch* s = reinterpret_cast<TitleSearch*>(context);
            if (!IsWindowVisible(window) || TitleOf(window) != *s->title) return TRUE;
            if (!s->found) s->found = window;
            ++s->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search;
}

HWND TopLevel(const std::string& title) { return SearchTopLevel(title).found; }

HWND WaitTopLevel(const std::string& title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = TopLevel(title)) return found;
        if (GetTickCount() - start > timeoutMs) break;
        Sleep(20);
    }
    ADD_FAILURE() << "no window titled \"" << title << "\" within " << timeoutMs << " ms";
    return nullptr;
}

class StopTest : public MaintenanceTest {
protected:
    void SetUp() override {
        MaintenanceTest::SetUp();
        for (const char* name : {"VrkMprSV", "VrklogSV", "SNMP"}) EndService(name);
        testing_journal::ClearJournal();
    }

    // Waits for this program's own window: others of the same title may be up already.
    void StartWindow(const std::string& answer, const std::string& title) {
        const int before = SearchTopLevel(title).count;
        windows_.emplace_back(new RunningProgram("C:\\testbed\\titledwindow.exe " + answer + " " + title));
        const DWORD start = GetTickCount();
        while (SearchTopLevel(title).count <= before) {
            ASSERT_LT(GetTickCount() - start, 20000u) << "no further window titled \"" << title << "\"";
            Sleep(20);
        }
    }

    static std::vector<std::string> EventsOf(const std::string& who) {
        std::vector<std::string> events;
        for (const testing_journal::JournalEntry& e : testing_journal::JournalOf(who))
            events.push_back(e.what + (e.detail.empty() ? "" : " " + e.detail));
        return events;
    }

    static std::vector<std::string> ClosedWindows() {
        std::vector<std::string> titles;
        for (const testing_journal::JournalEntry& e : testing_journal::JournalOf("window"))
            if (e.what == "WM_CLOSE") titles.push_back(e.detail);
        return titles;
    }

    // Runs the export on a thread of its own and reads the information window while it is open.
    std::string NoteTextDuring(const std::string& exportAndArguments, ProgramResult* result) {
        dialog_robot::BackgroundCall call([&] {
            *result = CallExport(exportAndArguments, 120000);
            return static_cast<INT_PTR>(0);
        });
        HWND note = WaitTopLevel(kNoteCaption, 20000);
        // The note is made with the template's text and given its own right after.
        std::string text;
        for (const DWORD start = GetTickCount(); note && GetTickCount() - start < 5000; Sleep(10)) {
            text = TitleOf(GetDlgItem(note, IDC_NOTE_TEXT));
            if (text != "Please wait...") break;
        }
        EXPECT_TRUE(call.Wait(120000));
        return text;
    }

    std::vector<std::unique_ptr<RunningProgram>> windows_;
};

TEST_F(StopTest, RouterServicesStopInTheirOrderAndEachPollIsLogged) {
    InstallStopService("VrkMprSV", "prompt");
    InstallStopService("VrklogSV", "late 2500");
    InstallStopService("SNMP", "prompt");
    testing_journal::ClearJournal();
    ProgramResult r;
    const DWORD start = GetTickCount();
    const std::string note = NoteTextDuring("VrkMprStopProcesses 0", &r);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(Answer("VrkMprStopProcesses", true, "OK"), r.out);
    EXPECT_EQ("The router services and the SNMP service are being stopped. Please wait...", note);
    EXPECT_EQ((std::vector<std::string>{"VrkMprSV control 1", "VrkMprSV stopped", "VrklogSV control 1",
                                        "VrklogSV stopped", "SNMP control 1", "SNMP stopped"}),
              JournalEvents());
    // The late one is polled once a second until it has stopped.
    const std::vector<std::string> folded = FoldedWorkerMessages();
    ASSERT_EQ(9u, folded.size()) << ::testing::PrintToString(folded);
    EXPECT_EQ("VrkMprSV openservice ok", folded[0]);
    EXPECT_EQ(0u, folded[1].rfind("VrkMprSV queryservicestatus ok x", 0));
    EXPECT_EQ("VrkMprSV stopservice ok", folded[2]);
    EXPECT_EQ("VrklogSV openservice ok", folded[3]);
    const int polls = std::stoi(folded[4].substr(folded[4].rfind('x') + 1));
    EXPECT_GE(polls, 3) << folded[4];
    EXPECT_LE(polls, 5) << folded[4];
    EXPECT_EQ("VrklogSV stopservice ok", folded[5]);
    EXPECT_EQ("SNMP openservice ok", folded[6]);
    EXPECT_EQ("SNMP stopservice ok", folded[8]);
    EXPECT_GE(elapsed, 2500u);
    for (const char* name : {"VrkMprSV", "VrklogSV", "SNMP"}) {
        SERVICE_STATUS status = {};
        EXPECT_TRUE(testing_services::QueryNamedService(name, &status));
        EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), status.dwCurrentState) << name;
    }
    const std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkMprStopProcesses ENTER;wnd = 0"));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkMprStopProcesses LEAVE; OK"));
}

TEST_F(StopTest, ServicesThatAreAbsentStoppedOrRefuseAreNoFailure) {
    struct Case {
        const char* title;
        const char* vrkMprSv;  // null: not installed
        bool running;
        std::vector<std::string> messages;
        std::vector<int> levels;
    } cases[] = {
        {"none installed", nullptr, false,
         {"VrkMprSV openservice 1060", "VrklogSV openservice 1060", "SNMP openservice 1060"}, {2, 2, 2}},
        {"installed, not running", "prompt", false,
         {"VrkMprSV openservice ok", "VrkMprSV stopservice error 1062", "VrklogSV openservice 1060",
          "SNMP openservice 1060"},
         {2, 1, 2, 2}},
        {"refusing the stop", "refuse", true,
         {"VrkMprSV openservice ok", "VrkMprSV stopservice error 1052", "VrklogSV openservice 1060",
          "SNMP openservice 1060"},
         {2, 1, 2, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        if (c.vrkMprSv) InstallStopService("VrkMprSV", c.vrkMprSv, c.running);
        DeleteFileA(kLogFile);
        EXPECT_EQ(Answer("VrkMprStopProcesses", true, "OK"), CallExport("VrkMprStopProcesses 0").out);
        EXPECT_EQ(c.messages, WorkerMessages());
        std::vector<int> levels;
        const std::vector<std::string> all = LogMessages(&levels);
        std::vector<int> workerLevels;
        for (const std::string& m : c.messages)
            workerLevels.push_back(levels[std::find(all.begin(), all.end(), m) - all.begin()]);
        EXPECT_EQ(c.levels, workerLevels);
        if (c.vrkMprSv) {
            // A refusal is logged, not forced: the service still runs.
            SERVICE_STATUS status = {};
            EXPECT_TRUE(testing_services::QueryNamedService("VrkMprSV", &status));
            EXPECT_EQ(static_cast<DWORD>(c.running ? SERVICE_RUNNING : SERVICE_STOPPED), status.dwCurrentState);
            EndService("VrkMprSV");
        }
    }
}

TEST_F(StopTest, SnmpClientWindowsAreAllClosedOnceBeforeAnyServiceIsTouched) {
    InstallStopService("VrkMprSV", "prompt");
    StartWindow("close", "SNMP Client Application");
    StartWindow("close", "SNMP Client Application");
    StartWindow("hide", "SNMP Client Application");
    StartWindow("ignore", "SNMP Client Application");
    StartWindow("close", "SNMP Client Application Help");
    testing_journal::ClearJournal();
    const DWORD start = GetTickCount();
    EXPECT_EQ(Answer("VrkMprStopProcesses", true, "OK"), CallExport("VrkMprStopProcesses 0", 60000).out);
    EXPECT_LT(GetTickCount() - start, 20000u);
    const std::vector<std::string> events = JournalEvents();
    const std::vector<std::string> closes(4, "window WM_CLOSE SNMP Client Application");
    ASSERT_GE(events.size(), 5u) << ::testing::PrintToString(events);
    EXPECT_EQ(closes, std::vector<std::string>(events.begin(), events.begin() + 4));
    EXPECT_EQ("VrkMprSV control 1", events[4]);
    EXPECT_EQ(4u, ClosedWindows().size());
    EXPECT_TRUE(TopLevel("SNMP Client Application Help"));
    EXPECT_TRUE(windows_[0]->WaitEnded(5000));
    EXPECT_TRUE(windows_[1]->WaitEnded(5000));
}

TEST_F(StopTest, EventViewersCloseInEitherLanguageWhileOtherWindowsStay) {
    StartWindow("close", "Event Viewer - System Log on \\\\NTSERVER");
    StartWindow("close", "eReIgNiSaNzEiGe - Anwendungsprotokoll");
    StartWindow("close", "Linvora Monitor");
    StartWindow("close", "Event log notes - Notepad");
    testing_journal::ClearJournal();
    ProgramResult r;
    const DWORD start = GetTickCount();
    const std::string note = NoteTextDuring("VrkRasStopProcesses 0", &r);
    EXPECT_GE(GetTickCount() - start, 1000u);
    EXPECT_EQ(Answer("VrkRasStopProcesses", true, "OK"), r.out);
    EXPECT_EQ("The event viewer windows are being closed. Please wait...", note);
    std::vector<std::string> closed = ClosedWindows();
    std::sort(closed.begin(), closed.end());
    EXPECT_EQ((std::vector<std::string>{"Event Viewer - System Log on \\\\NTSERVER",
                                        "eReIgNiSaNzEiGe - Anwendungsprotokoll"}),
              closed);
    EXPECT_TRUE(TopLevel("Linvora Monitor"));
    EXPECT_TRUE(TopLevel("Event log notes - Notepad"));
    EXPECT_FALSE(TopLevel(kNoteCaption));
    const std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkRasStopProcesses ENTER; wnd=0"));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkRasStopProcesses LEAVE;OK"));
}

TEST_F(StopTest, GatewayClosesItsProgramsButNotItsSetupThenStopsTheLogService) {
    InstallStopService("VrklogSV", "prompt");
    StartWindow("close", "Linvora Monitor");
    StartWindow("close", "LINVORA for Windows Setup");
    StartWindow("close", "Event Viewer");
    testing_journal::ClearJournal();
    ProgramResult r;
    const std::string note = NoteTextDuring("VrkLVStopProcesses 0", &r);
    EXPECT_EQ(Answer("VrkLVStopProcesses", true, "OK"), r.out);
    EXPECT_EQ("The Linvora windows are being closed and the log service is being stopped. Please wait...", note);
    EXPECT_EQ((std::vector<std::string>{"window WM_CLOSE Linvora Monitor", "VrklogSV control 1", "VrklogSV stopped",
                                        "window WM_CLOSE Event Viewer"}),
              JournalEvents());
    EXPECT_TRUE(TopLevel("LINVORA for Windows Setup"));
    const std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkLVStopProcesses ENTER;wnd= 0"));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkLVStopProcesses LEAVE;OK"));
}

TEST_F(StopTest, AHungWindowIsGivenUpAfterItsTimeAndTheOthersAreStillClosed) {
    StartWindow("hang", "Event Viewer (hung)");
    StartWindow("ignore", "Event Viewer (ignoring)");
    StartWindow("close", "Event Viewer (closing)");
    testing_journal::ClearJournal();
    const DWORD start = GetTickCount();
    EXPECT_EQ(Answer("VrkRasStopProcesses", true, "OK"), CallExport("VrkRasStopProcesses 0", 60000).out);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 15000u);
    std::vector<std::string> closed = ClosedWindows();
    std::sort(closed.begin(), closed.end());
    EXPECT_EQ((std::vector<std::string>{"Event Viewer (closing)", "Event Viewer (ignoring)"}), closed);
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const auto line = std::find(messages.begin(), messages.end(),
                                "Window 'Event Viewer (hung)' did not answer WM_CLOSE within 5000 ms; given up");
    ASSERT_NE(messages.end(), line);
    EXPECT_EQ(1, levels[line - messages.begin()]);
    EXPECT_TRUE(windows_[2]->WaitEnded(5000));
}

// A window of the calling process, with the title of an event viewer.
bool g_ownWindowClosed = false;
LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        g_ownWindowClosed = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(StopTest, TheCallingProcessKeepsItsOwnWindows) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OwnWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OwnEventViewer";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND own = CreateWindowA("OwnEventViewer", "Event Viewer (own)", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_TRUE(own);
    StartWindow("close", "Event Viewer (other)");
    testing_journal::ClearJournal();
    HMODULE dll = LoadLibraryA((MakerDirectory() + "\\VRKSUDLL.DLL").c_str());
    ASSERT_TRUE(dll);
    using SetupProcedure = BOOL(WINAPI*)(DWORD, LPSTR*, LPSTR*);
    auto stop = reinterpret_cast<SetupProcedure>(reinterpret_cast<void*>(GetProcAddress(dll, "VrkRasStopProcesses")));
    ASSERT_TRUE(stop);
    char window[] = "0";
    LPSTR argv[] = {window, nullptr};
    LPSTR result = nullptr;
    EXPECT_TRUE(stop(1, argv, &result));
    EXPECT_STREQ("OK", result);
    FreeLibrary(dll);
    dialog_robot::Pump(200);
    EXPECT_FALSE(g_ownWindowClosed);
    EXPECT_TRUE(IsWindow(own));
    EXPECT_EQ((std::vector<std::string>{"Event Viewer (other)"}), ClosedWindows());
    DestroyWindow(own);
}

}  // namespace
