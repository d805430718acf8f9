// The stream writers in the test's own process: line ends, rotation, limits, settings and names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/setup_log.h"
#include "machine.h"
#include "tracesvc/rotating_file.h"
#include "tracesvc/stream_settings.h"
#include "tracesvc/streams.h"
#include "vrkras_driver.h"

using namespace testing_machine;

namespace {

DWORD NoText(void*, DWORD) { return 0; }

class RotatingFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kTraceServiceParametersKey);
        dir_ = FreshDirectory("rotating");
        diag_ = dir_ + "\\diag.log";
        Set("TraceServiceTrace", diag_);
        ASSERT_TRUE(OpenSetupLog(kTraceServiceParametersKey, "TraceServiceTrace", "TraceServiceTraceLevel"));
    }
    void TearDown() override { CloseSetupLog(); }

    void Set(const char* name, const std::string& value) {
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kTraceServiceParametersKey, name, value));
    }
    void Set(const char* name, DWORD value) {
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kTraceServiceParametersKey, name, value));
    }
    std::string File(const std::string& name) { return ReadFileBytes(dir_ + "\\" + name); }
    bool Exists(const std::string& name) { return PathExists(dir_ + "\\" + name); }
    std::string Diag() { return ReadFileBytes(diag_); }
    // Diagnostic lines without source, level and time stamp.
    std::vector<std::string> DiagMessages() {
        std::vector<std::string> messages;
        for (const std::string& line : SplitLines(Diag()))
            if (line.size() >= 31 && line[0] == '3') messages.push_back(line.substr(31));
        return messages;
    }
    bool DiagHas(const std::string& message) {
        for (const std::string& m : DiagMessages())
            if (m == message) return true;
        return false;
    }
    void StartTrace(RotatingFile& file, const std::string& name) {
        Set("TraceFileName", dir_ + "\\" + name);
        file.Start(StreamKind::Trace, NoText);
    }
    void StartLog(RotatingFile& file, const std::string& name) {
        Set("LogFileName", dir_ + "\\" + name);
        file.Start(StreamKind::Log, NoText);
    }
    static void Write(RotatingFile& file, const std::string& chunk) {
        file.Write(chunk.data(), static_cast<DWORD>(chunk.size()));
    }

    std::string dir_;
    std::string diag_;
};

TEST(BackupFileNameTest, NumberGoesBeforeTheExtensionOfTheLastComponent) {
    char out[MAX_PATH];
    ASSERT_TRUE(BackupFileName("C:\\x\\RasTrc.TXT", 0, out, sizeof out));
    EXPECT_STREQ("C:\\x\\RasTrc.TXT", out);
    ASSERT_TRUE(BackupFileName("C:\\x\\RasTrc.TXT", 2, out, sizeof out));
    EXPECT_STREQ("C:\\x\\RasTrc2.TXT", out);
    ASSERT_TRUE(BackupFileName("C:\\x\\a.b.log", 13, out, sizeof out));
    EXPECT_STREQ("C:\\x\\a.b13.log", out);
    ASSERT_TRUE(BackupFileName("C:\\x\\RasTrc", 1, out, sizeof out));
    EXPECT_STREQ("C:\\x\\RasTrc1", out);
    // A '.' in a folder name is no extension: the backup stays in the same folder.
    ASSERT_TRUE(BackupFileName("C:\\my.dir\\RasTrc", 3, out, sizeof out));
    EXPECT_STREQ("C:\\my.dir\\RasTrc3", out);
    const std::string longName = "C:\\" + std::string(250, 'n') + ".TXT";
    EXPECT_FALSE(BackupFileName(longName.c_str(), 10, out, 256));
    EXPECT_STREQ("", out);
}

TEST_F(RotatingFileTest, LineFeedsBecomeCrLfAndChunksContinueTheirLine) {
    RotatingFile file;
    StartTrace(file, "RasTrc.TXT");
    Write(file, "A\nB");
    Write(file, "C\r\nD");
    Write(file, "\n");
    Write(file, "\n\nE");
    Write(file, std::string(1, '\0') + "x\n");
    EXPECT_EQ(std::string("A\r\nBC\r\r\nD\r\n\r\n\r\nE") + '\0' + "x\r\n", File("RasTrc.TXT"));
    EXPECT_EQ(File("RasTrc.TXT").size(), file.Position());
    // The chunk goes into the line as it came, line feed and all.
    EXPECT_NE(std::string::npos,
              Diag().find(": Writeoutput in file " + dir_ + "\\RasTrc.TXT,count=3 on pos 0; -->A\nB\r\n"));
    EXPECT_TRUE(DiagHas("before writefile 1 bytes write -->A"));
    EXPECT_TRUE(DiagHas("Writeoutput in file " + dir_ + "\\RasTrc.TXT, now pos 4"));
    file.Close();
}

