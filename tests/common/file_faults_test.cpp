// Files the common library writes, on a full drive and held by other programs: a file replaced
// whole is all new or all old, DELETE.LST gains whole lines or none, a removal that cannot be
// scheduled says so, and the setup log keeps whole lines and what it held.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/files.h"
#include "common/setup_log.h"
#include "common_fixture.h"
#include "file_holder.h"
#include "machine.h"
#include "small_drive.h"

using namespace testing_machine;
using namespace testing_holder;
using namespace common_test;

namespace {

#define REQUIRE_SMALL_DRIVE()                                                                  \
    if (!testing_small_drive::Available()) GTEST_SKIP() << "no small drive T: on this machine: " \
                                                           "the harness could not mount one (not root?)"

bool Replace(const std::string& path, const std::string& bytes) {
    return ReplaceFileWhole(path.c_str(), bytes.data(), static_cast<DWORD>(bytes.size())) != FALSE;
}

// The lines of a setup log that do not have the form of one: two digits, two digits, the time
// stamp, ": ", and a message that was written whole.
std::vector<std::string> MalformedLines(const std::string& log, const std::vector<std::string>& messages) {
    std::vector<std::string> bad;
    for (const std::string& line : SplitLines(log)) {
        if (line + "\r\n" == kLogBanner) continue;
        bool known = false;
        for (const std::string& m : messages) known = known || (line.size() == 31 + m.size() && line.substr(31) == m);
        if (!known || line.compare(0, 6, "33 01 ") != 0 || line[29] != ':') bad.push_back(line);
    }
    return bad;
}

class FileFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CloseSetupLog();
        ClearPendingRenames();
        dir_ = FreshDirectory("filefaults");
    }
    void TearDown() override {
        CloseSetupLog();
        ClearPendingRenames();
        SetProgramWindowsVersion("common_probe.exe", "win7");
    }
    std::string dir_;
};

TEST_F(FileFaultsTest, AFileReplacedWholeHoldsAllOfTheNewBytesOrAllOfTheOld) {
    const std::string file = dir_ + "\\caller.dat";
    ASSERT_TRUE(Replace(file, "first"));
    EXPECT_EQ("first", ReadFileBytes(file));
    ASSERT_TRUE(Replace(file, std::string(10000, 's')));
    EXPECT_EQ(std::string(10000, 's'), ReadFileBytes(file));
    ASSERT_TRUE(Replace(file, ""));
    EXPECT_TRUE(PathExists(file));
    EXPECT_EQ("", ReadFileBytes(file));
    ASSERT_TRUE(WriteFileBytes(file, "kept"));
    // A file left behind by a writer that died is taken over.
    ASSERT_TRUE(WriteFileBytes(file + ".new", "half of an earl"));
    ASSERT_TRUE(Replace(file, "after a crash"));
    EXPECT_EQ("after a crash", ReadFileBytes(file));
    EXPECT_FALSE(PathExists(file + ".new"));

    ASSERT_TRUE(WriteFileBytes(file, "kept"));
    for (Sharing sharing : {Sharing::None, Sharing::Read}) {
        FileHolder holder(file, sharing);
        ASSERT_TRUE(holder.holding());
        SetLastError(0);
        EXPECT_FALSE(Replace(file, "lost")) << (sharing == Sharing::None ? "held alone" : "held by a viewer");
        EXPECT_NE(0u, GetLastError());
        holder.Release();
        EXPECT_EQ("kept", ReadFileBytes(file));
        EXPECT_FALSE(PathExists(file + ".new"));
    }
    EXPECT_FALSE(Replace(dir_ + "\\missing\\caller.dat", "x"));
    EXPECT_FALSE(PathExists(dir_ + "\\missing"));
    EXPECT_FALSE(Replace("C:\\" + std::string(252, 'n'), "x")) << "no room for the name of the new file";
}

