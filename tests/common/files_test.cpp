// File location: existence and size, SearchFilePath's order of places, the tree search,
// the search by header text, INI sections and appending lines.
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

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        CloseSetupLog();
        dir_ = FreshDirectory("files");
    }
    void TearDown() override { CloseSetupLog(); }
    std::string Make(const std::string& relative, const std::string& bytes = "x") {
        const std::string path = dir_ + "\\" + relative;
        std::string folder = path.substr(0, path.rfind('\\'));
        RunProgram("cmd.exe /c mkdir \"" + folder + "\"", 30000);
        EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
        return path;
    }
    std::string dir_;
};

TEST_F(FilesTest, ExistenceLooksAtTheFirstMatchAndItsKind) {
    Make("a.dll");
    CreateDirectoryA((dir_ + "\\sub").c_str(), nullptr);
    EXPECT_TRUE(FileExists(dir_.c_str(), "a.dll"));
    EXPECT_TRUE(FileExists(dir_.c_str(), "*.dll"));
    EXPECT_FALSE(FileExists(dir_.c_str(), "sub"));
    EXPECT_TRUE(DirectoryExists(dir_.c_str(), "sub"));
    EXPECT_FALSE(DirectoryExists(dir_.c_str(), "a.dll"));
    EXPECT_FALSE(FileExists(dir_.c_str(), "b.dll"));
    EXPECT_TRUE(FileExists("%SystemRoot%", "win.ini"));
}

TEST_F(FilesTest, SizeByNameIsZeroForWhatCannotBeOpened) {
    Make("sized.bin", std::string(12345, 's'));
    EXPECT_EQ(12345u, GetFileSizeByName((dir_ + "\\sized.bin").c_str()));
    EXPECT_EQ(0u, GetFileSizeByName((dir_ + "\\missing.bin").c_str()));
    EXPECT_EQ(0u, GetFileSizeByName(dir_.c_str()));
}

TEST_F(FilesTest, FindInTreeSearchesDepthFirstAndRestoresTheBufferOnFailure) {
    Make("tree\\one\\two\\target.dat");
    Make("tree\\.hidden\\other.dat");
    Make("tree\\three\\other.dat");
    char buffer[kPathSize];
    snprintf(buffer, sizeof buffer, "%s\\tree", dir_.c_str());
    const char* names[] = {"TARGET.DAT"};
    EXPECT_TRUE(FindInTree(buffer, 1, names));
    EXPECT_EQ(dir_ + "\\tree\\one\\two", buffer);

    snprintf(buffer, sizeof buffer, "%s\\tree", dir_.c_str());
    const char* hidden[] = {"other.dat"};
    EXPECT_TRUE(FindInTree(buffer, 1, hidden));
    EXPECT_EQ(dir_ + "\\tree\\three", buffer) << "directories beginning with . are not entered";

    const char* missing[] = {"nowhere.dat"};
    EXPECT_FALSE(FindInTree(buffer, 1, missing));
    EXPECT_EQ(dir_ + "\\tree\\three", buffer);
}

TEST_F(FilesTest, FindInTreeNeedsAllNamesInOneDirectory) {
    Make("pair\\x\\a.inf");
    Make("pair\\y\\a.inf");
    Make("pair\\y\\b.inf");
    char buffer[kPathSize];
    snprintf(buffer, sizeof buffer, "%s\\pair", dir_.c_str());
    const char* names[] = {"a.inf", "b.inf"};
    EXPECT_TRUE(FindInTree(buffer, 2, names));
    EXPECT_EQ(dir_ + "\\pair\\y", buffer);
}

