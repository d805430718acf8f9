// Delete and move operations on files that are free: what is removed now, what is
// scheduled, what is logged, and that no long name is ever cut into another file's path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/files.h"
#include "common/setup_log.h"
#include "common_fixture.h"
#include "machine.h"

using namespace testing_machine;
using namespace common_test;

namespace {

class FileOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CloseSetupLog();
        ClearPendingRenames();
        dir_ = FreshDirectory("fileops");
        log_ = "C:\\temp\\fileops.log";
        ASSERT_TRUE(OpenTestLog(log_, 2));
    }
    void TearDown() override {
        CloseSetupLog();
        ClearPendingRenames();
    }
    std::string Make(const std::string& name, const std::string& bytes = "x") {
        const std::string path = dir_ + "\\" + name;
        EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
        return path;
    }
    std::vector<std::string> Messages() {
        CloseSetupLog();
        std::vector<std::string> m = LogMessages(log_);
        return m;
    }
    std::string dir_, log_;
};

TEST_F(FileOperationsTest, ReadOnlyFileThatIsFreeIsDeletedAtOnce) {
    const std::string path = Make("ro.dll");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    DeleteOneFile(dir_.c_str(), "ro.dll", FALSE);
    EXPECT_FALSE(PathExists(path));
    EXPECT_TRUE(PendingRenames().empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(FileOperationsTest, MissingFileIsLoggedOnly) {
    DeleteOneFile(dir_.c_str(), "gone.dll", FALSE);
    EXPECT_EQ((std::vector<std::string>{"DeleteOneFile : File or directory not found " + dir_ + "\\gone.dll"}),
              Messages());
    EXPECT_TRUE(PendingRenames().empty());
}

TEST_F(FileOperationsTest, AlwaysDeferredSchedulesWithoutDeleting) {
    const std::string path = Make("later.sys");
    DeleteOneFile(dir_.c_str(), "later.sys", TRUE);
    EXPECT_TRUE(PathExists(path));
    EXPECT_EQ((std::vector<std::string>{"\\??\\" + path, ""}), PendingRenames());
}

TEST_F(FileOperationsTest, DirectoryGoesWhenEmptyAndIsScheduledOtherwise) {
    CreateDirectoryA((dir_ + "\\empty").c_str(), nullptr);
    CreateDirectoryA((dir_ + "\\full").c_str(), nullptr);
    Make("full\\inside.txt");
    DeleteOneFile(dir_.c_str(), "empty", FALSE);
    DeleteOneFile(dir_.c_str(), "full", FALSE);
    EXPECT_FALSE(PathExists(dir_ + "\\empty"));
    EXPECT_TRUE(PathExists(dir_ + "\\full\\inside.txt"));
    EXPECT_EQ((std::vector<std::string>{"\\??\\" + dir_ + "\\full", ""}), PendingRenames());
    EXPECT_EQ((std::vector<std::string>{"DeleteOneDirectory : dir can not delete now; add to the dellist " + dir_ +
                                        "\\full"}),
              Messages());
}

TEST_F(FileOperationsTest, LogLinesNeedLevelTwoButSchedulingHappensAtEveryLevel) {
    CloseSetupLog();
    ASSERT_TRUE(OpenTestLog(log_, 1));
    CreateDirectoryA((dir_ + "\\full").c_str(), nullptr);
    Make("full\\inside.txt");
    DeleteOneFile(dir_.c_str(), "full", FALSE);
    DeleteOneFile(dir_.c_str(), "gone", FALSE);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(2u, PendingRenames().size());
}

TEST_F(FileOperationsTest, LongNameIsNeverCutIntoAnotherPath) {
    // A file whose path has 259 characters: what a cut join of it and one more name would give.
    std::string victim = dir_ + "\\";
    victim += std::string(259 - victim.size(), 'v');
    ASSERT_EQ(259u, victim.size());
    ASSERT_TRUE(WriteFileBytes(victim, "keep me"));
    DeleteOneFile(victim.c_str(), "x.dll", FALSE);
    DeleteFiles((victim + "\\x.dll").c_str(), FALSE);
    DeleteMatching(victim.c_str(), "*.dll", FALSE);
    MoveFiles(victim.c_str(), "x.dll", dir_.c_str(), "moved.dll");
    EXPECT_EQ("keep me", ReadFileBytes(victim));
    EXPECT_FALSE(PathExists(dir_ + "\\moved.dll"));
    EXPECT_TRUE(PendingRenames().empty());
}

TEST_F(FileOperationsTest, DeleteMatchingTakesFilesAndDirectoriesButNotDotEntries) {
    Make("a.tmp");
    Make("b.tmp");
    Make("keep.txt");
    CreateDirectoryA((dir_ + "\\c.tmp").c_str(), nullptr);
    DeleteMatching(dir_.c_str(), "*.tmp", FALSE);
    EXPECT_FALSE(PathExists(dir_ + "\\a.tmp"));
    EXPECT_FALSE(PathExists(dir_ + "\\b.tmp"));
    EXPECT_FALSE(PathExists(dir_ + "\\c.tmp"));
    EXPECT_TRUE(PathExists(dir_ + "\\keep.txt"));
    const std::vector<std::string> messages = Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ("Delete files; check mask " + dir_ + "\\*.tmp", messages[0]);

    ASSERT_TRUE(OpenTestLog(log_, 2));
    DeleteMatching(dir_.c_str(), "*.*", FALSE);
    EXPECT_FALSE(PathExists(dir_ + "\\keep.txt"));
    // "." and ".." match "*.*" too; scheduling them could never succeed.
    EXPECT_TRUE(PendingRenames().empty());
    for (const std::string& m : Messages()) EXPECT_EQ(std::string::npos, m.find("not found")) << m;
}

TEST_F(FileOperationsTest, DeleteFilesTakesRelativeNamesInTheMakerDirectory) {
    const std::string caller = MakerDirectory() + "\\caller.dat";
    ASSERT_TRUE(WriteFileBytes(caller, "list"));
    Make("caller.dat");
    DeleteFiles("caller.dat", FALSE);
    EXPECT_FALSE(PathExists(caller));
    EXPECT_TRUE(PathExists(dir_ + "\\caller.dat"));

    Make("x.TMP");
    Make("y.tmp");
    Make("z.txt");
    DeleteFiles("C:\\TEMP\\fileops\\*.TMP", FALSE);
    EXPECT_FALSE(PathExists(dir_ + "\\x.TMP"));
    EXPECT_FALSE(PathExists(dir_ + "\\y.tmp"));
    EXPECT_TRUE(PathExists(dir_ + "\\z.txt"));
    SetEnvironmentVariableA("VRK_DIR", dir_.c_str());
    DeleteFiles("%VRK_DIR%\\z.txt", FALSE);
    EXPECT_FALSE(PathExists(dir_ + "\\z.txt"));
}

TEST_F(FileOperationsTest, MoveFilesWithAMaskMovesEachMatchUnderItsOwnName) {
    Make("one.dll", "1");
    Make("two.dll", "2");
    Make("three.txt", "3");
    CreateDirectoryA((dir_ + "\\to").c_str(), nullptr);
    MoveFiles(dir_.c_str(), "*.dll", (dir_ + "\\to").c_str(), "ignored.dll");
    EXPECT_EQ("1", ReadFileBytes(dir_ + "\\to\\one.dll"));
    EXPECT_EQ("2", ReadFileBytes(dir_ + "\\to\\two.dll"));
    EXPECT_TRUE(PathExists(dir_ + "\\three.txt"));
    EXPECT_FALSE(PathExists(dir_ + "\\to\\ignored.dll"));
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(3u, messages.size());
    EXPECT_EQ("Move files; check mask " + dir_ + "\\*.dll", messages[0]);
    EXPECT_EQ(0u, messages[1].rfind("Move File from " + dir_ + "\\", 0)) << messages[1];
}

TEST_F(FileOperationsTest, MoveFilesRefusesJokersInTheDirectoryPart) {
    CreateDirectoryA((dir_ + "\\src").c_str(), nullptr);
    Make("src\\a.dll");
    MoveFiles((dir_ + "\\s*").c_str(), "a.dll", dir_.c_str(), "b.dll");
    EXPECT_TRUE(PathExists(dir_ + "\\src\\a.dll"));
    EXPECT_FALSE(PathExists(dir_ + "\\b.dll"));
    EXPECT_EQ((std::vector<std::string>{"Can not move file because path contains jokers (" + dir_ + "\\s*)"}),
              Messages());
}

TEST_F(FileOperationsTest, MoveFileInMakerDirReplacesTheTarget) {
    const std::string maker = MakerDirectory();
    ASSERT_TRUE(WriteFileBytes(maker + "\\a.dll", "new"));
    ASSERT_TRUE(WriteFileBytes(maker + "\\b.dll", "old"));
    MoveFileInMakerDir("a.dll", "b.dll");
    EXPECT_FALSE(PathExists(maker + "\\a.dll"));
    EXPECT_EQ("new", ReadFileBytes(maker + "\\b.dll"));
    EXPECT_EQ((std::vector<std::string>{"Move File from " + maker + "\\a.dll to " + maker + "\\b.dll"}), Messages());
    DeleteFileA((maker + "\\b.dll").c_str());
}

TEST_F(FileOperationsTest, MoveOntoATargetThatCannotBeDeletedStopsWithItsError) {
    Make("src.dll", "src");
    const std::string target = Make("held.dll", "held");
    HeldFile held(target);
    ASSERT_TRUE(held.holding());
    EXPECT_FALSE(MoveOneFile(dir_.c_str(), "src.dll", dir_.c_str(), "held.dll"));
    EXPECT_EQ("held", ReadFileBytes(target));
    EXPECT_TRUE(PathExists(dir_ + "\\src.dll"));
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ("in Move file delete file did not successful (" + dir_ + "\\src.dll --> " + target + "); error 32",
              messages[0]);
    EXPECT_FALSE(MoveOneFile(dir_.c_str(), "missing.dll", dir_.c_str(), "new.dll"));
}

}  // namespace
