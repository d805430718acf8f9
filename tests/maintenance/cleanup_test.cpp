// The clean-up of the product lines through the setup engine's stand-in: the machine's registry,
// files and deferred deletions compared before and after each removal, with other lines staying
// and as the last line; the delete lists of DELFILES.DAT as the clean-up runs them; INF files
// that cannot be deleted.
#include <algorithm>
#include <string>
#include <vector>

#include "cleanup_fixture.h"

using namespace cleanup_testing;
using namespace maintenance_testing;
using namespace testing_machine;

namespace {

const char kServices[] = "SYSTEM\\CurrentControlSet\\Services\\";
const char kCards[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
const char kAgents[] = "SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents";
const char kLinkage[] = "SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Linkage";

// What the machine data of a line installs and only that line owns.
std::vector<std::string> Footprint(Line line) {
    const std::string maker = MakerDirectory() + "\\";
    const std::string inf = System32() + "\\";
    switch (line) {
    case kRouter:
        return {Hklm(std::string(kServices) + "VrkMpr"),
                Hklm(std::string(kServices) + "VrkMpr1"),
                Hklm(std::string(kServices) + "VrkMprSV"),
                Hklm(std::string(kServices) + "VrkMprLan"),
                Hklm(std::string(kServices) + "VrkMprWan"),
                Hklm(std::string(kServices) + "VrkMprX31"),
                Hklm("SOFTWARE\\VARNEK\\VrkMpr"),
                Hklm("SOFTWARE\\VARNEK GmbH\\VrkMpr"),
                Hklm(std::string(kCards) + "3"),
                Hklm(std::string(kCards) + "4"),  // its ProductName in lower case
                Hklm("SOFTWARE\\CAPI20\\1\\1") + "|VrkMpr",
                Hklm("SOFTWARE\\CAPI20\\2\\1") + "|VrkMpr",
                Hklm(kAgents) + "|3",  // under the current maker name
                Hklm(kAgents) + "|4",  // under the old one, in other letter case
                FileEntry(maker + "VrkMprSV.exe"),
                FileEntry(maker + "agntdll.dll"),
                FileEntry(maker + "ip.dll"),
                FileEntry(maker + "VrkMprFw.dat"),
                FileEntry(inf + "OEMNSV1.INF"),
                FileEntry(inf + "OEMNSV2.INF")};  // read-only
    case kRemoteAccess:
        return {Hklm(std::string(kServices) + "VrkRas"),
                Hklm(std::string(kServices) + "VrkRas1"),
                Hklm(std::string(kServices) + "VrkRasTraceSV"),
                Hklm("SOFTWARE\\VARNEK\\VrkRas"),
                Hklm("SOFTWARE\\VARNEK GmbH\\VrkRasSetup"),
                Hklm(std::string(kCards) + "6"),
                Hklm("SOFTWARE\\CAPI20\\1\\1") + "|VrkRas",
                FileEntry(maker + "caller.dat"),
                FileEntry(maker + "VRKICONS.INF"),
                FileEntry(maker + "TraceLogSvc.exe"),
                FileEntry(maker + "cfgcenter.exe"),
                FileEntry(maker + "monstart.exe"),
                FileEntry(inf + "OEMNAD1.INF")};
    case kGateway:
        return {Hklm(std::string(kServices) + "VrkLV"), Hklm(std::string(kServices) + "VrkLVMon"),
                Hklm("SOFTWARE\\VARNEK\\VrkLV"), Hklm(std::string(kCards) + "7"), FileEntry(inf + "OEMNAD2.INF")};
    }
    return {};
}

// The drivers of a line, which are in use while the system runs: deleted at the next start.
std::vector<std::string> LineDrivers(Line line) {
    switch (line) {
    case kRouter: return {"VrkMpr.sys", "VrkMprWan.sys"};
    case kRemoteAccess: return {"VrkRas.SYS"};
    case kGateway: return {"VrkLV.sys"};
    }
    return {};
}

// What the lines share: it goes with the last of them. The setup procedure's own DLL, its
// language module and its log are in use and go at the next start, like the maker's directory.
const std::vector<std::string> kShared = {
    Hklm(std::string(kServices) + "VrkLogSV"), Hklm(std::string(kServices) + "VrkMprTrc"), Hklm("SOFTWARE\\VARNEK"),
    Hklm("SOFTWARE\\VARNEK GmbH")};

std::vector<std::string> SharedPending() {
    return {MakerDirectory() + "\\VRKSUDLL.DLL", MakerDirectory() + "\\" + LanguageModuleName(), "c:\\temp\\setup.log",
            MakerDirectory()};
}

// The machine after the line's removal: what it was before less exactly what the line owned,
// and less what the lines share when it was the last one. The IPX bindings are checked apart.
State ExpectedAfter(const State& before, Line line, bool last) {
    State expected = before;
    Erase(&expected, Footprint(line));
    for (const std::string& driver : LineDrivers(line))
        if (before.count(FileEntry(Drivers() + "\\" + driver)))
            expected[PendingEntry(Drivers() + "\\" + driver)] = "";
    if (!last) return expected;
    Erase(&expected, kShared);
    // The shared lists take the maker's directory, but for the files of the lines' own lists,
    // which only their lines remove.
    State own;
    for (Line other : {kRouter, kRemoteAccess, kGateway}) {
        if (other == line) continue;
        for (const std::string& prefix : Footprint(other))
            if (prefix.rfind("FILE ", 0) == 0 && before.count(prefix)) own[prefix] = before.at(prefix);
    }
    Erase(&expected, {FileEntry(MakerDirectory() + "\\")});
    expected.insert(own.begin(), own.end());
    for (const std::string& inUse : {std::string("VRKSUDLL.DLL"), LanguageModuleName()}) {
        const std::string entry = FileEntry(MakerDirectory() + "\\" + inUse);
        EXPECT_TRUE(before.count(entry)) << entry;
        if (before.count(entry)) expected[entry] = before.at(entry);
    }
    for (const std::string& path : SharedPending()) expected[PendingEntry(path)] = "";
    if (before.count(FileEntry(Drivers() + "\\VrkMprTrc.sys")))
        expected[PendingEntry(Drivers() + "\\VrkMprTrc.sys")] = "";
    return expected;
}

class CleanUpLinesTest : public CleanUpTest {
protected:
    // Installs the lines, then removes them one after another, comparing the machine after each.
    void RemoveInTurn(unsigned installed, const std::vector<Line>& order) {
        InstallLines(installed);
        unsigned left = installed;
        for (const Line line : order) {
            SCOPED_TRACE(std::string("removing the ") + LineName(line));
            left &= ~static_cast<unsigned>(line);
            const State before = MachineState();
            ASSERT_TRUE(CleanUp(line));
            const State after = MachineState();
            State expected = ExpectedAfter(before, line, left == 0);
            if (line == kRouter) ExpectAdaptersGivenBack(before, after, &expected);
            EXPECT_EQ(std::vector<std::string>{}, Differences(expected, after));
        }
    }

    // The router gives back every LAN adapter it had taken: its IPX binding is enabled again.
    void ExpectAdaptersGivenBack(const State& before, const State& after, State* expected) {
        const std::vector<std::string> bind = ReadMultiString(HKEY_LOCAL_MACHINE, kLinkage, "Bind");
        EXPECT_NE(bind.end(), std::find(bind.begin(), bind.end(), "\\Device\\E100B1"))
            << ::testing::PrintToString(bind);
        EXPECT_EQ(std::vector<std::string>{},
                  ReadMultiString(HKEY_LOCAL_MACHINE, std::string(kLinkage) + "\\Disabled", "Bind"));
        const std::string linkage = Hklm(kLinkage);
        EXPECT_TRUE(std::any_of(before.begin(), before.end(), [&](const State::value_type& e) {
            return e.first.rfind(linkage + "Disabled\\|Bind", 0) == 0 && e.second.size() > 8;
        })) << "the router had an adapter before";
        Erase(expected, {linkage});
        for (const auto& entry : after)
            if (_strnicmp(entry.first.c_str(), linkage.c_str(), linkage.size()) == 0)
                (*expected)[entry.first] = entry.second;
    }
};

TEST_F(CleanUpLinesTest, AllThreeLinesRemovedOneAfterAnotherAndTheFilesInUseGoAtTheNextStart) {
    RemoveInTurn(kRouter | kRemoteAccess | kGateway, {kRouter, kRemoteAccess, kGateway});
    // The restart deletes what was in use, the maker's directory last, and clears the list.
    const ProgramResult restart = RunProgram("wineboot.exe -r", 120000);
    ASSERT_TRUE(restart.started);
    for (const std::string& path : SharedPending()) EXPECT_FALSE(PathExists(path)) << path;
    EXPECT_FALSE(PathExists(Drivers() + "\\VrkMprTrc.sys"));
    for (Line line : {kRouter, kRemoteAccess, kGateway})
        for (const std::string& driver : LineDrivers(line))
            EXPECT_FALSE(PathExists(Drivers() + "\\" + driver)) << driver;
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                             "PendingFileRenameOperations", nullptr));
    EXPECT_TRUE(PathExists(System32() + "\\OEMNAD3.INF")) << "another maker's INF file";
}