TEST_F(FilesTest, FindInTreeSkipsPathsTooLongForItsBuffer) {
    // Folders nested past 259 characters, made through the wide interface that allows them.
    std::string deep = dir_ + "\\long";
    std::wstring wide;
    for (;;) {
        wide.assign(deep.begin(), deep.end());
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + wide).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        if (deep.size() > 300) break;
        deep += "\\" + std::string(40, 'd');
    }
    HANDLE f = CreateFileW((L"\\\\?\\" + wide + L"\\deep.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    CloseHandle(f);
    Make("long\\shallow.dat");
    char buffer[kPathSize];
    snprintf(buffer, sizeof buffer, "%s", dir_.c_str());
    const char* names[] = {"deep.dat"};
    EXPECT_FALSE(FindInTree(buffer, 1, names));
    EXPECT_EQ(dir_, buffer);
    const char* shallow[] = {"shallow.dat"};
    EXPECT_TRUE(FindInTree(buffer, 1, shallow));
    EXPECT_EQ(dir_ + "\\long", buffer);
}

TEST_F(FilesTest, FindFileWithHeaderLooksOnlyAtTheFirst1024Bytes) {
    Make("hdr\\VRKa.inf", "; plain inf\r\n");
    Make("hdr\\VRKb.inf", std::string(1030, ' ') + "[VrkRas]");
    Make("hdr\\VRKc.inf", std::string("ab\0[VrkRas]", 11));
    Make("hdr\\VRKd.inf", std::string(1000, ' ') + "[VrkRas]\r\n");
    Make("hdr\\OEMe.inf", "[VrkRas]");
    char out[kPathSize] = "x";
    EXPECT_TRUE(FindFileWithHeader((dir_ + "\\hdr").c_str(), "VRK", "[VrkRas]", out));
    EXPECT_EQ(dir_ + "\\hdr\\VRKd.inf", out);
    EXPECT_FALSE(FindFileWithHeader((dir_ + "\\hdr").c_str(), "VRK", "[VrkLV]", out));
    EXPECT_STREQ("", out);
    EXPECT_FALSE(FindFileWithHeader((dir_ + "\\hdr").c_str(), "VRK", "[vrkras]", out));
}

TEST_F(FilesTest, FileBufferReadsOnceIntoItsBlock) {
    Make("buf.txt", "0123456789");
    FileBuffer whole((dir_ + "\\buf.txt").c_str(), 0);
    EXPECT_EQ(10u, whole.read());
    EXPECT_STREQ("0123456789", whole.data());
    EXPECT_EQ(10u, whole.read());
    FileBuffer part((dir_ + "\\buf.txt").c_str(), 4);
    EXPECT_EQ(4u, part.read());
    EXPECT_STREQ("0123", part.data());
    FileBuffer missing((dir_ + "\\none.txt").c_str(), 16);
    EXPECT_EQ(0u, missing.read());
    EXPECT_STREQ("", missing.data());
}

TEST_F(FilesTest, ReadIniSectionGivesKeyValueStrings) {
    Make("del.dat", "[VrkRas]\r\nfile1=a.dll\r\nfile2=b.sys\r\n[Other]\r\nx=y\r\n");
    char buffer[256];
    const DWORD n = ReadIniSection("VrkRas", buffer, sizeof buffer, (dir_ + "\\del.dat").c_str());
    EXPECT_EQ(std::string("file1=a.dll\0file2=b.sys\0", 24), std::string(buffer, n));
    EXPECT_EQ('\0', buffer[n]);
    EXPECT_EQ(0u, ReadIniSection("Missing", buffer, sizeof buffer, (dir_ + "\\del.dat").c_str()));
}

TEST_F(FilesTest, AppendLineToFileBreaksAnOpenLastLineFirst) {
    const std::string path = dir_ + "\\list.txt";
    EXPECT_TRUE(AppendLineToFile(path.c_str(), "first"));
    EXPECT_EQ("first\r\n", ReadFileBytes(path));
    ASSERT_TRUE(WriteFileBytes(path, "open"));
    EXPECT_TRUE(AppendLineToFile(path.c_str(), "second"));
    EXPECT_EQ("open\r\nsecond\r\n", ReadFileBytes(path));
    ASSERT_TRUE(WriteFileBytes(path, "unix\n"));
    EXPECT_TRUE(AppendLineToFile(path.c_str(), "third"));
    EXPECT_EQ("unix\nthird\r\n", ReadFileBytes(path));
    EXPECT_FALSE(AppendLineToFile((dir_ + "\\no dir\\x.txt").c_str(), "x"));
}

class SearchFilePathTest : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        log_ = dir_ + "\\search.log";
        SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", log_);
        SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", 2);
    }
    // Runs the probe from program (a copy of it) and gives its output and the log's messages.
    std::string Search(const std::string& program, const std::string& arguments) {
        CopyFileA(ProbePath().c_str(), program.c_str(), FALSE);
        ProgramResult r = RunProgram("\"" + program + "\" search " + arguments);
        messages_ = LogMessages(log_);
        return FirstLine(r.out);
    }
    std::string log_;
    std::vector<std::string> messages_;
};

