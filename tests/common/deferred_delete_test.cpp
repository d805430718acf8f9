// Removal at the next start: PendingFileRenameOperations from build 1381 on, DELETE.LST
// below it, end to end through Wine's own restart processing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/files.h"
#include "common/handles.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "common_fixture.h"
#include "machine.h"

using namespace testing_machine;
using namespace common_test;

namespace {

std::string Pending(const std::vector<std::string>& strings) {
    std::string bytes;
    for (const std::string& s : strings) bytes += s + '\0';
    return bytes + '\0';
}

bool SetPending(const std::string& bytes, DWORD type = REG_MULTI_SZ) {
    return SetRegBytes(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", type, bytes);
}

std::string PendingBytes() {
    std::string bytes;
    GetRegValue(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", &bytes);
    return bytes;
}

// The value as another program may have left it: the strings with their NULs but the last one's,
// and no closing NUL. A byte other than NUL lies behind the data, or the platform would add the end.
bool SetPendingWithoutFinalNuls(const std::vector<std::string>& strings) {
    std::string bytes;
    for (const std::string& s : strings) bytes += s + '\0';
    bytes.back() = 'X';
    vrk::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return false;
    return RegSetValueExA(key.get(), "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                          reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size() - 1)) ==
               ERROR_SUCCESS &&
           PendingBytes().size() == bytes.size() - 1;
}

class DeferredDeleteTest : public ::testing::Test {
protected:
    void SetUp() override {
        CloseSetupLog();
        ClearPendingRenames();
        dir_ = FreshDirectory("deferred");
    }
    void TearDown() override {
        CloseSetupLog();
        ClearPendingRenames();
        SetProgramWindowsVersion("common_probe.exe", "win7");
    }
    std::string dir_;
};

TEST_F(DeferredDeleteTest, PairIsAddedOnceWhateverTheCase) {
    EXPECT_TRUE(AddPendingDelete("C:\\temp\\deferred\\a.dll"));
    EXPECT_TRUE(AddPendingDelete("C:\\TEMP\\Deferred\\A.DLL"));
    EXPECT_EQ(Pending({"\\??\\C:\\temp\\deferred\\a.dll", ""}), PendingBytes());
    EXPECT_TRUE(AddPendingDelete("C:\\temp\\deferred\\b.dll"));
    EXPECT_EQ(Pending({"\\??\\C:\\temp\\deferred\\a.dll", "", "\\??\\C:\\temp\\deferred\\b.dll", ""}), PendingBytes());
}

TEST_F(DeferredDeleteTest, PairsOfOthersAreKept) {
    ASSERT_TRUE(SetPending(Pending({"\\??\\C:\\old.dll", "!\\??\\C:\\new.dll", "\\??\\C:\\gone.sys", ""})));
    EXPECT_TRUE(AddPendingDelete("C:\\mine.dll"));
    EXPECT_EQ(Pending({"\\??\\C:\\old.dll", "!\\??\\C:\\new.dll", "\\??\\C:\\gone.sys", "", "\\??\\C:\\mine.dll", ""}),
              PendingBytes());
    // A target equal to the entry is no source: the entry is still added.
    ClearPendingRenames();
    ASSERT_TRUE(SetPending(Pending({"\\??\\C:\\x.dll", "\\??\\C:\\mine.dll"})));
    EXPECT_TRUE(AddPendingDelete("C:\\mine.dll"));
    EXPECT_EQ(Pending({"\\??\\C:\\x.dll", "\\??\\C:\\mine.dll", "\\??\\C:\\mine.dll", ""}), PendingBytes());
}

TEST_F(DeferredDeleteTest, SourceWithoutTargetKeepsItsPlace) {
    ASSERT_TRUE(SetPending(std::string("\\??\\C:\\half.dll\0", 16)));
    EXPECT_TRUE(AddPendingDelete("C:\\mine.dll"));
    EXPECT_EQ(Pending({"\\??\\C:\\half.dll", "", "\\??\\C:\\mine.dll", ""}), PendingBytes());
}

TEST_F(DeferredDeleteTest, LastStringWithoutItsNulKeepsItsText) {
    // A source without target and without NUL: it becomes a delete of its own, ours follows.
    ASSERT_TRUE(SetPendingWithoutFinalNuls({"\\??\\C:\\old.dll", "!\\??\\C:\\new.dll", "\\??\\C:\\half.dll"}));
    EXPECT_TRUE(AddPendingDelete("C:\\mine.dll"));
    EXPECT_EQ(Pending({"\\??\\C:\\old.dll", "!\\??\\C:\\new.dll", "\\??\\C:\\half.dll", "",
                       "\\??\\C:\\mine.dll", ""}),
              PendingBytes());
    // A target without NUL: another program's rename stays as it was, ours follows.
    ClearPendingRenames();
    ASSERT_TRUE(SetPendingWithoutFinalNuls({"\\??\\C:\\old.dll", "!\\??\\C:\\new.dll"}));
    EXPECT_TRUE(AddPendingDelete("C:\\mine.dll"));
    EXPECT_EQ(Pending({"\\??\\C:\\old.dll", "!\\??\\C:\\new.dll", "\\??\\C:\\mine.dll", ""}), PendingBytes());
}

TEST_F(DeferredDeleteTest, ValuesNearAndAbove64KiBAreNeverCut) {
    for (size_t total : {65000u, 65530u, 65535u, 65536u, 70000u, 200000u}) {
        std::vector<std::string> strings;
        std::string bytes;
        for (int i = 0; Pending(strings).size() < total; ++i) {
            strings.push_back("\\??\\C:\\temp\\deferred\\file" + std::to_string(i) + std::string(40, 'p') + ".dll");
            strings.push_back("");
        }
        bytes = Pending(strings);
        ASSERT_TRUE(SetPending(bytes));
        EXPECT_TRUE(AddPendingDelete("C:\\temp\\deferred\\new.dll")) << total;
        std::vector<std::string> expected = strings;
        expected.push_back("\\??\\C:\\temp\\deferred\\new.dll");
        expected.push_back("");
        EXPECT_EQ(Pending(expected), PendingBytes()) << total;
        // An entry already there is found however far back it stands.
        EXPECT_TRUE(AddPendingDelete(strings[strings.size() - 2].substr(4).c_str()));
        EXPECT_EQ(Pending(expected).size(), PendingBytes().size()) << total;
    }
}

TEST_F(DeferredDeleteTest, ValueOfAnotherTypeIsLeftAlone) {
    ASSERT_TRUE(SetPending("not a list", REG_BINARY));
    EXPECT_FALSE(AddPendingDelete("C:\\mine.dll"));
    EXPECT_EQ("not a list", PendingBytes());
}

TEST_F(DeferredDeleteTest, HeldFileIsScheduledOnceAndGoneAfterRestart) {
    const std::string path = dir_ + "\\held.dll";
    ASSERT_TRUE(WriteFileBytes(path, "driver"));
    const std::string log = "C:\\temp\\deferred.log";
    ASSERT_TRUE(OpenTestLog(log, 2));
    {
        HeldFile held(path);
        ASSERT_TRUE(held.holding());
        DeleteOneFile(dir_.c_str(), "held.dll", FALSE);
        DeleteOneFile(dir_.c_str(), "HELD.DLL", FALSE);
        EXPECT_TRUE(PathExists(path));
        EXPECT_EQ((std::vector<std::string>{"\\??\\" + path, ""}), PendingRenames());
    }
    CloseSetupLog();
    const std::vector<std::string> messages = LogMessages(log);
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("DeleteOneFile : file can not delete now; add to the dellist " + path, messages[0]);

    ProgramResult restart = RunProgram("wineboot.exe -r", 120000);
    ASSERT_TRUE(restart.started);
    EXPECT_FALSE(PathExists(path));
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", nullptr));
}

TEST_F(DeferredDeleteTest, BuildBelow1381AppendsToDeleteLst) {
    SetProgramWindowsVersion("common_probe.exe", "nt351");
    ProgramResult build = RunProbe("build");
    ASSERT_LT(std::stoul(build.out), 1381ul) << build.out;

    const std::string list = Expand("%SystemRoot%\\DELETE.LST");
    ASSERT_TRUE(WriteFileBytes(list, "C:\\old\\left.dll"));
    const std::string path = dir_ + "\\held.dll";
    ASSERT_TRUE(WriteFileBytes(path, "driver"));
    SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", "C:\\temp\\nt351.log");
    SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", 2);
    {
        HeldFile held(path);
        ASSERT_TRUE(held.holding());
        ProgramResult r = RunProbe("delete " + dir_ + " held.dll");
        EXPECT_EQ(0u, r.exitCode) << r.out << r.err;
        EXPECT_EQ((std::vector<std::string>{"DeleteOneFile : file can not delete now; add to the dellist " + path}),
                  LogMessages("C:\\temp\\nt351.log"));
        // DELETE.LST may hold duplicates.
        RunProbe("schedule " + path);
    }
    EXPECT_EQ("C:\\old\\left.dll\r\n" + path + "\r\n" + path + "\r\n", ReadFileBytes(list));
    EXPECT_TRUE(PendingRenames().empty());
    EXPECT_TRUE(PathExists(path));

    SetProgramWindowsVersion("common_probe.exe", "nt40");
    build = RunProbe("build");
    EXPECT_EQ("1381", FirstLine(build.out));
    RunProbe("schedule " + path);
    EXPECT_EQ((std::vector<std::string>{"\\??\\" + path, ""}), PendingRenames());
}

}  // namespace
