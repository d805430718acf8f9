// The update of an older installation through the setup engine's stand-in: the old router tree
// moved value by value, the old maker key, the event-log sources, and the two file lists.
#include <cstring>
#include <string>
#include <vector>

#include "maintenance_fixture.h"

using namespace maintenance_testing;
using namespace testing_machine;

namespace {

const char kOldTree[] = "SOFTWARE\\VARNEK GmbH\\VrkMpr";
const char kNewTree[] = "SOFTWARE\\VARNEK\\VrkMpr";
const char kOldMaker[] = "SOFTWARE\\VARNEK GmbH";
const char kDialCore[] = "SOFTWARE\\VARNEK GmbH\\DialCore";
const char kApplication[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application";
const char kSystem[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System";

class UpdateTest : public MaintenanceTest {
protected:
    void SetUp() override {
        MaintenanceTest::SetUp();
        DeleteDeepTree(HKEY_LOCAL_MACHINE, kOldMaker);
        DeleteDeepTree(HKEY_LOCAL_MACHINE, kNewTree);
    }

    static ProgramResult Update() { return CallExport("VrkMprUpdateOldVersion"); }

    void CopyOldFile(const std::string& name) {
        ASSERT_TRUE(CopyFileA(("C:\\testbed\\oldinstall\\files\\" + name).c_str(), Maker(name).c_str(), FALSE)) << name;
    }
};

TEST_F(UpdateTest, TheOldRouterTreeArrivesValueByValueAndTheOldMakerKeyGoes) {
    ASSERT_TRUE(ImportOldInstall("old-router.reg"));
    const RegTree old = ReadRegTree(HKEY_LOCAL_MACHINE, kOldTree);
    ASSERT_GE(old.size(), 20u);
    ASSERT_TRUE(old.count("Service\\IP\\Routes\\Static\\Net1\\Gateway\\Metric\\Hops|"));
    ASSERT_EQ(static_cast<DWORD>(REG_NONE), old.at("|Nothing").type);
    ASSERT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kOldTree) + "\\Empty\\Below\\Further"));
    // The current release's tree has a value of its own and one the old tree also has: the old wins.
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, std::string(kNewTree) + "\\CurrentVersion", "Pathname", "new",
                             REG_SZ));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, std::string(kNewTree) + "\\CurrentVersion", "OnlyNew", 5));

    ProgramResult r = Update();
    EXPECT_EQ(Answer("VrkMprUpdateOldVersion", true, "OK"), r.out);
    RegTree expected = old;
    expected["CurrentVersion|OnlyNew"] = RegValueCopy{REG_DWORD, std::string("\x05\x00\x00\x00", 4)};
    const RegTree now = ReadRegTree(HKEY_LOCAL_MACHINE, kNewTree);
    EXPECT_EQ(expected.size(), now.size());
    for (const auto& value : expected) {
        const auto found = now.find(value.first);
        ASSERT_NE(now.end(), found) << value.first;
        EXPECT_EQ(value.second.type, found->second.type) << value.first;
        EXPECT_EQ(value.second.bytes, found->second.bytes) << value.first;
    }
    // Keys without values anywhere below them are not made again.
    const std::vector<std::string> keys = RegSubkeysBelow(HKEY_LOCAL_MACHINE, kNewTree);
    EXPECT_EQ(keys.end(), std::find(keys.begin(), keys.end(), "Empty"));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kOldMaker));

    // The router's old event-log sources are gone, the other sources stay in their order.
    for (const char* source : {"VRKLOGSV", "VRKMPRSV", "MPR SNMP-Agent"})
        EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kApplication) + "\\" + source)) << source;
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kSystem) + "\\VrkMpr"));
    EXPECT_EQ((std::vector<std::string>{"Application", "Perflib", "WinHlp32"}),
              ReadMultiString(HKEY_LOCAL_MACHINE, kApplication, "Sources"));
    EXPECT_EQ((std::vector<std::string>{"System", "Tcpip", "VrkRas", "Serial"}),
              ReadMultiString(HKEY_LOCAL_MACHINE, kSystem, "Sources"));
    const std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkMprUpdateOldVersion ENTER"));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkMprUpdateOldVersion LEAVE; OK"));
}