TEST_F(SearchFilePathTest, AlternativeDirectoryComesFirstButADirectoryOfTheNameDoesNotCount) {
    Make("alt\\VRKTEST.DLL");
    const std::string maker = MakerDirectory() + "\\VRKTEST.DLL";
    ASSERT_TRUE(WriteFileBytes(maker, "maker"));
    const std::string program = dir_ + "\\bin\\probe.exe";
    Make("bin\\placeholder");
    EXPECT_EQ(dir_ + "\\alt\\VRKTEST.DLL", Search(program, "VRKTEST.DLL " + dir_ + "\\alt"));
    EXPECT_EQ((std::vector<std::string>{"SearchFilePath (alter) for VRKTEST.DLL: found " + dir_ +
                                        "\\alt\\VRKTEST.DLL"}),
              messages_);

    CreateDirectoryA((dir_ + "\\altdir").c_str(), nullptr);
    CreateDirectoryA((dir_ + "\\altdir\\VRKTEST.DLL").c_str(), nullptr);
    EXPECT_EQ(maker, Search(program, "VRKTEST.DLL " + dir_ + "\\altdir"));
    EXPECT_EQ((std::vector<std::string>{"SearchFilePath (varnek) for VRKTEST.DLL: found " + maker}), messages_);
    DeleteFileA(maker.c_str());
}

TEST_F(SearchFilePathTest, ProgramDirectoryThenTheTreeBelowItsParent) {
    Make("top\\bin\\modul.dat");
    Make("top\\sibling\\deeper\\high.dat");
    const std::string program = dir_ + "\\top\\bin\\probe.exe";
    EXPECT_EQ(dir_ + "\\top\\bin\\modul.dat", Search(program, "modul.dat"));
    EXPECT_EQ((std::vector<std::string>{"SearchFilePath (modul) for modul.dat: found " + dir_ +
                                        "\\top\\bin\\modul.dat"}),
              messages_);
    EXPECT_EQ(dir_ + "\\top\\sibling\\deeper\\HIGH.DAT", Search(program, "HIGH.DAT"));
    EXPECT_EQ((std::vector<std::string>{"SearchFilePath (high) for HIGH.DAT: found " + dir_ +
                                        "\\top\\sibling\\deeper\\HIGH.DAT"}),
              messages_);
}

TEST_F(SearchFilePathTest, PlatformSearchThenTheWholeDrive) {
    const std::string program = dir_ + "\\p\\q\\probe.exe";
    Make("p\\q\\placeholder");
    Search(program, "regedit.exe");
    EXPECT_EQ(1u, messages_.size());
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(0u, messages_[0].rfind("SearchFilePath (path) for regedit.exe: found ", 0)) << messages_[0];

    Make("elsewhere\\far\\drive.dat");
    EXPECT_EQ(dir_ + "\\elsewhere\\far\\drive.dat", Search(program, "drive.dat"));
    EXPECT_EQ((std::vector<std::string>{"SearchFilePath (drive) for drive.dat: found " + dir_ +
                                        "\\elsewhere\\far\\drive.dat"}),
              messages_);
}

TEST_F(SearchFilePathTest, NameFoundNowhereGivesEmptyOutAndOneFailureLine) {
    const std::string program = dir_ + "\\bin\\probe.exe";
    Make("bin\\placeholder");
    EXPECT_EQ("", Search(program, "nowhere-at-all.dll"));
    EXPECT_EQ((std::vector<std::string>{"SearchFilePath not found for nowhere-at-all.dll"}), messages_);
    const std::string bytes = ReadFileBytes(log_);
    EXPECT_NE(std::string::npos, bytes.find("\r\n33 01 ")) << bytes;
}

}  // namespace