TEST_F(CleanUpLinesTest, ARemovalScriptTakesAllLinesInOneProcess) {
    InstallLines(kRouter | kRemoteAccess | kGateway);
    const State before = MachineState();
    const std::string script = "C:\\temp\\remove-all.txt";
    ASSERT_TRUE(WriteFileBytes(script, "load " + MakerDirectory() +
                                           "\\VRKSUDLL.DLL\r\ncall VrkLVCleanUp 0\r\ncall VrkRasCleanUp 0\r\n"
                                           "call VrkMprCleanUp 0\r\nunload\r\n"));
    const ProgramResult r = RunProgram("C:\\testbed\\host.exe --script " + script, 60000);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(0u, r.exitCode) << r.out << r.err;
    EXPECT_EQ(Answer("VrkLVCleanUp", true, "OK") + Answer("VrkRasCleanUp", true, "OK") +
                  Answer("VrkMprCleanUp", true, "OK"),
              r.out);
    const State after = MachineState();
    State expected = ExpectedAfter(ExpectedAfter(before, kGateway, false), kRemoteAccess, false);
    expected = ExpectedAfter(expected, kRouter, true);
    ExpectAdaptersGivenBack(before, after, &expected);
    EXPECT_EQ(std::vector<std::string>{}, Differences(expected, after));
    // The shared lists ran once, with the last line.
    const std::vector<std::string> messages = LogMessages();
    const std::string sharedList =
        "_DeleteFileList DELETE TempFiles;ini=" + Expand("%SystemRoot%\\SYSTEM32\\VARNEK") + "\\DELFILES.DAT";
    EXPECT_EQ(1, std::count(messages.begin(), messages.end(), sharedList));
    const auto last = std::find(messages.begin(), messages.end(), "VrkMprCleanUp ENTER;wnd= 0");
    EXPECT_NE(messages.end(), std::find(last, messages.end(), sharedList));
}