TEST_F(FileFaultsTest, OnAFullDriveAReplacedFileAndDeleteLstStayAsTheyWereUntilThereIsRoom) {
    REQUIRE_SMALL_DRIVE();
    const std::string dir = testing_small_drive::FreshFolder("full");
    const std::string file = dir + "\\caller.dat";
    const std::string list = dir + "\\DELETE.LST";
    const std::string old(3000, 'o');
    ASSERT_TRUE(WriteFileBytes(file, old));
    ASSERT_TRUE(WriteFileBytes(list, "C:\\old\\left.dll"));
    const std::string longer(9000, 'n');
    {
        testing_small_drive::Filler filler;
        ASSERT_TRUE(filler.full());
        SetLastError(0);
        EXPECT_FALSE(Replace(file, longer));
        EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), GetLastError());
        EXPECT_EQ(old, ReadFileBytes(file));
        EXPECT_FALSE(PathExists(file + ".new"));
        const std::string line = "C:\\x\\" + std::string(200, 'p');
        for (int i = 0; i < 40; ++i) EXPECT_FALSE(AppendLineToFile(list.c_str(), line.c_str()));
        EXPECT_EQ("C:\\old\\left.dll", ReadFileBytes(list));
        EXPECT_FALSE(PathExists(list + ".new"));
        filler.Free();
        ASSERT_TRUE(Replace(file, longer));
        EXPECT_TRUE(AppendLineToFile(list.c_str(), "C:\\x\\later.dll"));
    }
    EXPECT_EQ(longer, ReadFileBytes(file));
    EXPECT_EQ("C:\\old\\left.dll\r\nC:\\x\\later.dll\r\n", ReadFileBytes(list));
}

// A removal that can be neither done nor scheduled stays undone: the log says so as a failure,
// never that it was added to the list.
TEST_F(FileFaultsTest, ARemovalThatCannotBeScheduledIsLoggedAsAFailure) {
    const std::string log = "C:\\temp\\faults.log";
    SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", log);
    SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", 2);
    const std::string path = dir_ + "\\held.dll";
    ASSERT_TRUE(WriteFileBytes(path, "driver"));
    FileHolder dll(path, Sharing::Read);
    ASSERT_TRUE(dll.holding());

    // Below build 1381: DELETE.LST held by another program.
    SetProgramWindowsVersion("common_probe.exe", "nt351");
    const std::string list = Expand("%SystemRoot%\\DELETE.LST");
    ASSERT_TRUE(WriteFileBytes(list, "C:\\old\\left.dll\r\n"));
    for (Sharing sharing : {Sharing::None, Sharing::Read}) {
        FileHolder holder(list, sharing);
        ASSERT_TRUE(holder.holding());
        ProgramResult r = RunProbe("delete " + dir_ + " held.dll");
        EXPECT_EQ(0u, r.exitCode) << r.out << r.err;
        const std::vector<std::string> lines = SplitLines(ReadFileBytes(log));
        ASSERT_EQ(2u, lines.size());
        EXPECT_EQ("33 01 ", lines[1].substr(0, 6));
        EXPECT_EQ("DeleteOneFile : file can not delete now; can not add to the dellist " + path, lines[1].substr(31));
        holder.Release();
        EXPECT_EQ("C:\\old\\left.dll\r\n", ReadFileBytes(list));
    }
    ProgramResult r = RunProbe("delete " + dir_ + " held.dll");
    EXPECT_EQ("DeleteOneFile : file can not delete now; add to the dellist " + path, LogMessages(log).at(0));
    EXPECT_EQ("C:\\old\\left.dll\r\n" + path + "\r\n", ReadFileBytes(list));

    // From build 1381 on: PendingFileRenameOperations of another type, which is left alone.
    SetProgramWindowsVersion("common_probe.exe", "win7");
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", REG_BINARY, "binary"));
    ASSERT_TRUE(OpenTestLog(log, 2));
    DeleteOneFile(dir_.c_str(), "held.dll", FALSE);
    DeleteOneFile(dir_.c_str(), "held.dll", TRUE);
    CloseSetupLog();
    const std::vector<std::string> lines = SplitLines(ReadFileBytes(log));
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("33 01 ", lines[1].substr(0, 6));
    EXPECT_EQ("DeleteOneFile : file can not delete now; can not add to the dellist " + path, lines[1].substr(31));
    EXPECT_EQ("33 01 ", lines[2].substr(0, 6));
    EXPECT_EQ("DeleteOneFile : can not add to the dellist " + path, lines[2].substr(31));
    std::string bytes;
    EXPECT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", &bytes));
    EXPECT_EQ("binary", bytes);
}

