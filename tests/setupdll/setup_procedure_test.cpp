// VRKSUDLL.DLL called the way the INF setup engine calls it, through the testbed's host, with the
// real log file c:\temp\setup.log.
#include <gtest/gtest.h>

#include <regex>

#include "machine.h"

using namespace testing_machine;

namespace {

const char kLogFile[] = "c:\\temp\\setup.log";
const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
const char kBanner[] = "*************************** new instance **********************************";

std::string Dll() { return MakerDirectory() + "\\VRKSUDLL.DLL"; }

ProgramResult Host(const std::string& arguments) { return RunProgram("C:\\testbed\\host.exe " + arguments); }

ProgramResult Call(const std::string& exportAndArguments) {
    return Host("\"" + Dll() + "\" " + exportAndArguments);
}

ProgramResult RunScript(const std::string& script) {
    const std::string path = "C:\\temp\\script.txt";
    EXPECT_TRUE(WriteFileBytes(path, script));
    return Host("--script " + path);
}

// The messages of the log after the banner, each line's source (33), level (1 or 2) and time checked and cut off.
std::vector<std::string> LogMessages() {
    const std::vector<std::string> lines = SplitLines(ReadFileBytes(kLogFile));
    EXPECT_FALSE(lines.empty());
    if (lines.empty()) return {};
    EXPECT_EQ(kBanner, lines[0]);
    static const std::regex prefix(R"(^33 0[12] \d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\.\d{3}: )");
    std::vector<std::string> messages;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::smatch m;
        EXPECT_TRUE(std::regex_search(lines[i], m, prefix)) << lines[i];
        messages.push_back(m.empty() ? lines[i] : m.suffix().str());
    }
    return messages;
}

class SetupProcedureTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteFileA(kLogFile);
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kSetupKey);
    }
};

TEST_F(SetupProcedureTest, AttachLangDllLogsEnterAndLeaveAroundTheWorker) {
    ProgramResult r = Call("AttachLangDLL 1a2B C:\\temp");
    EXPECT_EQ(0u, r.exitCode) << r.out;
    EXPECT_EQ("AttachLangDLL returned TRUE; result OK\r\n", r.out);
    const std::vector<std::string> expected = {
        "VRKSETUP DLL Attached (C:\\testbed\\host.exe)",
        "AttachLangDLL ENTER;wnd=1a2b;param=C:\\temp",
        "AttachLangDLL LEAVE; OK",
        "VRKSETUP DLL Detached",
    };
    std::vector<std::string> messages = LogMessages();
    // Finding the language module may log the search; the frame's lines stand in this order.
    std::vector<std::string> frame;
    for (const std::string& m : messages)
        if (m.rfind("SearchFilePath", 0) != 0) frame.push_back(m);
    EXPECT_EQ(expected, frame);
}

TEST_F(SetupProcedureTest, WindowHandleIsReadAsHexadecimalText) {
    struct Case {
        const char* argument;
        const char* shown;
    } cases[] = {{"1a2B", "1a2b"}, {"zz", "0"}, {"\"  0x7fF\"", "7ff"}, {"12g4", "12"}, {"\"\"", "0"}};
    for (const Case& c : cases) {
        DeleteFileA(kLogFile);
        ProgramResult r = Call(std::string("AttachLangDLL ") + c.argument);
        EXPECT_EQ(0u, r.exitCode) << c.argument;
        bool seen = false;
        for (const std::string& m : LogMessages())
            if (m == std::string("AttachLangDLL ENTER;wnd=") + c.shown + ";param=(null)") seen = true;
        EXPECT_TRUE(seen) << c.argument;
    }
}

TEST_F(SetupProcedureTest, WithoutArgumentsTheFocusWindowIsTheOwner) {
    ProgramResult r = Host("--with-focus \"" + Dll() + "\" AttachLangDLL");
    ASSERT_EQ(0u, r.exitCode) << r.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, std::regex("host focus window ([0-9a-f]+)"))) << r.out;
    ASSERT_NE("0", m[1].str());
    bool seen = false;
    for (const std::string& line : LogMessages())
        if (line == "AttachLangDLL ENTER;wnd=" + m[1].str() + ";param=(null)") seen = true;
    EXPECT_TRUE(seen) << ReadFileBytes(kLogFile);
}

