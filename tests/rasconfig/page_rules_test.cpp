// The rules of the tracing and logging pages that need no dialog: typed numbers, the command lines
// of the programs the center starts, and the special-mode parameter.
#include <gtest/gtest.h>

#include <string>

#include "rasconfig/command_line.h"
#include "rasconfig/config_center.h"
#include "rasconfig/entry_number.h"

namespace {

TEST(RasconfigPageRules, NumbersAreReadAsTheCLibraryReadsThem) {
    const struct {
        const char* text;
        bool ok;
        unsigned long value;
    } cases[] = {
        {"", true, 0},          {"0", true, 0},         {"12", true, 12},        {"  +7", true, 7},
        {"0x5", true, 5},       {"0XfF", true, 255},    {"017", true, 15},       {"-1", true, 0xFFFFFFFFul},
        {"-0x5", true, 0xFFFFFFFBul}, {"4294967295", true, 0xFFFFFFFFul}, {"99999999999", true, 0xFFFFFFFFul},
        {"-99999999999", true, 0xFFFFFFFFul},
        {"3a", false, 0},       {"5 ", false, 0},       {" ", false, 0},         {"-", false, 0},
        {"0x", false, 0},       {"08", false, 0},       {"0x1g", false, 0},      {"1.5", false, 0},
    };
    for (const auto& c : cases) {
        unsigned long value = 77;
        EXPECT_EQ(c.ok, ParseEntryNumber(c.text, &value)) << '"' << c.text << '"';
        EXPECT_EQ(c.value, value) << '"' << c.text << '"';
    }
}

TEST(RasconfigPageRules, NamesBecomeOneArgumentEachOrNone) {
    const char* sys = "C:\\WINNT\\SYSTEM32";
    const char* inf = "C:\\WINNT\\SYSTEM32\\VARNEK\\VRKICONS.INF";
    const struct {
        const char* trace;
        const char* log;
        const char* line;  // null: refused
    } cases[] = {
        {"C:\\t.txt", "", "setup.exe /f /t TraceFilename = C:\\t.txt /t LogFilename = \"\" /t !STF_WINDOWSSYSPATH = "
                          "C:\\WINNT\\SYSTEM32 /c SetRasTraceIcons /i C:\\WINNT\\SYSTEM32\\VARNEK\\VRKICONS.INF"},
        {"", "x /c Other", "setup.exe /f /t TraceFilename = \"\" /t LogFilename = \"x /c Other\" /t "
                           "!STF_WINDOWSSYSPATH = C:\\WINNT\\SYSTEM32 /c SetRasTraceIcons /i "
                           "C:\\WINNT\\SYSTEM32\\VARNEK\\VRKICONS.INF"},
        {"C:\\a\"b.txt", "", nullptr},
        {"C:\\my dir\\", "", nullptr},
    };
    for (const auto& c : cases) {
        char line[kTraceIconsCommandSize] = "unchanged";
        EXPECT_EQ(c.line != nullptr, FormatTraceIconsCommand(line, sizeof line, c.trace, c.log, sys, inf)) << c.trace;
        EXPECT_EQ(c.line ? c.line : "", std::string(line)) << c.trace;
    }

    // Four names of 255 characters with blanks, each quoted, fit; the buffer is never overrun.
    const std::string longName(255, ' ');
    char line[kTraceIconsCommandSize];
    EXPECT_TRUE(FormatTraceIconsCommand(line, sizeof line, longName.c_str(), longName.c_str(), longName.c_str(),
                                        longName.c_str()));
    char small[64];
    EXPECT_FALSE(FormatTraceIconsCommand(small, sizeof small, "C:\\t.txt", "", sys, inf));
    EXPECT_STREQ("", small);

    char viewer[kViewerCommandSize];
    EXPECT_TRUE(FormatViewerCommand(viewer, sizeof viewer, "C:\\Program Files\\v.exe", "C:\\x.txt"));
    EXPECT_STREQ("\"C:\\Program Files\\v.exe\" C:\\x.txt", viewer);
}

TEST(RasconfigPageRules, AViewerThatIsNoProgramPathGoesIntoTheCommandAsItStands) {
    const struct {
        const char* viewer;
        bool program;
        const char* file;
        const char* command;  // null: refused
    } cases[] = {
        {"notepad.exe", false, "C:\\a b\\x.txt", "notepad.exe \"C:\\a b\\x.txt\""},
        {"C:\\v.exe /r /s", false, "C:\\x.txt", "C:\\v.exe /r /s C:\\x.txt"},
        {"\"C:\\Program Files\\v.exe\"", false, "C:\\x.txt", "\"C:\\Program Files\\v.exe\" C:\\x.txt"},
        {"C:\\Program Files\\v.exe", true, "C:\\x y.txt", "\"C:\\Program Files\\v.exe\" \"C:\\x y.txt\""},
        {"\"C:\\v.exe\"", true, "C:\\x.txt", nullptr},
        {"", false, "C:\\x.txt", nullptr},
        {"notepad.exe", false, "C:\\x\"y.txt", nullptr},
    };
    for (const auto& c : cases) {
        char command[kViewerCommandSize] = "left";
        const bool ok = FormatViewerCommand(command, sizeof command, c.viewer, c.file, c.program);
        EXPECT_EQ(c.command != nullptr, ok) << c.viewer;
        EXPECT_STREQ(c.command ? c.command : "", command) << c.viewer;
    }
    char small[16];
    EXPECT_FALSE(FormatViewerCommand(small, sizeof small, "textview.exe /p", "C:\\x.txt", false));
    EXPECT_STREQ("", small);
}

TEST(RasconfigPageRules, SpecialModeIsAskedForInAnyLetterCase) {
    for (const char* yes : {"SPECIAL", "special", "xxSpEcIaLyy"}) EXPECT_TRUE(AsksForSpecialMode(yes)) << yes;
    for (const char* no : {"", "SPECIA L", "SPECIA", "INSTALL"}) EXPECT_FALSE(AsksForSpecialMode(no)) << no;
    EXPECT_FALSE(AsksForSpecialMode(nullptr));
}

}  // namespace
