// monstart.exe starting, naming and tiling the substitute monitors, and closing open ones.
#include "monstart_fixture.h"

#include <algorithm>

using namespace dialog_robot;
using namespace monstart_test;
using namespace testing_journal;
using namespace testing_machine;

namespace {

struct Tile {
    const char* port;
    const char* title;
    LONG x, y, width, height;
};

void ExpectTiles(const std::vector<Monitor>& monitors, const std::vector<Tile>& tiles, bool topmost) {
    ASSERT_EQ(tiles.size(), monitors.size());
    for (size_t i = 0; i < tiles.size(); ++i) {
        const Tile& t = tiles[i];
        const Monitor& m = monitors[i];
        SCOPED_TRACE(std::string("port ") + t.port);
        EXPECT_EQ(t.port, m.port);
        EXPECT_EQ(t.title, m.title);
        EXPECT_EQ(t.x, m.rect.left);
        EXPECT_EQ(t.y, m.rect.top);
        EXPECT_EQ(t.width, m.rect.right - m.rect.left);
        EXPECT_EQ(t.height, m.rect.bottom - m.rect.top);
        EXPECT_EQ(topmost, m.topmost);
    }
}

// The index of the first journal line of process pid with this what, or -1.
int IndexOf(const std::vector<JournalEntry>& journal, DWORD pid, const std::string& what) {
    for (size_t i = 0; i < journal.size(); ++i)
        if (journal[i].pid == pid && journal[i].what == what) return static_cast<int>(i);
    return -1;
}

TEST_F(MonstartTest, WithoutArgumentsTwoMonitorsAreStartedOneAfterTheOtherAndStackedInOneColumn) {
    const ProgramResult run = RunMonstart("");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(1u, run.exitCode);
    const std::vector<Monitor> monitors = WaitForMonitors(2);
    ExpectTiles(monitors, {{"0", "RAS-Monitor 1", 1, 1, 24, 34}, {"1", "RAS-Monitor 2", 1, 35, 24, 34}}, false);
    EXPECT_EQ("1", PortValue());

    // Each monitor had its port and its menu command before the next one started.
    const std::vector<JournalEntry> journal = JournalOf("rasmon.exe");
    ASSERT_EQ(2u, monitors.size());
    const int first = IndexOf(journal, monitors[0].pid, "WM_COMMAND");
    ASSERT_GE(first, 0);
    EXPECT_EQ("2", journal[first].detail);
    EXPECT_LT(first, IndexOf(journal, monitors[1].pid, "started"));
    EXPECT_EQ(2u, MonitorEvents("WM_COMMAND").size());
}

TEST_F(MonstartTest, FiveMonitorsFillTwoColumnsOnTopAndAMonitorWithoutMenuGetsNoCommand) {
    SetMonitorTitle("", "REMOTE ACCESS MONITOR");
    SetMonitorMenu("", false);
    EXPECT_EQ(1u, RunMonstart("-c5 -s2 -x100 -y50 -f").exitCode);
    ExpectTiles(WaitForMonitors(5),
                {{"0", "Remote Access Monitor 1", 1, 1, 100, 50},
                 {"1", "Remote Access Monitor 2", 1, 51, 100, 50},
                 {"2", "Remote Access Monitor 3", 1, 101, 100, 50},
                 {"3", "Remote Access Monitor 4", 101, 1, 100, 50},
                 {"4", "Remote Access Monitor 5", 101, 51, 100, 50}},
                true);
    EXPECT_TRUE(MonitorEvents("WM_COMMAND").empty());
    EXPECT_EQ("4", PortValue());
}

TEST_F(MonstartTest, GridIsClampedToTheScreenAndOnlyTheFirstOfJoinedFlagsCounts) {
    // -fk: the k is skipped with the character after f; the grid's left edge moves in from the right.
    EXPECT_EQ(1u, RunMonstart("-c 2 -s 2 -x 500 -y 5 -l 900 -u 5000 -fk").exitCode);
    ExpectTiles(WaitForMonitors(2), {{"0", "RAS-Monitor 1", 24, 1, 500, 12}, {"1", "RAS-Monitor 2", 524, 1, 500, 12}},
                true);
    EXPECT_EQ(1u, RunMonstart("-c1 -fk").exitCode);
    EXPECT_EQ(3u, WaitForMonitors(3).size()) << "-k would have closed the two monitors of the first run";
}

TEST_F(MonstartTest, AMonitorTooSlowForItsTurnIsNeitherRenamedNorPlacedAsALaterOne) {
    // Monitor 0's window comes while monstart waits for monitor 1, whose window comes after its
    // own wait; monitor 2 is slow but within its wait.
    SetMonitorDelay("0", 1300);
    SetMonitorDelay("1", 3000);
    SetMonitorDelay("2", 250);
    EXPECT_EQ(1u, RunMonstart("-c3").exitCode);
    const std::vector<Monitor> monitors = WaitForMonitors(3);
    ASSERT_EQ(3u, monitors.size());
    for (int i : {0, 1}) {
        SCOPED_TRACE(monitors[i].port);
        EXPECT_EQ("RAS-MONITOR", monitors[i].title);
        EXPECT_EQ(300, monitors[i].rect.left);
        EXPECT_EQ(240, monitors[i].rect.right - monitors[i].rect.left);
    }
    ExpectTiles({monitors[2]}, {{"2", "RAS-Monitor 3", 1, 69, 24, 34}}, false);
    const std::vector<JournalEntry> commands = MonitorEvents("WM_COMMAND");
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(monitors[2].pid, commands[0].pid);
}

TEST_F(MonstartTest, AMonitorThatCannotStartOrShowsNoWindowIsSkippedAndTheNextKeepsItsOwnTile) {
    // Without the monitor program every start fails; the port of each attempt is written all the
    // same, its key made anew.
    const std::string program = Expand("%SystemRoot%\\SYSTEM32\\rasmon.exe");
    const std::string away = program + ".away";
    DeleteRegKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\RAS Monitor");
    ASSERT_TRUE(MoveFileA(program.c_str(), away.c_str()));
    const ProgramResult missing = RunMonstart("-c3");
    ASSERT_TRUE(MoveFileA(away.c_str(), program.c_str()));
    ASSERT_TRUE(missing.started);
    EXPECT_EQ(1u, missing.exitCode);
    EXPECT_EQ("2", PortValue());
    EXPECT_TRUE(MonitorEvents("started").empty());

    // Monitor 0 opens no window: monitor 1 is still number 2 in the second tile.
    SetMonitorTitle("0", "");
    EXPECT_EQ(1u, RunMonstart("").exitCode);
    EXPECT_EQ(2u, MonitorEvents("started").size());
    ExpectTiles(WaitForMonitors(1), {{"1", "RAS-Monitor 2", 1, 35, 24, 34}}, false);
}

TEST_F(MonstartTest, KillClosesEveryMonitorAlsoRenamedOnesAndLeavesOtherWindows) {
    EXPECT_EQ(1u, RunMonstart("").exitCode);
    ASSERT_EQ(2u, WaitForMonitors(2).size());
    const std::string window = "C:\\testbed\\titledwindow.exe close ";
    const DWORD oldOne = StartDetached(window + "remote access monitor (old)");
    const DWORD mixedCase = StartDetached(window + "Ras-Monitor");
    const DWORD other = StartDetached(window + "Remote Access Admin");
    ASSERT_TRUE(oldOne && mixedCase && other);
    ASSERT_NE(nullptr, WaitForWindow("Remote Access Admin"));
    ASSERT_NE(nullptr, WaitForWindow("Ras-Monitor"));
    ASSERT_NE(nullptr, WaitForWindow("remote access monitor (old)"));

    EXPECT_EQ(1u, RunMonstart("-k -n").exitCode);
    EXPECT_TRUE(WaitForProcessEnd(oldOne));
    EXPECT_TRUE(WaitForProcessEnd(mixedCase));
    for (const JournalEntry& e : MonitorEvents("started")) EXPECT_TRUE(WaitForProcessEnd(e.pid));
    EXPECT_TRUE(Monitors().empty());
    std::vector<std::string> monitorsClosed;
    for (const JournalEntry& e : MonitorEvents("WM_CLOSE")) monitorsClosed.push_back(e.detail);
    std::sort(monitorsClosed.begin(), monitorsClosed.end());
    EXPECT_EQ((std::vector<std::string>{"RAS-Monitor 1", "RAS-Monitor 2"}), monitorsClosed);
    EXPECT_EQ(2u, MonitorEvents("started").size()) << "-n starts nothing";
    std::vector<std::string> closed;
    for (const JournalEntry& e : JournalOf("window"))
        if (e.what == "WM_CLOSE") closed.push_back(e.detail);
    std::sort(closed.begin(), closed.end());
    EXPECT_EQ((std::vector<std::string>{"Ras-Monitor", "remote access monitor (old)"}), closed);
    EXPECT_NE(nullptr, FindWindowByCaption("Remote Access Admin"));

    // -k alone closes first and then starts; the new monitor is not among those closed.
    EXPECT_EQ(1u, RunMonstart("-c1 -k").exitCode);
    ExpectTiles(WaitForMonitors(1), {{"0", "RAS-Monitor 1", 1, 1, 24, 34}}, false);
    EXPECT_EQ(2u, MonitorEvents("WM_CLOSE").size());
    PostMessageA(FindWindowByCaption("Remote Access Admin"), WM_CLOSE, 0, 0);
}

TEST_F(MonstartTest, NoCountOrANegativeOneStartsNothingAndLeavesThePortAlone) {
    for (const char* arguments : {"-c0", "-c -3", "-c"}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(1u, RunMonstart(arguments).exitCode);
    }
    EXPECT_TRUE(MonitorEvents("started").empty());
    EXPECT_EQ("", PortValue());
}

}  // namespace