TEST_F(CleanUpLinesTest, TheRouterStaysWhileTheRemoteAccessLineGoes) {
    RemoveInTurn(kRouter | kRemoteAccess, {kRemoteAccess, kRouter});
}

TEST_F(CleanUpLinesTest, TheRemoteAccessLineStaysWhileTheGatewayGoes) {
    RemoveInTurn(kRemoteAccess | kGateway, {kGateway, kRemoteAccess});
}

TEST_F(CleanUpLinesTest, TheGatewayStaysWhileTheRouterGoes) { RemoveInTurn(kRouter | kGateway, {kRouter, kGateway}); }

TEST_F(CleanUpLinesTest, ALineAloneTakesTheSharedPartsWithIt) { RemoveInTurn(kGateway, {kGateway}); }

TEST_F(CleanUpLinesTest, WithNoLineInstalledOnlyTheSharedPartsGo) { RemoveInTurn(0, {kRemoteAccess}); }

TEST_F(CleanUpLinesTest, EachCallLogsItsListAndReportsOk) {
    InstallLines(kRemoteAccess | kGateway);
    ASSERT_TRUE(CleanUp(kGateway));
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const std::string maker = Expand("%SystemRoot%\\SYSTEM32\\VARNEK");
    const std::vector<std::string> expected = {
        "VrkLVCleanUp ENTER;wnd= 0",
        "_DeleteFileList DELETE VrkLV;ini=" + maker + "\\DELFILES.DAT",
        "Delete files; check mask " + Expand("%SystemRoot%\\SYSTEM32\\DRIVERS\\VrkLV.sys"),
        "VrkLVCleanUp LEAVE",
    };
    const auto enter = std::find(messages.begin(), messages.end(), expected.front());
    ASSERT_NE(messages.end(), enter) << ::testing::PrintToString(messages);
    std::vector<std::string> call(enter, std::find(enter, messages.end(), expected.back()) + 1);
    call.erase(std::remove_if(call.begin(), call.end(),
                              [](const std::string& m) { return m.rfind("SearchFilePath", 0) == 0; }),
               call.end());
    EXPECT_EQ(expected, call);
    for (size_t i = static_cast<size_t>(enter - messages.begin()); i < messages.size() && i < levels.size(); ++i)
        EXPECT_EQ(2, levels[i]) << messages[i];
}