TEST_F(FileFaultsTest, TheSetupLogOnAFullDriveHoldsWholeLinesOnly) {
    REQUIRE_SMALL_DRIVE();
    const std::string log = testing_small_drive::FreshFolder("log") + "\\setup.log";
    ASSERT_TRUE(OpenTestLog(log, 1));
    std::vector<std::string> messages;
    testing_small_drive::Filler filler;
    ASSERT_TRUE(filler.full());
    // The file's first block has room left behind the banner: the lines fill it, and one of them
    // meets its end.
    for (int i = 0; i < 120; ++i) {
        messages.push_back("line " + std::to_string(i) + " " + std::string(41 + i % 7, 'a' + i % 26));
        WriteSetupLog(kLogSourceSetup, kLogFailure, "%s", messages.back().c_str());
    }
    const size_t whileFull = SplitLines(ReadFileBytes(log)).size();
    EXPECT_LT(whileFull, 1u + messages.size()) << "the drive never filled up";
    filler.Free();
    for (int i = 120; i < 130; ++i) {
        messages.push_back("line " + std::to_string(i) + " after");
        WriteSetupLog(kLogSourceSetup, kLogFailure, "%s", messages.back().c_str());
    }
    CloseSetupLog();
    const std::string text = ReadFileBytes(log);
    EXPECT_EQ(0u, text.rfind(kLogBanner, 0));
    const std::vector<std::string> bad = MalformedLines(text, messages);
    EXPECT_TRUE(bad.empty()) << bad.size() << " lines cut or run together, the first: " << (bad.empty() ? "" : bad[0]);
    EXPECT_EQ(whileFull + 10, SplitLines(text).size());
    EXPECT_EQ("\r\n", text.substr(text.size() - 2));
}

TEST_F(FileFaultsTest, ASetupLogHeldByAnotherProgramIsLeftAsItWas) {
    const std::string log = dir_ + "\\setup.log";
    const std::string earlier = std::string(kLogBanner) + "33 02 01.01.2000 00:00:00.000: earlier run\r\n";
    for (Sharing sharing : {Sharing::None, Sharing::Read}) {
        ASSERT_TRUE(WriteFileBytes(log, earlier));
        FileHolder holder(log, sharing);
        ASSERT_TRUE(holder.holding());
        EXPECT_FALSE(OpenTestLog(log, 2));
        EXPECT_EQ(0u, LogLevel);
        WriteSetupLog(kLogSourceSetup, kLogFailure, "not written");
        holder.Release();
        EXPECT_EQ(earlier, ReadFileBytes(log));
        LogLevel = 255;
    }
}

// A rename of the maker's directory whose source or target another program holds: nothing moves,
// and neither file is lost.
TEST_F(FileFaultsTest, AMoveWhoseSourceOrTargetIsHeldLeavesBothFilesWhereTheyWere) {
    const std::string log = "C:\\temp\\faults.log";
    const std::string source = dir_ + "\\old.dll", target = dir_ + "\\new.dll";
    const struct {
        const std::string* held;
        Sharing sharing;
        const char* line;  // the failure line's start
    } cases[] = {
        {&source, Sharing::None, "Move file did not successful ("},
        {&source, Sharing::Read, "Move file did not successful ("},
        {&target, Sharing::None, "in Move file delete file did not successful ("},
        {&target, Sharing::Read, "in Move file delete file did not successful ("},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(*c.held + (c.sharing == Sharing::None ? " held alone" : " held by a viewer"));
        ASSERT_TRUE(WriteFileBytes(source, "old"));
        ASSERT_TRUE(WriteFileBytes(target, "current"));
        ASSERT_TRUE(OpenTestLog(log, 2));
        {
            FileHolder holder(*c.held, c.sharing);
            ASSERT_TRUE(holder.holding());
            EXPECT_FALSE(MoveOneFile(dir_.c_str(), "old.dll", dir_.c_str(), "new.dll"));
        }
        CloseSetupLog();
        EXPECT_EQ("old", ReadFileBytes(source));
        EXPECT_EQ("current", ReadFileBytes(target));
        const std::vector<std::string> lines = SplitLines(ReadFileBytes(log));
        ASSERT_EQ(2u, lines.size());
        EXPECT_EQ("33 01 ", lines[1].substr(0, 6));
        EXPECT_EQ(31u, lines[1].find(c.line, 31)) << lines[1];
    }
}

}  // namespace