TEST_F(UpdateTest, OldRemoteAccessSettingsKeepTheOldMakerKey) {
    ASSERT_TRUE(ImportOldInstall("old-router.reg"));
    ASSERT_TRUE(ImportOldInstall("old-dialcore.reg"));
    const RegTree old = ReadRegTree(HKEY_LOCAL_MACHINE, kOldTree);
    const RegTree dialCore = ReadRegTree(HKEY_LOCAL_MACHINE, kDialCore);
    ASSERT_EQ(3u, dialCore.size());
    EXPECT_EQ(Answer("VrkMprUpdateOldVersion", true, "OK"), Update().out);
    EXPECT_EQ(old, ReadRegTree(HKEY_LOCAL_MACHINE, kNewTree));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kOldTree));
    EXPECT_EQ(dialCore, ReadRegTree(HKEY_LOCAL_MACHINE, kDialCore));
    EXPECT_EQ((std::vector<std::string>{"DialCore", "DialCore\\Parameters"}),
              RegSubkeysBelow(HKEY_LOCAL_MACHINE, kOldMaker));
}

TEST_F(UpdateTest, AnOldTreeThatCannotBeCopiedWholeStaysWhereItIs) {
    struct Case {
        const char* title;
        void (*prepare)();
    } cases[] = {
        {"a value name with a backslash", [] { ASSERT_TRUE(ImportOldInstall("old-router-unmovable.reg")); }},
        {"a key path longer than 260 characters",
         [] {
             // Made one level at a time: a path text of this length is more than the helpers take.
             HKEY key = nullptr;
             ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kOldTree, 0, KEY_ALL_ACCESS, &key));
             size_t length = strlen(kOldTree);
             for (int level = 0; length < 300; ++level) {
                 const std::string name = "Level" + std::to_string(level) + std::string(20, 'x');
                 HKEY child = nullptr;
                 ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                          &child, nullptr));
                 RegCloseKey(key);
                 key = child;
                 length += name.size() + 1;
             }
             const DWORD depth = 300;
             EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Depth", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&depth),
                                                     sizeof depth));
             RegCloseKey(key);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        DeleteDeepTree(HKEY_LOCAL_MACHINE, kOldMaker);
        DeleteDeepTree(HKEY_LOCAL_MACHINE, kNewTree);
        ASSERT_TRUE(ImportOldInstall("old-router.reg"));
        c.prepare();
        const RegTree old = ReadRegTree(HKEY_LOCAL_MACHINE, kOldTree);
        DeleteFileA(kLogFile);
        EXPECT_EQ(Answer("VrkMprUpdateOldVersion", true, "OK"), Update().out);
        EXPECT_EQ(old, ReadRegTree(HKEY_LOCAL_MACHINE, kOldTree));
        // What could be copied is there; nothing of the old tree is lost.
        const RegTree now = ReadRegTree(HKEY_LOCAL_MACHINE, kNewTree);
        EXPECT_EQ(old.at("|Version"), now.at("|Version"));
        std::vector<int> levels;
        const std::vector<std::string> messages = LogMessages(&levels);
        const std::string line = "MoveOldRouterKeys: SOFTWARE\\VARNEK GmbH\\VrkMpr not copied completely to "
                                 "SOFTWARE\\VARNEK\\VrkMpr; the old key stays";
        const auto at = std::find(messages.begin(), messages.end(), line);
        ASSERT_NE(messages.end(), at);
        EXPECT_EQ(1, levels[at - messages.begin()]);
    }
}