TEST_F(CleanUpLinesTest, AnInfFileThatCannotBeDeletedEndsTheSearchAndIsLogged) {
    InstallLines(kRouter | kRemoteAccess);
    const std::string held = System32() + "\\OEMNSV1.INF";
    HeldOpen open(held);
    ASSERT_TRUE(open.holding());
    const ProgramResult r = CallExport("VrkMprCleanUp 0", 30000);
    ASSERT_FALSE(r.timedOut) << "the INF file was searched for again and again";
    EXPECT_EQ(Answer("VrkMprCleanUp", true, "OK"), r.out);
    EXPECT_TRUE(PathExists(held));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\VrkMpr"));
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const std::string failure = "DeleteProductInfFiles : INF file can not be deleted ";
    const auto at = std::find_if(messages.begin(), messages.end(),
                                 [&](const std::string& m) { return m.rfind(failure, 0) == 0; });
    ASSERT_NE(messages.end(), at) << ::testing::PrintToString(messages);
    EXPECT_NE(std::string::npos, at->find("OEMNSV1.INF")) << *at;
    EXPECT_EQ(1, levels[at - messages.begin()]);
    EXPECT_EQ(1, std::count_if(messages.begin(), messages.end(),
                               [&](const std::string& m) { return m.rfind(failure, 0) == 0; }));
    // The remote-access line's INF file is not the router's.
    EXPECT_TRUE(PathExists(System32() + "\\OEMNAD1.INF"));
}

class CleanUpListsTest : public CleanUpTest {};

