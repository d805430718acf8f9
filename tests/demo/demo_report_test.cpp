// The main job's report: registry changes, what the removal left and why, and setup log excerpts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report_text.h"

using namespace demo_report;

namespace {

using Lines_ = std::vector<std::string>;

std::string Dword(unsigned long v) {
    return std::string({static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                        static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)});
}

TEST(DemoReportTest, ValuesAreShownByTheirType) {
    const struct {
        unsigned long type;
        std::string bytes;
        const char* shown;
    } cases[] = {
        {kRegSz, std::string("OK\0", 3), "\"OK\""},
        {kRegSz, "no terminator", "\"no terminator\""},
        {kRegSz, std::string("cut\0rest\0", 9), "\"cut\""},
        {kRegExpandSz, std::string("%SystemRoot%\\x\0", 15), "(expand) \"%SystemRoot%\\x\""},
        {kRegSz, std::string("a\tb\r\n\0", 6), "\"a\\x09b\\x0D\\x0A\""},
        {kRegDword, Dword(64), "0x00000040 (64)"},
        {kRegDword, Dword(0xFFFFFFFF), "0xFFFFFFFF (4294967295)"},
        {kRegDword, std::string("\x01\x02", 2), "hex(4):01 02"},
        {kRegMultiSz, std::string("A\0B B\0\0", 7), "[\"A\", \"B B\"]"},
        {kRegMultiSz, std::string("\0", 1), "[]"},
        {kRegMultiSz, std::string("last\0", 5), "[\"last\"]"},
        {kRegMultiSz, std::string("\\??\\C:\\a\0\0\\??\\C:\\b\0\0\0", 21),
         "[\"\\??\\C:\\a\", \"\", \"\\??\\C:\\b\", \"\"]"},
        {kRegBinary, "", "hex(3):"},
        {kRegNone, std::string("\x00\xff", 2), "hex(0):00 FF"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, ValueText(c.type, c.bytes)) << c.shown;
    const std::string shown = ValueText(kRegBinary, std::string(100, '\x11'));
    EXPECT_EQ(0u, shown.find("hex(3):11 11"));
    EXPECT_NE(std::string::npos, shown.find("... (100 bytes)")) << shown;
    EXPECT_EQ(std::string::npos, shown.find(std::string(49 * 3, ' '))) << "only 48 bytes are written out";
}

TEST(DemoReportTest, DifferenceListsWhatCameWentAndChangedInPathOrder) {
    const RegistrySnapshot before = {
        {"HKLM\\A", ""},          {"HKLM\\A|kept", "1"},    {"HKLM\\A|changed", "\"old\""},
        {"HKLM\\A\\Gone", ""},    {"HKLM\\A\\Gone|v", "2"}, {"HKLM\\Z|last", "3"},
    };
    const RegistrySnapshot after = {
        {"HKLM\\A", ""},           {"HKLM\\A|kept", "1"},   {"HKLM\\A|changed", "\"new\""},
        {"HKLM\\A\\New", ""},      {"HKLM\\A\\New|", "4"},  {"HKLM\\B|first", "5"},
    };
    EXPECT_EQ((Lines_{"- HKLM\\A\\Gone", "- HKLM\\A\\Gone|v", "+ HKLM\\A\\New", "+ HKLM\\A\\New| = 4",
                      "~ HKLM\\A|changed = \"new\" (was \"old\")", "+ HKLM\\B|first = 5", "- HKLM\\Z|last"}),
              SnapshotDifference(before, after));
    EXPECT_TRUE(SnapshotDifference(after, after).empty());
    EXPECT_EQ((Lines_{"+ HKLM\\B|first = 5"}), SnapshotDifference({}, {{"HKLM\\B|first", "5"}}));
    EXPECT_EQ((Lines_{"- HKLM\\B|first"}), SnapshotDifference({{"HKLM\\B|first", "5"}}, {}));
}

TEST(DemoReportTest, RegistryLeftoversSayWhyTheyMayStayOrThatTheyShouldBeGone) {
    const RegistrySnapshot after = {
        // The card's own registry: its key and its maker's text stay, the product's values must go.
        {"HKLM\\SOFTWARE\\CAPI20\\1", ""},
        {"HKLM\\SOFTWARE\\CAPI20\\1|Manufacturer", "\"Varnek Systems ISDN S0 card\""},
        {"HKLM\\SOFTWARE\\CAPI20\\1\\1|VrkMprNickname", "\"Berlin\""},
        {"HKLM\\SOFTWARE\\CAPI20\\1\\1|vrkrasphone", "\"0\""},
        // Volatile, and the transport's own lists.
        {"HKLM\\HARDWARE\\DEVICEMAP\\TAPI DEVICES\\VrkRas", ""},
        {"HKLM\\SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Linkage|Bind", "[\"\\Device\\VrkMpr1\"]"},
        // The package's own keys, and its names inside other components' values.
        {"HKLM\\SYSTEM\\CurrentControlSet\\Services\\VrkRasTraceSV", ""},
        {"HKLM\\SYSTEM\\CurrentControlSet\\Services\\VrkRasTraceSV\\Parameters", ""},
        {"HKLM\\SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents|2",
         "\"SOFTWARE\\VARNEK\\VrkMpr\\CurrentVersion\""},
        {"HKLM\\SOFTWARE\\VARNEK", ""},
        // The event log's sources, which the clean-up leaves as they are.
        {"HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\System|Sources", "[\"System\", \"VrkRas\"]"},
        // Nothing of the package.
        {"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Capi20", ""},
        {"HKLM\\SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents|1", "\"SOFTWARE\\Microsoft\\X\""},
    };
    const std::vector<Leftover> found = RegistryLeftovers(after);
    std::vector<std::string> gone, kept;
    for (const Leftover& l : found) (l.reason.empty() ? gone : kept).push_back(l.path);
    EXPECT_EQ((Lines_{"HKLM\\SOFTWARE\\CAPI20\\1\\1|VrkMprNickname = \"Berlin\"",
                      "HKLM\\SOFTWARE\\CAPI20\\1\\1|vrkrasphone = \"0\"", "HKLM\\SOFTWARE\\VARNEK",
                      "HKLM\\SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents|2 = "
                      "\"SOFTWARE\\VARNEK\\VrkMpr\\CurrentVersion\"",
                      "HKLM\\SYSTEM\\CurrentControlSet\\Services\\VrkRasTraceSV"}),
              gone);
    EXPECT_EQ((Lines_{"HKLM\\HARDWARE\\DEVICEMAP\\TAPI DEVICES\\VrkRas",
                      "HKLM\\SOFTWARE\\CAPI20\\1|Manufacturer = \"Varnek Systems ISDN S0 card\"",
                      "HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\System|Sources = [\"System\", \"VrkRas\"]",
                      "HKLM\\SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Linkage|Bind = [\"\\Device\\VrkMpr1\"]"}),
              kept);
    EXPECT_TRUE(RegistryLeftovers({{"HKLM\\SOFTWARE\\Other", ""}, {"HKLM\\SOFTWARE\\Other|x", "1"}}).empty());
}

TEST(DemoReportTest, FileLeftoversKeepOnlyTheLogsOfThisRun) {
    const std::vector<Leftover> found = FileLeftovers({"C:\\temp\\setup.log", "c:\\TEMP\\SETUP_1.LOG",
                                                       "C:\\temp\\TraceLogSvc.log", "C:\\windows\\system32\\VARNEK\\",
                                                       "C:\\windows\\system32\\VARNEK\\caller.dat",
                                                       "C:\\windows\\system32\\VARNEK\\setup.log",
                                                       "C:\\windows\\system32\\OEMNAD1.INF"});
    ASSERT_EQ(7u, found.size());
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(found[i].reason.empty()) << found[i].path;
    for (int i = 3; i < 7; ++i) EXPECT_TRUE(found[i].reason.empty()) << found[i].path;
}

TEST(DemoReportTest, LogExcerptRunsFromEnterToLeaveOfThatProcedureOnly) {
    const std::string log =
        "*************************** new instance **********************************\r\n"
        "33 02 08.12.2026 12:00:00.000: VrkMprSetSNMPRegistry ENTER\r\n"
        "33 02 08.12.2026 12:00:00.001: VrkMprSetSNMPRegistry LEAVE; OK\r\n"
        "33 02 08.12.2026 12:00:00.002: VrkMprSetRegistry ENTER;wnd=0\r\n"
        "33 01 08.12.2026 12:00:00.003: Streams Drivers missing\r\n"
        "33 02 08.12.2026 12:00:00.004: VrkMprSetRegistry LEAVE; OK\r\n"
        "33 02 08.12.2026 12:00:00.005: VrkMprSetRegistry ENTER;wnd=0\r\n"
        "33 02 08.12.2026 12:00:00.006: VrkMprSetRegistry LEAVE; OK\r\n"
        "33 02 08.12.2026 12:00:00.007: VrkMprLanConfig ENTER; wnd=0\n"
        "33 02 08.12.2026 12:00:00.008: no adapter\n";
    EXPECT_EQ((Lines_{"VrkMprSetRegistry ENTER;wnd=0", "Streams Drivers missing", "VrkMprSetRegistry LEAVE; OK"}),
              LogExcerpt(log, "VrkMprSetRegistry"));
    EXPECT_EQ((Lines_{"VrkMprSetSNMPRegistry ENTER", "VrkMprSetSNMPRegistry LEAVE; OK"}),
              LogExcerpt(log, "VrkMprSetSNMPRegistry"));
    EXPECT_EQ((Lines_{"VrkMprLanConfig ENTER; wnd=0", "no adapter"}), LogExcerpt(log, "VrkMprLanConfig"))
        << "a call that never left runs to the end of the log";
    EXPECT_TRUE(LogExcerpt(log, "VrkMprWanConfig").empty());
    EXPECT_EQ("a line of another form", LogMessage("a line of another form"));
    EXPECT_EQ("", LogMessage("35 02 08.12.2026 12:00:00.000: "));
}

TEST(DemoReportTest, TableCellsKeepTheirRow) {
    EXPECT_EQ("a \\| b  c", TableCell("a | b\r\nc"));
    EXPECT_EQ((Lines_{"one", "", "three"}), Lines("one\r\n\r\nthree\n"));
    EXPECT_TRUE(Lines("").empty());
}

}  // namespace