TEST_F(UpdateTest, WithoutAnOldTreeTheFileListsAndSourcesStillRun) {
    ASSERT_TRUE(ImportOldInstall("old-router.reg"));
    DeleteDeepTree(HKEY_LOCAL_MACHINE, kOldMaker);
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "Kept", "yes"));
    const RegTree before = ReadRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK");
    CopyOldFile("VRKSETUP.DLL");
    EXPECT_EQ(Answer("VrkMprUpdateOldVersion", true, "OK"), Update().out);
    EXPECT_EQ(before, ReadRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK"));
    EXPECT_FALSE(PathExists(Maker("VRKSETUP.DLL")));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kApplication) + "\\VRKMPRSV"));
}

TEST_F(UpdateTest, OldFilesAreDeletedAndMovedWhileAMissingOldFileLeavesTheCurrentOne) {
    for (const char* name : {"VRKSETUP.DLL", "VRKSETUP.HLP", "MPRSETUP.DLL", "FIREWALL.DAT", "FILTER.DAT"})
        CopyOldFile(name);
    ASSERT_TRUE(WriteFileBytes(Maker("VrkMprFlt.dat"), "current filter"));
    // The old MPRADDR.DAT is not there: the current address list must survive the move line.
    ASSERT_TRUE(WriteFileBytes(Maker("VrkMprAd.dat"), "current addresses"));
    const std::string firewall = ReadFileBytes(Maker("FIREWALL.DAT"));
    const std::string filter = ReadFileBytes(Maker("FILTER.DAT"));
    EXPECT_EQ(Answer("VrkMprUpdateOldVersion", true, "OK"), Update().out);
    for (const char* name : {"VRKSETUP.DLL", "VRKSETUP.HLP", "MPRSETUP.DLL", "FIREWALL.DAT", "FILTER.DAT"})
        EXPECT_FALSE(PathExists(Maker(name))) << name;
    EXPECT_EQ(firewall, ReadFileBytes(Maker("VrkMprFw.dat")));
    EXPECT_EQ(filter, ReadFileBytes(Maker("VrkMprFlt.dat")));
    EXPECT_EQ("current addresses", ReadFileBytes(Maker("VrkMprAd.dat")));
    for (const char* current : {"VRKSUDLL.DLL", "LANGENG.DLL", "LANGGER.DLL", "DELFILES.DAT"})
        EXPECT_TRUE(PathExists(Maker(current))) << current;
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const std::string missing =
        "Move file did not successful (" + Maker("MPRADDR.DAT") + " --> " + Maker("VrkMprAd.dat") + "); error 2";
    const auto at = std::find(messages.begin(), messages.end(), missing);
    ASSERT_NE(messages.end(), at) << ::testing::PrintToString(messages);
    EXPECT_EQ(1, levels[at - messages.begin()]);
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(),
                                        "Move File from " + Maker("FIREWALL.DAT") + " to " + Maker("VrkMprFw.dat")));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(),
                                        "_DeleteFileList DELETE Old Setup;ini=" + Maker("DELFILES.DAT")));
}