TEST_F(CleanUpListsTest, TheLinesListWithRebootMasksNestedCyclicAndMissingSectionsAndAFileInUse) {
    InstallLines(kRemoteAccess | kGateway);
    const std::string masks = FreshDirectory("lvmask");
    for (const char* name : {"a.LOG", "b.log", "keep.txt"}) ASSERT_TRUE(WriteFileBytes(masks + "\\" + name, name));
    for (const char* name : {"one.lv", "two.lv", "three.lv", "inuse.lv", "nested.lv", "a.lvx", "b.lvx", "keep.lvy",
                             "after.lv"})
        ASSERT_TRUE(WriteFileBytes(Maker(name), name));
    DelFilesOverride list(
        "[DELETE VrkLV]\r\n1=one.lv\r\n2=two.lv,reboot\r\n3=three.lv,LATER\r\n4=inuse.lv\r\n"
        "SECTION=DELETE LV Nested\r\n5=*.lvx\r\n6=" + masks + "\\*.LOG\r\nsection=DELETE LV Missing\r\n"
        "Section=delete vrklv\r\nnot a line\r\n7=after.lv\r\n"
        "[DELETE LV Nested]\r\n1=nested.lv\r\nSECTION=DELETE VrkLV\r\n");
    {
        HeldOpen held(Maker("inuse.lv"));
        ASSERT_TRUE(held.holding());
        const ProgramResult r = CallExport("VrkLVCleanUp 0", 30000);
        ASSERT_FALSE(r.timedOut);
        EXPECT_EQ(Answer("VrkLVCleanUp", true, "OK"), r.out);
    }
    for (const char* gone : {"one.lv", "three.lv", "nested.lv", "a.lvx", "b.lvx", "after.lv"})
        EXPECT_FALSE(PathExists(Maker(gone))) << gone;
    for (const char* stays : {"two.lv", "inuse.lv", "keep.lvy"}) EXPECT_TRUE(PathExists(Maker(stays))) << stays;
    EXPECT_FALSE(PathExists(masks + "\\a.LOG"));
    EXPECT_FALSE(PathExists(masks + "\\b.log"));
    EXPECT_TRUE(PathExists(masks + "\\keep.txt"));
    const State state = MachineState();
    std::vector<std::string> pending;
    for (const auto& entry : state)
        if (entry.first.rfind("PENDING ", 0) == 0) pending.push_back(entry.first);
    std::vector<std::string> expectedPending = {PendingEntry(Maker("two.lv")), PendingEntry(Maker("inuse.lv"))};
    std::sort(expectedPending.begin(), expectedPending.end());
    EXPECT_EQ(expectedPending, pending);

    // The nested list runs where it is named, before the lines that follow it.
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const std::vector<std::string> order = {
        "Delete section DELETE LV Nested names section DELETE VrkLV, which is being processed; skipped",
        "Delete files; check mask " + Maker("*.lvx"),
        "Delete section not found(DELETE LV Missing)",
        "Delete section DELETE VrkLV names section delete vrklv, which is being processed; skipped",
    };
    auto from = messages.begin();
    for (const std::string& line : order) {
        const auto at = std::find(from, messages.end(), line);
        ASSERT_NE(messages.end(), at) << line << "\n" << ::testing::PrintToString(messages);
        if (line.rfind("Delete files", 0) != 0) {
            EXPECT_EQ(1, levels[at - messages.begin()]) << line;
        }
        from = at + 1;
    }

    const ProgramResult restart = RunProgram("wineboot.exe -r", 120000);
    ASSERT_TRUE(restart.started);
    EXPECT_FALSE(PathExists(Maker("two.lv")));
    EXPECT_FALSE(PathExists(Maker("inuse.lv")));
    EXPECT_TRUE(PathExists(Maker("keep.lvy")));
}

TEST_F(CleanUpListsTest, AListCutByItsBufferDropsTheCutMask) {
    InstallLines(kRemoteAccess | kGateway);
    const std::string folder = FreshDirectory("lvcut-beyond");
    for (const char* name : {"keep.txt", "drop.DLL"}) ASSERT_TRUE(WriteFileBytes(folder + "\\" + name, name));
    // Lines of 100 bytes with their NUL up to byte 1000; the 1024-byte read cuts the mask after it.
    std::string section = "[DELETE VrkLV]\r\n";
    for (int i = 0; i < 10; ++i) {
        std::string line = std::to_string(10 + i) + "=missing";
        line += std::string(99 - line.size() - 3, 'x') + ".lv";
        section += line + "\r\n";
    }
    const std::string mask = "20=" + folder + "\\*.DLL";
    ASSERT_GT(1000 + mask.size() + 1, 1023u) << "the mask must reach past the buffer";
    DelFilesOverride list(section + mask + "\r\n");
    ASSERT_TRUE(CleanUp(kGateway));
    EXPECT_TRUE(PathExists(folder + "\\keep.txt"));
    EXPECT_TRUE(PathExists(folder + "\\drop.DLL"));
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const std::string prefix = "Delete section DELETE VrkLV longer than 1024 bytes; line not processed: 20=";
    const auto at = std::find_if(messages.begin(), messages.end(),
                                 [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
    ASSERT_NE(messages.end(), at) << ::testing::PrintToString(messages);
    EXPECT_EQ(1, levels[at - messages.begin()]);
}

}  // namespace
