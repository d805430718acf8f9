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

TEST(DemoReportTest, LeftoversAreWhatCameChangedOrWentThatWasNotThePackages) {
    const std::string agents = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents";
    const std::string cards = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
    const std::string linkage = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Linkage";
    const std::string sources = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\System|Sources";
    const std::string gateway = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\El59x1\\Parameters\\Tcpip|DefaultGateway";
    const RegistrySnapshot before = {
        {agents, ""},
        {agents + "|1", "\"SOFTWARE\\Microsoft\\LANManagerMIB2Agent\\CurrentVersion\""},
        {agents + "|5", "\"SOFTWARE\\VARNEK GmbH\\VrkMpr\\CurrentVersion\""},
        {cards + "\\1", ""},
        {cards + "\\1|Description", "\"3Com Fast EtherLink\""},
        {cards + "\\3", ""},
        {cards + "\\3|Description", "\"VARNEK ISDN Multiprotocol Router Adapter\""},
        {cards + "\\3|Title", "\"[3]\""},
        {sources, "[\"System\", \"VrkRas\", \"Tcpip\"]"},
        {linkage + "|Bind", "[\"\\Device\\El59x1\", \"\\Device\\NdisWan5\", \"\\Device\\VrkMpr1\"]"},
        {linkage + "|Export", "[\"\\Device\\NwlnkIpx\", \"\\Device\\NwlnkIpx\", \"\\Device\\NwlnkIpx\"]"},
        {gateway, "[\"192.168.0.1\"]"},
    };
    const RegistrySnapshot after = {
        // The package's agent went, another's stays.
        {agents, ""},
        {agents + "|1", "\"SOFTWARE\\Microsoft\\LANManagerMIB2Agent\\CurrentVersion\""},
        // Another maker's card went with the package's.
        {sources, "[\"System\", \"Tcpip\"]"},
        {linkage + "|Bind", "[\"\\Device\\NdisWan5\", \"\\Device\\El59x1\"]"},
        {linkage + "|Export", "[\"\\Device\\NWlnkIPX\", \"\\Device\\NWlnkIPX\"]"},
        {gateway, "[]"},
        {"HKCU\\Software\\Microsoft\\RAS Monitor", ""},
        {"HKCU\\Software\\Microsoft\\RAS Monitor|Port", "\"3\""},
    };
    std::vector<std::string> unexplained, kept;
    for (const Leftover& l : RegistryLeftovers(before, after)) (l.reason.empty() ? unexplained : kept).push_back(l.path);
    EXPECT_EQ((Lines_{"+ HKCU\\Software\\Microsoft\\RAS Monitor", "+ HKCU\\Software\\Microsoft\\RAS Monitor|Port = \"3\"",
                      "~ " + gateway + " = [] (was [\"192.168.0.1\"])",
                      "~ " + linkage + "|Bind = [\"\\Device\\NdisWan5\", \"\\Device\\El59x1\"] (was [\"\\Device\\El59x1\", "
                      "\"\\Device\\NdisWan5\", \"\\Device\\VrkMpr1\"])",
                      "- " + cards + "\\1", "- " + cards + "\\1|Description"}),
              unexplained);
    EXPECT_EQ((Lines_{"~ " + linkage + "|Export = [\"\\Device\\NWlnkIPX\", \"\\Device\\NWlnkIPX\"] (was "
                      "[\"\\Device\\NwlnkIpx\", \"\\Device\\NwlnkIpx\", \"\\Device\\NwlnkIpx\"])"}),
              kept);
    EXPECT_TRUE(RegistryLeftovers(before, before).empty());
}

TEST(DemoReportTest, FileLeftoversAreThePackagesFilesThatStayed) {
    const std::vector<std::string> before = {"C:\\windows\\system32\\OEMNAD3.INF", "C:\\temp\\setup.log",
                                             "C:\\windows\\system32\\VARNEK\\caller.dat"};
    const std::vector<Leftover> found =
        FileLeftovers(before, {"C:\\windows\\system32\\OEMNAD3.INF", "C:\\temp\\setup.log",
                               "C:\\windows\\system32\\VARNEK\\caller.dat", "C:\\temp\\TraceLogSvc.log"});
    std::vector<std::string> paths;
    for (const Leftover& l : found) {
        paths.push_back(l.path);
        EXPECT_TRUE(l.reason.empty()) << l.path;
    }
    EXPECT_EQ((Lines_{"+ C:\\windows\\system32\\VARNEK\\caller.dat", "+ C:\\temp\\TraceLogSvc.log"}), paths);
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

TEST(DemoReportTest, PendingDeletesAreTheSourcesWithAnEmptyTarget) {
    // The strings of a REG_MULTI_SZ, each with its NUL, and the list's end when ended.
    const auto multi = [](const Lines_& strings, bool ended) {
        std::string bytes;
        for (const std::string& s : strings) bytes += s + '\0';
        return ended ? bytes + '\0' : bytes;
    };
    const struct {
        std::string bytes;
        Lines_ deletes;
    } cases[] = {
        {multi({"\\??\\C:\\a", "", "\\??\\C:\\dir", ""}, true), {"C:\\a", "C:\\dir"}},
        {multi({"\\??\\C:\\a", "", "\\??\\C:\\old", "!\\??\\C:\\new", "\\??\\C:\\b", ""}, true), {"C:\\a", "C:\\b"}},
        {multi({"C:\\plain", ""}, true), {"C:\\plain"}},
        {multi({"\\??\\C:\\a", ""}, false), {"C:\\a"}},
        {multi({"\\??\\C:\\a", "", "\\??\\C:\\cut"}, false), {"C:\\a"}},
        {multi({}, true), {}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.deletes, PendingDeletes(c.bytes)) << ValueText(kRegMultiSz, c.bytes);
}

TEST(DemoReportTest, TableCellsKeepTheirRow) {
    EXPECT_EQ("a \\| b  c", TableCell("a | b\r\nc"));
    EXPECT_EQ((Lines_{"one", "", "three"}), Lines("one\r\n\r\nthree\n"));
    EXPECT_TRUE(Lines("").empty());
}

}  // namespace