TEST_F(RotatingFileTest, TraceStartRotatesTheBackupsAndBeginsAnEmptyFile) {
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasTrc.TXT", "current"));
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasTrc1.TXT", "one"));
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasTrc2.TXT", "two"));
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasTrc3.TXT", "three"));
    RotatingFile file;
    StartTrace(file, "RasTrc.TXT");
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ("", File("RasTrc.TXT"));
    EXPECT_EQ("current", File("RasTrc1.TXT"));
    EXPECT_EQ("one", File("RasTrc2.TXT"));
    EXPECT_EQ("two", File("RasTrc3.TXT"));
    EXPECT_FALSE(Exists("RasTrc4.TXT"));

    const std::string name = dir_ + "\\RasTrc.TXT";
    const std::vector<std::string> m = DiagMessages();
    ASSERT_GE(m.size(), 5u);
    EXPECT_EQ("Tracingdatas : Filename=" + name + ";Filecount=3;Filesize=327680;Timeout=1000;append=0", m[0]);
    EXPECT_EQ("Movefile from " + dir_ + "\\RasTrc2.TXT to " + dir_ + "\\RasTrc3.TXT", m[1]);
    EXPECT_EQ("Movefile from " + dir_ + "\\RasTrc1.TXT to " + dir_ + "\\RasTrc2.TXT", m[2]);
    EXPECT_EQ("Movefile from " + name + " to " + dir_ + "\\RasTrc1.TXT", m[3]);
    EXPECT_EQ(0u, m[4].rfind("Openfile " + name + "; Filehandle=", 0)) << m[4];
    EXPECT_EQ("; Posit=0; append=0", m[4].substr(m[4].size() - 19));
    file.Close();
}

TEST_F(RotatingFileTest, LogIsContinuedAtItsSizeAndTheLimitIsCheckedBeforeEachChunk) {
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasLog.TXT", "earlier\r\n"));
    Set("LogFileSize", 1);
    Set("LogFileCount", 2);
    RotatingFile file;
    StartLog(file, "RasLog.TXT");
    EXPECT_EQ(9u, file.Position());
    EXPECT_TRUE(DiagHas("Loggingdatas : Filename=" + dir_ + "\\RasLog.TXT;Filecount=2;Filesize=1024;Timeout=1000;append=1"));
    const std::string line = std::string(99, 'L') + "\n";
    for (int i = 0; i < 10; ++i) Write(file, line);
    // 9 + 10 * 101 bytes: past 1024 only after the tenth chunk, so nothing rotated yet.
    EXPECT_EQ(1019u, file.Position());
    Write(file, line);
    EXPECT_EQ(1120u, file.Position());
    EXPECT_FALSE(Exists("RasLog1.TXT"));
    Write(file, "next");
    EXPECT_EQ("next", File("RasLog.TXT"));
    const std::string full = File("RasLog1.TXT");
    EXPECT_EQ(1120u, full.size());
    EXPECT_EQ(0u, full.rfind("earlier\r\n", 0));
    EXPECT_EQ(4u, file.Position());
    file.Close();
}

TEST_F(RotatingFileTest, LogAlreadyPastItsLimitIsRotatedBeforeTheFirstChunk) {
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasLog.TXT", std::string(2000, 'o')));
    Set("LogFileSize", 1);
    RotatingFile file;
    StartLog(file, "RasLog.TXT");
    EXPECT_EQ(2000u, file.Position());
    Write(file, "first\n");
    EXPECT_EQ(std::string(2000, 'o'), File("RasLog1.TXT"));
    EXPECT_EQ("first\r\n", File("RasLog.TXT"));
    file.Close();
}