TEST_F(UpdateTest, SectionsThatNameThemselvesEndAndSayWhy) {
    std::string list =
        "[MOVE OLD VrkMpr]\r\n1=a.old,a.new\r\nSECTION=MOVE Two\r\n3=e.old,e.new\r\n"
        "[MOVE Two]\r\n2=c.old,c.new\r\nsection=move old vrkmpr\r\nSECTION=MOVE Two\r\n"
        "[DELETE Old Setup]\r\n1=x.old\r\nSECTION=DELETE Old Setup\r\nSECTION=DELETE 1\r\n";
    // A chain deeper than the nesting limit, without a cycle.
    for (int i = 1; i <= 10; ++i)
        list += "[DELETE " + std::to_string(i) + "]\r\n" + std::to_string(i) + "=d" + std::to_string(i) +
                ".old\r\nSECTION=DELETE " + std::to_string(i + 1) + "\r\n";
    DelFilesOverride override(list);
    for (const char* name : {"a.old", "c.old", "e.old", "x.old"}) ASSERT_TRUE(WriteFileBytes(Maker(name), name));
    for (int i = 1; i <= 10; ++i) ASSERT_TRUE(WriteFileBytes(Maker("d" + std::to_string(i) + ".old"), "d"));
    const ProgramResult r = CallExport("VrkMprUpdateOldVersion", 30000);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(Answer("VrkMprUpdateOldVersion", true, "OK"), r.out);
    for (const char* name : {"a.new", "c.new", "e.new"}) EXPECT_TRUE(PathExists(Maker(name))) << name;
    EXPECT_FALSE(PathExists(Maker("x.old")));
    // The old setup list and seven more make eight sections: d1 to d7 are deleted, d8 is not reached.
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(i > 7, PathExists(Maker("d" + std::to_string(i) + ".old"))) << i;
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const std::vector<std::string> expected = {
        "Delete section DELETE Old Setup names section DELETE Old Setup, which is being processed; skipped",
        "Delete section DELETE 7 nests sections deeper than 8; DELETE 8 skipped",
        "Moving section MOVE Two names section move old vrkmpr, which is being processed; skipped",
        "Moving section MOVE Two names section MOVE Two, which is being processed; skipped",
    };
    for (const std::string& line : expected) {
        const auto at = std::find(messages.begin(), messages.end(), line);
        ASSERT_NE(messages.end(), at) << line << "\n" << ::testing::PrintToString(messages);
        EXPECT_EQ(1, levels[at - messages.begin()]);
    }
    for (const char* name : {"a.new", "c.new", "e.new", "d8.old", "d9.old", "d10.old"}) DeleteFileA(Maker(name).c_str());
}

TEST_F(UpdateTest, ASectionLongerThanItsBufferLosesTheLineThatWasCut) {
    const std::string folder = FreshDirectory("cutlist");
    ASSERT_TRUE(WriteFileBytes(folder + "\\keep.txt", "keep"));
    ASSERT_TRUE(WriteFileBytes(folder + "\\drop.DLL", "drop"));
    // Lines of 100 bytes with their NUL up to byte 1000, then the mask, which the 1024-byte read cuts.
    std::string section = "[DELETE Old Setup]\r\n";
    for (int i = 0; i < 10; ++i) {
        std::string line = std::to_string(10 + i) + "=missing";
        line += std::string(99 - line.size() - 4, 'x') + ".old";
        section += line + "\r\n";
    }
    const std::string mask = "20=" + folder + "\\*.DLL";
    section += mask + "\r\n21=" + folder + "\\drop.DLL\r\n";
    ASSERT_GT(1000 + mask.size() + 1, 1022u) << "the mask must reach past the buffer";
    DelFilesOverride override(section);
    EXPECT_EQ(Answer("VrkRasProvideRegistry", true, "OK"), CallExport("VrkRasProvideRegistry 0").out);
    EXPECT_TRUE(PathExists(folder + "\\keep.txt"));
    EXPECT_TRUE(PathExists(folder + "\\drop.DLL"));
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const std::string prefix = "Delete section DELETE Old Setup longer than 1024 bytes; line not processed: 20=";
    const auto at = std::find_if(messages.begin(), messages.end(),
                                 [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
    ASSERT_NE(messages.end(), at) << ::testing::PrintToString(messages);
    EXPECT_EQ(1, levels[at - messages.begin()]);
}

TEST_F(UpdateTest, RemoteAccessUpdateRegistersTheEventSource) {
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, std::string(kSystem) + "\\VrkRas");
    EXPECT_EQ(Answer("VrkRasUpdateOldVersion", true, "OK"), CallExport("VrkRasUpdateOldVersion 1f").out);
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, std::string(kSystem) + "\\VrkRas", "EventMessageFile", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    EXPECT_EQ(std::string("%SystemRoot%\\SYSTEM32\\Drivers\\VrkRas.SYS") + '\0', bytes);
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, std::string(kSystem) + "\\VrkRas", "TypesSupported", &bytes, &type));
    EXPECT_EQ(std::string("\x07\x00\x00\x00", 4), bytes);
    const std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkRasUpdateOldVersion ENTER; wnd=1f"));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkRasUpdateOldVersion LEAVE; OK"));
}

}  // namespace
