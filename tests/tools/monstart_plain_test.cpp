// monstart's plain functions: the command line, the grid on the screen and the monitor titles.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "tools/monstart_command_line.h"
#include "tools/monstart_layout.h"

namespace {

const char kBad[] = "bad paramters in commandline: --> ";

struct Parsed {
    CommandLineOutcome outcome;
    LaunchSettings settings;
    std::string message;
};

Parsed Parse(const char* line, bool german = false) {
    Parsed p;
    char message[kMonstartMessageSize];
    memset(message, 'X', sizeof message);
    p.outcome = ParseMonstartCommandLine(line, german, &p.settings, message, sizeof message);
    p.message = message;
    return p;
}

TEST(ToolsMonstartCommandLine, OptionsSetTheirSettings) {
    const struct {
        const char* line;
        int32_t count, columns, width, height, left, top;
        bool topmost, closeFirst, startNone;
    } cases[] = {
        {"", 2, 1, 18, 34, 1, 1, false, false, false},
        {nullptr, 2, 1, 18, 34, 1, 1, false, false, false},
        {"-c5 -s2 -x100 -y50", 5, 2, 100, 50, 1, 1, false, false, false},
        {"-c 7 -l   -3 -u+4", 7, 1, 18, 34, -3, 4, false, false, false},
        {"-c5-s2", 5, 2, 18, 34, 1, 1, false, false, false},
        {"-c-s2", 0, 2, 18, 34, 1, 1, false, false, false},  // a "-" without a digit is no sign
        {"-x99999999999 -y-99999999999", 2, 1, INT32_MAX, INT32_MIN, 1, 1, false, false, false},
        {"-f -k -n", 2, 1, 18, 34, 1, 1, true, true, true},
        {"-fk", 2, 1, 18, 34, 1, 1, true, false, false},  // the character after f is skipped
        {"-k-n", 2, 1, 18, 34, 1, 1, false, true, false},
        {"-c3 -f", 3, 1, 18, 34, 1, 1, true, false, false},  // a flag last steps onto the end, not past it
        {"-c3 -n ", 3, 1, 18, 34, 1, 1, false, false, true},
        {"- -c4 -x30", 2, 1, 30, 34, 1, 1, false, false, false},  // "- " skips the "-" of -c4
        {"-c3-", 3, 1, 18, 34, 1, 1, false, false, false},  // the position at the last character ends it
        {"-k -", 2, 1, 18, 34, 1, 1, false, true, false},   // skipping behind k lands on the last character
        {"-", 2, 1, 18, 34, 1, 1, false, false, false},
        {"x-c4 trailing words", 4, 1, 18, 34, 1, 1, false, false, false},
        {"-c\t9", 9, 1, 18, 34, 1, 1, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line ? c.line : "(null)");
        const Parsed p = Parse(c.line);
        ASSERT_EQ(CommandLineOutcome::kLaunch, p.outcome) << p.message;
        EXPECT_EQ("", p.message);
        EXPECT_EQ(c.count, p.settings.count);
        EXPECT_EQ(c.columns, p.settings.columns);
        EXPECT_EQ(c.width, p.settings.width);
        EXPECT_EQ(c.height, p.settings.height);
        EXPECT_EQ(c.left, p.settings.left);
        EXPECT_EQ(c.top, p.settings.top);
        EXPECT_EQ(c.topmost, p.settings.topmost);
        EXPECT_EQ(c.closeFirst, p.settings.closeFirst);
        EXPECT_EQ(c.startNone, p.settings.startNone);
    }
}

// The line ends at its NUL: what lies behind it in memory (here a bad option) is never looked at,
// also when the character after a flag or a lone "-" is skipped.
TEST(ToolsMonstartCommandLine, SkippingBehindAFlagOrABlankAtTheEndStopsAtTheEnd) {
    const char flag[] = "-c3 -f\0-z";
    const char blank[] = "-c3 - \0-z";
    const char number[] = "-c\0-z";
    const char lone[] = "-k  -\0-z";
    for (const char* line : {flag, blank, number}) {
        SCOPED_TRACE(line);
        const Parsed p = Parse(line);
        EXPECT_EQ(CommandLineOutcome::kLaunch, p.outcome) << p.message;
    }
    EXPECT_TRUE(Parse(flag).settings.topmost);
    EXPECT_EQ(3, Parse(blank).settings.count);
    const Parsed p = Parse(lone);
    EXPECT_EQ(CommandLineOutcome::kBadParameter, p.outcome);
    EXPECT_EQ(std::string(kBad) + "-", p.message);
}

TEST(ToolsMonstartCommandLine, BadOptionsAndColumnsBelowOneAreRefusedWithTheRestOfTheLine) {
    const struct {
        const char* line;
        bool german;
        const char* message;
    } cases[] = {
        {"-z", false, "bad paramters in commandline: --> -z"},
        {"-z", true, "falscher Parameter:-z"},
        {"-c3 -k -Q rest of it", false, "bad paramters in commandline: --> -Q rest of it"},
        {"-c3 -", false, "bad paramters in commandline: --> -"},
        {"-C3", false, "bad paramters in commandline: --> -C3"},
        {"-s0", false, "bad paramters in commandline: --> -s0"},
        {"-s -1 -c4", true, "falscher Parameter:-s -1 -c4"},
        {"-s", false, "bad paramters in commandline: --> -s"},
        {"-s2 -s0", false, "bad paramters in commandline: --> -s0"},
        {"-s-2147483648", false, "bad paramters in commandline: --> -s-2147483648"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Parsed p = Parse(c.line, c.german);
        EXPECT_EQ(CommandLineOutcome::kBadParameter, p.outcome);
        EXPECT_EQ(c.message, p.message);
    }
}

TEST(ToolsMonstartCommandLine, AQuestionMarkAnywhereAsksForTheUsageAndMessagesStayInTheirBuffer) {
    for (const char* line : {"?", "-c3 /?", "-z ?", "-s0?"}) {
        SCOPED_TRACE(line);
        const Parsed p = Parse(line);
        EXPECT_EQ(CommandLineOutcome::kUsage, p.outcome);
        EXPECT_EQ("", p.message);
    }
    const std::string rest = "-w" + std::string(2000, 'a');
    const Parsed p = Parse(("-c1 " + rest).c_str());
    EXPECT_EQ(CommandLineOutcome::kBadParameter, p.outcome);
    EXPECT_EQ((kBad + rest).substr(0, kMonstartMessageSize - 1), p.message);

    char small[8];
    LaunchSettings settings;
    EXPECT_EQ(CommandLineOutcome::kBadParameter, ParseMonstartCommandLine("-z", false, &settings, small, sizeof small));
    EXPECT_STREQ("bad par", small);
    EXPECT_EQ(CommandLineOutcome::kBadParameter, ParseMonstartCommandLine("-z", false, &settings, nullptr, 0));
}

struct Grid {
    bool laid;
    TileGrid grid;
    std::string message;
};

Grid Plan(const LaunchSettings& s, int32_t w = 1024, int32_t h = 768, bool german = false) {
    Grid g{};
    char message[kGridMessageSize] = "untouched";
    g.laid = PlanTileGrid(s, w, h, german, &g.grid, message, sizeof message);
    g.message = message;
    return g;
}

LaunchSettings Settings(const char* line) {
    LaunchSettings s;
    char message[kMonstartMessageSize];
    EXPECT_EQ(CommandLineOutcome::kLaunch, ParseMonstartCommandLine(line, false, &s, message, sizeof message)) << line;
    return s;
}

TEST(ToolsMonstartGrid, TilesAreClampedAndLaidDownEachColumnFirst) {
    const struct {
        const char* line;
        TileGrid grid;  // left, top, width, height, rows
        TilePosition tiles[5];
    } cases[] = {
        {"", {1, 1, 24, 34, 2}, {{1, 1}, {1, 35}}},
        {"-c5 -s2 -x100 -y50", {1, 1, 100, 50, 3}, {{1, 1}, {1, 51}, {1, 101}, {101, 1}, {101, 51}}},
        {"-c4 -s2 -x100", {1, 1, 100, 34, 2}, {{1, 1}, {1, 35}, {101, 1}, {101, 35}}},
        {"-c3 -l-5 -u0 -y11", {1, 1, 24, 12, 3}, {{1, 1}, {1, 13}, {1, 25}}},
        {"-l900 -x500 -s2 -u768 -y768", {24, 768, 500, 768, 1}, {{24, 768}, {524, 768}}},
        {"-u769 -y769 -x1024", {0, 1, 1024, 12, 2}, {{0, 1}, {0, 13}}},
        // A negative width passes the screen check and moves the left edge by its span.
        {"-x-5 -l2000", {1029, 1, 24, 34, 2}, {{1029, 1}, {1029, 35}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const LaunchSettings s = Settings(c.line);
        const Grid g = Plan(s);
        ASSERT_TRUE(g.laid) << g.message;
        EXPECT_EQ("", g.message);
        EXPECT_EQ(c.grid.left, g.grid.left);
        EXPECT_EQ(c.grid.top, g.grid.top);
        EXPECT_EQ(c.grid.width, g.grid.width);
        EXPECT_EQ(c.grid.height, g.grid.height);
        EXPECT_EQ(c.grid.rows, g.grid.rows);
        for (int32_t i = 0; i < s.count && i < 5; ++i) {
            const TilePosition at = TileOf(g.grid, i);
            EXPECT_EQ(c.tiles[i].x, at.x) << "monitor " << i;
            EXPECT_EQ(c.tiles[i].y, at.y) << "monitor " << i;
        }
    }
}

TEST(ToolsMonstartGrid, AGridWiderThanTheScreenIsRefusedAlsoWhenItsProductOverflows32Bits) {
    const struct {
        const char* line;
        bool german;
        const char* message;
    } cases[] = {
        {"-x700 -s2", false, "to large size x, must be smaller as 512"},
        {"-x700 -s2", true, "zu gro\xDF" "er Wert f\xFC" "r x, mu\xDF kleiner sein als 512"},
        {"-x1025", false, "to large size x, must be smaller as 1024"},
        {"-s65536 -x65536", false, "to large size x, must be smaller as 0"},  // 2^32: 0 in 32 bits
        {"-s2147483647 -x2147483647", false, "to large size x, must be smaller as 0"},
        {"-s3 -x342", false, "to large size x, must be smaller as 341"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Grid g = Plan(Settings(c.line), 1024, 768, c.german);
        EXPECT_FALSE(g.laid);
        EXPECT_EQ(c.message, g.message);
    }
    EXPECT_TRUE(Plan(Settings("-s3 -x341")).laid);

    LaunchSettings noColumns;
    noColumns.columns = 0;
    EXPECT_FALSE(Plan(noColumns).laid);
    noColumns.columns = -4;
    EXPECT_FALSE(Plan(noColumns).laid);
}

TEST(ToolsMonstartGrid, FarTilesStayWithin32Bits) {
    TileGrid grid;
    grid.left = 1000;
    grid.top = 700;
    grid.width = 1024;
    grid.height = 768;
    grid.rows = 1;
    const TilePosition distant = TileOf(grid, INT32_MAX);
    EXPECT_EQ(INT32_MAX, distant.x);
    EXPECT_EQ(700, distant.y);
    grid.rows = 0;  // as a count of 0 or less leaves it; no monitor is placed then, but no division by 0 either
    EXPECT_EQ(1000 + 3 * 1024, TileOf(grid, 3).x);
}

TEST(ToolsMonstartTitles, MonitorsAreKnownByEitherTitleInAnyCaseAndRenamedWithTheirNumber) {
    for (const char* title : {"RAS-MONITOR", "RAS-Monitor 3", "remote access monitor", "Remote Access Monitor 12",
                              "old ras-monitor window"})
        EXPECT_TRUE(IsMonitorTitle(title)) << title;
    for (const char* title : {"", "RAS MONITOR", "Remote Access Admin", "RAS-MONITO"})
        EXPECT_FALSE(IsMonitorTitle(title)) << title;
    EXPECT_FALSE(IsMonitorTitle(nullptr));

    char name[32];
    FormatMonitorTitle(kMonitorTitles[0], 1, name, sizeof name);
    EXPECT_STREQ("RAS-Monitor 1", name);
    FormatMonitorTitle(kMonitorTitles[1], 40, name, sizeof name);
    EXPECT_STREQ("Remote Access Monitor 40", name);
    FormatMonitorTitle(kMonitorTitles[1], INT32_MAX, name, 10);
    EXPECT_STREQ("Remote Ac", name);
    EXPECT_STREQ("RAS-MONITOR", kMonitorTitles[0].shown);
    EXPECT_STREQ("REMOTE ACCESS MONITOR", kMonitorTitles[1].shown);
}

}  // namespace