TEST_F(RotatingFileTest, CountZeroEmptiesTheTraceAndLetsTheLogGrow) {
    Set("TraceFileCount", 0);
    Set("LogFileCount", 0);
    Set("TraceFileSize", 1);
    Set("LogFileSize", 1);
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasTrc.TXT", "old trace"));
    RotatingFile trace, log;
    StartTrace(trace, "RasTrc.TXT");
    StartLog(log, "RasLog.TXT");
    EXPECT_EQ("", File("RasTrc.TXT"));
    const std::string chunk(200, 'c');
    for (int i = 0; i < 8; ++i) {
        Write(trace, chunk);
        Write(log, chunk);
    }
    // Trace: 1200 bytes passed the limit after six chunks, the seventh began an empty file.
    EXPECT_EQ(std::string(400, 'c'), File("RasTrc.TXT"));
    EXPECT_EQ(std::string(1600, 'c'), File("RasLog.TXT"));
    EXPECT_FALSE(Exists("RasTrc1.TXT"));
    EXPECT_FALSE(Exists("RasLog1.TXT"));
    trace.Close();
    log.Close();
}

TEST_F(RotatingFileTest, SizeZeroPutsEveryFurtherChunkIntoAFreshFile) {
    Set("TraceFileSize", 0);
    Set("TraceFileCount", 3);
    RotatingFile file;
    StartTrace(file, "RasTrc.TXT");
    for (const char* chunk : {"1", "22", "333", "4444", "55555"}) Write(file, chunk);
    EXPECT_EQ("55555", File("RasTrc.TXT"));
    EXPECT_EQ("4444", File("RasTrc1.TXT"));
    EXPECT_EQ("333", File("RasTrc2.TXT"));
    EXPECT_EQ("22", File("RasTrc3.TXT"));
    EXPECT_FALSE(Exists("RasTrc4.TXT"));
    file.Close();
}

TEST_F(RotatingFileTest, NameWithoutDotNumbersTheWholeName) {
    Set("TraceFileSize", 0);
    RotatingFile file;
    StartTrace(file, "RasTrc");
    Write(file, "a");
    Write(file, "b");
    Write(file, "c");
    EXPECT_EQ("c", File("RasTrc"));
    EXPECT_EQ("b", File("RasTrc1"));
    EXPECT_EQ("a", File("RasTrc2"));
    file.Close();
}

TEST_F(RotatingFileTest, EmptyNameFailsToOpenAndDropsTheText) {
    RotatingFile file;
    Set("TraceFileName", "");
    file.Start(StreamKind::Trace, NoText);
    EXPECT_FALSE(file.IsOpen());
    Write(file, "dropped\n");
    EXPECT_EQ(0u, file.Position());
    bool openError = false, moved = false;
    for (const std::string& m : DiagMessages()) {
        if (m.rfind("Open Error ", 0) == 0) openError = true;
        if (m.rfind("Movefile", 0) == 0) moved = true;
    }
    EXPECT_TRUE(openError);
    EXPECT_FALSE(moved);
    file.Close();
}

TEST_F(RotatingFileTest, MissingOrMistypedSettingsTakeTheDefaults) {
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kTraceServiceParametersKey, "TraceFileName",
                             dir_ + "\\expand.TXT", REG_EXPAND_SZ));
    Set("TraceFileCount", "7");
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kTraceServiceParametersKey, "LogFileName",
                             "C:\\" + std::string(260, 'x') + ".TXT"));
    char name[kStreamNameSize];
    ReadStreamFileName(StreamKind::Trace, name);
    EXPECT_EQ(MakerDirectory() + "\\RasTrc.TXT", std::string(name));
    ReadStreamFileName(StreamKind::Log, name);
    EXPECT_EQ(MakerDirectory() + "\\RasLog.TXT", std::string(name));
    EXPECT_EQ(3u, ReadStreamFileCount(StreamKind::Trace));
    EXPECT_EQ(320u, ReadStreamFileSizeKiB(StreamKind::Log));
    EXPECT_EQ(1000u, ReadPollInterval());
    EXPECT_EQ(10000u, ReadChangeInterval());
    Set("LogFileName", "%TEMP%\\..\\RasLog.TXT");
    ReadStreamFileName(StreamKind::Log, name);
    EXPECT_EQ(Expand("%TEMP%\\..\\RasLog.TXT"), std::string(name));
    EXPECT_EQ(MAXDWORD, SizeLimitBytes(0x400000));
    EXPECT_EQ(0xFFFFFC00u, SizeLimitBytes(0x3FFFFF));
}

