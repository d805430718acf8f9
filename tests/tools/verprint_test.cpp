// verprint as a support engineer runs it: one file name, one line on standard output.
#include <gtest/gtest.h>

#include <cstdio>

#include "machine.h"
#include "version_fixture.h"

using namespace testing_machine;

namespace {

std::string Verprint() { return MakerDirectory() + "\\verprint.exe"; }

ProgramResult RunVerprint(const std::string& arguments) {
    return RunProgram("\"" + Verprint() + "\"" + (arguments.empty() ? "" : " " + arguments));
}

std::string SizeColumn(const std::string& path) {
    char text[32];
    snprintf(text, sizeof text, "%-8u", static_cast<unsigned>(ReadFileBytes(path).size()));
    return text;
}

class VerprintTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = FreshDirectory("verprint"); }
    std::string Fixture(const std::string& name, const std::string& block) {
        const std::string path = dir_ + "\\" + name;
        EXPECT_TRUE(version_fixture::MakeExecutable(Verprint(), path, block)) << path;
        EXPECT_TRUE(SetLastWriteTimeUtc(path, 1996, 12, 7, 14, 5, 9));
        return path;
    }
    std::string dir_;
};

TEST_F(VerprintTest, WithoutFileNamePrintsUsageOnStandardError) {
    ProgramResult r = RunVerprint("");
    ASSERT_TRUE(r.started);
    EXPECT_EQ(2u, r.exitCode);
    EXPECT_EQ("usage: verprint.exe <filename>\r\n", r.err);
    EXPECT_EQ("", r.out);
}

TEST_F(VerprintTest, PrintsProductVersionFirstThenFileVersionSizeAndUtcTime) {
    const std::string path = Fixture("fixture.exe", version_fixture::VersionBlock(3, 1, 2, 1));
    ProgramResult r = RunVerprint(path);
    EXPECT_EQ(0u, r.exitCode);
    // name padded to 15, "%4d.%-4d" product then file version, size padded to 8, day.month.year
    EXPECT_EQ("fixture.exe        2.1       3.1    " + SizeColumn(path) + " 07.12.1996 14:05:09\r\n", r.out);
    EXPECT_EQ("", r.err);
}

TEST_F(VerprintTest, LongNameIsPrintedWholeAndShiftsTheColumns) {
    const std::string path = Fixture("a_rather_long_file_name.exe", version_fixture::VersionBlock(10, 25, 1234, 5678));
    ProgramResult r = RunVerprint(path);
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_EQ("a_rather_long_file_name.exe 1234.5678   10.25   " + SizeColumn(path) + " 07.12.1996 14:05:09\r\n", r.out);
}

TEST_F(VerprintTest, EnvironmentReferencesAreExpandedAndTheNameIsTheLastComponent) {
    const std::string path = Fixture("VRKVER.DLL", version_fixture::VersionBlock(3, 1, 2, 1));
    ASSERT_TRUE(CopyFileA(path.c_str(), Expand("%SystemRoot%\\SYSTEM32\\VRKVER.DLL").c_str(), FALSE));
    ProgramResult r = RunVerprint("%SystemRoot%\\SYSTEM32\\VRKVER.DLL");
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_EQ(0u, r.out.rfind("VRKVER.DLL         2.1       3.1    ", 0)) << r.out;
}

TEST_F(VerprintTest, TextFileHasNoVersionInfo) {
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\notes.txt", "just text\r\n"));
    ProgramResult r = RunVerprint(dir_ + "\\notes.txt");
    EXPECT_EQ(1u, r.exitCode);
    EXPECT_EQ("notes.txt       file not contains a version info\r\n", r.out);
}

TEST_F(VerprintTest, ExecutableWithoutVersionResourceHasNoVersionInfo) {
    const std::string path = Fixture("plain.exe", "");
    ProgramResult r = RunVerprint(path);
    EXPECT_EQ(1u, r.exitCode);
    EXPECT_EQ("plain.exe       file not contains a version info\r\n", r.out);
}

TEST_F(VerprintTest, MissingFileGivesTheSystemMessageWithoutItsLineBreak) {
    ProgramResult r = RunVerprint(dir_ + "\\missing.dll");
    EXPECT_EQ(1u, r.exitCode);
    EXPECT_EQ("missing.dll     File not found.\r\n", r.out);
}

TEST_F(VerprintTest, NameWithoutBackslashIsPrintedAsGiven) {
    ProgramResult r = RunProgram("\"" + Verprint() + "\" nothere.exe", 60000, dir_.c_str());
    EXPECT_EQ(1u, r.exitCode);
    EXPECT_EQ("nothere.exe     File not found.\r\n", r.out);
}

TEST_F(VerprintTest, SignatureOutsideTheSearchedOffsetsIsNotFound) {
    // 20 more key characters put the signature at offset 80, past the last offset searched (67).
    const std::string path = Fixture("shifted.exe", version_fixture::VersionBlock(3, 1, 2, 1, 20));
    ProgramResult r = RunVerprint(path);
    EXPECT_EQ(1u, r.exitCode);
    EXPECT_EQ("shifted.exe     not found version info block in file\r\n", r.out);
}

TEST_F(VerprintTest, SignatureAtTheLastSearchedOffsetIsFound) {
    // Key padding of 14 characters puts the fixed block at offset 68: one past the window. 12
    // puts it at 64, the last aligned offset inside it.
    const std::string path = Fixture("edge.exe", version_fixture::VersionBlock(3, 1, 2, 1, 12));
    ProgramResult r = RunVerprint(path);
    EXPECT_EQ(0u, r.exitCode) << r.out;
    EXPECT_EQ(0u, r.out.rfind("edge.exe           2.1       3.1    ", 0)) << r.out;
}

TEST_F(VerprintTest, OverlongArgumentIsReportedNotCopiedPastThePathBuffer) {
    const std::string longName(300, 'n');
    ProgramResult r = RunVerprint(dir_ + "\\" + longName);
    ASSERT_TRUE(r.started);
    EXPECT_EQ(1u, r.exitCode);
    ASSERT_GT(r.out.size(), longName.size());
    EXPECT_EQ(0u, r.out.rfind(longName + " ", 0));
    EXPECT_EQ("\r\n", r.out.substr(r.out.size() - 2));
}

TEST_F(VerprintTest, EveryInstalledDeliverableCarriesAVersionBlock) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((MakerDirectory() + "\\*.*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    int programs = 0;
    do {
        const std::string name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        // Data files of the package (DELFILES.DAT) carry no version block; programs and DLLs do.
        const std::string extension = name.size() > 4 ? name.substr(name.size() - 4) : std::string();
        if (lstrcmpiA(extension.c_str(), ".exe") != 0 && lstrcmpiA(extension.c_str(), ".dll") != 0) continue;
        ProgramResult r = RunVerprint(MakerDirectory() + "\\" + name);
        EXPECT_EQ(0u, r.exitCode) << r.out;
        ++programs;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_GE(programs, 1);
}

}  // namespace