TEST_F(SetupProcedureTest, NullArgumentVectorIsNoArguments) {
    ProgramResult r = Host("--null-argv \"" + Dll() + "\" AttachLangDLL");
    EXPECT_EQ(0u, r.exitCode) << r.out;
    EXPECT_EQ("AttachLangDLL returned TRUE; result OK\r\n", r.out);
    bool seen = false;
    for (const std::string& line : LogMessages())
        if (line == "AttachLangDLL ENTER;wnd=0;param=(null)") seen = true;
    EXPECT_TRUE(seen) << ReadFileBytes(kLogFile);
}

TEST_F(SetupProcedureTest, MissingLanguageModuleGivesItsResultText) {
    // Renamed in place: the search walks the whole drive, so a copy elsewhere would be found.
    const std::string maker = MakerDirectory();
    for (const char* name : {"LANGENG", "LANGGER"})
        ASSERT_TRUE(MoveFileA((maker + "\\" + name + ".DLL").c_str(), (maker + "\\" + name + ".DL_").c_str())) << name;

    ProgramResult r = Call("AttachLangDLL 10");
    for (const char* name : {"LANGENG", "LANGGER"})
        MoveFileA((maker + "\\" + name + ".DL_").c_str(), (maker + "\\" + name + ".DLL").c_str());

    EXPECT_EQ(1u, r.exitCode);
    EXPECT_EQ("AttachLangDLL returned FALSE; result Langauage DLL not found\r\n", r.out);
    bool seen = false;
    for (const std::string& line : LogMessages())
        if (line == "AttachLangDLL LEAVE; Langauage DLL not found") seen = true;
    EXPECT_TRUE(seen);
}

TEST_F(SetupProcedureTest, EachLoadStartsANewLogAndRewritesLogName) {
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", "c:\\temp\\elsewhere.log"));
    ProgramResult r = RunScript("load " + Dll() + "\ncall AttachLangDLL 1 first\nunload\n"
                                "load " + Dll() + "\ncall AttachLangDLL 2 second\nunload\n");
    EXPECT_EQ(0u, r.exitCode) << r.out;

    std::string logName;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", &logName));
    EXPECT_EQ(std::string("c:\\temp\\setup.log\0", 18), logName);
    EXPECT_FALSE(PathExists("c:\\temp\\elsewhere.log"));

    const std::string log = ReadFileBytes(kLogFile);
    EXPECT_EQ(log.find(kBanner), log.rfind(kBanner)) << "one instance only";
    EXPECT_EQ(std::string::npos, log.find("param=first")) << log;
    EXPECT_NE(std::string::npos, log.find("AttachLangDLL ENTER;wnd=2;param=second")) << log;
}

TEST_F(SetupProcedureTest, ResultIsSetAtEveryLogLevel) {
    for (DWORD level : {0u, 1u}) {
        DeleteFileA(kLogFile);
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", level));
        ProgramResult r = Call("AttachLangDLL 1");
        EXPECT_EQ("AttachLangDLL returned TRUE; result OK\r\n", r.out) << "level " << level;
        // Trace lines are level 2: neither level writes them, the banner is there all the same.
        EXPECT_EQ(std::string(kBanner) + "\r\n", ReadFileBytes(kLogFile)) << "level " << level;
    }
}

TEST_F(SetupProcedureTest, ProceduresWorkWhenTheLogCannotBeCreated) {
    // A directory in the log file's place: the file cannot be opened and nothing is logged.
    ASSERT_TRUE(CreateDirectoryA(kLogFile, nullptr));
    ProgramResult r = Call("AttachLangDLL 1");
    RemoveDirectoryA(kLogFile);
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_EQ("AttachLangDLL returned TRUE; result OK\r\n", r.out);
}

}  // namespace