TEST_F(RotatingFileTest, SettingsCheckTakesNewNamesAndLimitsButNotTheSameNameInOtherCase) {
    Set("TraceFileName", dir_ + "\\RasTrc.TXT");
    Set("LogFileName", dir_ + "\\RasLog.TXT");
    TracingStart();
    LoggingStart();
    Write(g_traceFile, "kept\n");
    Write(g_logFile, "log\n");

    std::string upper = dir_ + "\\RASTRC.txt";
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    Set("TraceFileName", upper);
    SettingsCheck();
    EXPECT_FALSE(DiagHas("Change Check detect for Tracing"));
    Write(g_traceFile, "more\n");
    EXPECT_EQ("kept\r\nmore\r\n", File("RasTrc.TXT"));

    Set("TraceFileName", dir_ + "\\Other.TXT");
    Set("LogFileName", dir_ + "\\OtherLog.TXT");
    Set("TraceFileSize", 0);
    SettingsCheck();
    EXPECT_TRUE(DiagHas("Change Check detect for Tracing"));
    EXPECT_TRUE(DiagHas("Change Check detect for Logging"));
    Write(g_traceFile, "new\n");
    Write(g_logFile, "new log\n");
    EXPECT_EQ("kept\r\nmore\r\n", File("RasTrc.TXT"));
    EXPECT_EQ("log\r\n", File("RasLog.TXT"));
    EXPECT_EQ("new\r\n", File("Other.TXT"));
    EXPECT_EQ("new log\r\n", File("OtherLog.TXT"));
    // The new size limit of 0 applies from the next chunk on.
    Write(g_traceFile, "next\n");
    EXPECT_EQ("next\r\n", File("Other.TXT"));
    EXPECT_EQ("new\r\n", File("Other1.TXT"));
    CloseStreams();
}

TEST_F(RotatingFileTest, AfterTheFinalCloseNothingReopensTheFile) {
    Set("TraceFileSize", 0);
    RotatingFile file;
    StartTrace(file, "RasTrc.TXT");
    Write(file, "last\n");
    file.Close();
    Write(file, "late\n");
    EXPECT_FALSE(file.ChangeName((dir_ + "\\Later.TXT").c_str()));
    file.Open();
    EXPECT_EQ("last\r\n", File("RasTrc.TXT"));
    EXPECT_FALSE(Exists("RasTrc1.TXT"));
    EXPECT_FALSE(Exists("Later.TXT"));
    EXPECT_FALSE(file.IsOpen());
}

// The substitute driver's control device opens like a file but refuses every write.
TEST_F(RotatingFileTest, FailedWritesTryTheRestOfTheChunkThenCloseTheFileAndDropWhatFollows) {
    ASSERT_TRUE(testing_vrkras::InstallDriver(1));
    ASSERT_TRUE(testing_vrkras::StartDriver());
    RotatingFile file;
    Set("TraceFileName", "\\\\.\\VrkRasCtl1");
    file.Start(StreamKind::Trace, NoText);
    ASSERT_TRUE(file.IsOpen());
    Write(file, "ab\ncd\nef");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(0u, file.Position());
    int failures = 0;
    for (const std::string& m : DiagMessages()) failures += m.rfind("Lasterror = ", 0) == 0;
    EXPECT_EQ(3, failures);
    EXPECT_TRUE(DiagHas("#####Error by writefile"));
    const size_t lines = DiagMessages().size();
    Write(file, "dropped");
    EXPECT_FALSE(file.IsOpen());
    const std::vector<std::string> m = DiagMessages();
    ASSERT_EQ(lines + 2, m.size());
    EXPECT_EQ(0u, m[lines].rfind("Writeoutput in file \\\\.\\VrkRasCtl1,count=7 on pos 0; -->dropped", 0));
    file.Close();

    RotatingFile log;
    Set("LogFileName", "\\\\.\\VrkRasCtl1");
    log.Start(StreamKind::Log, NoText);
    EXPECT_TRUE(log.IsOpen());
    EXPECT_EQ(0u, log.Position());
    log.Close();
    testing_vrkras::StopDriver();
}

}  // namespace
