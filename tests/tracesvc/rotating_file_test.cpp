// The stream writers in the test's own process: line ends, rotation, limits, settings and names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/setup_log.h"
#include "file_holder.h"
#include "machine.h"
#include "small_drive.h"
#include "trace_service.h"
#include "tracesvc/rotating_file.h"
#include "tracesvc/stream_settings.h"
#include "tracesvc/streams.h"
#include "vrkras_driver.h"

using namespace testing_machine;
using namespace testing_holder;
using testing_trace_service::DriverTextOf;

namespace {

DWORD NoText(void*, DWORD) { return 0; }

size_t CountOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

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
    // Messages equal to text, or beginning with it.
    int Count(const std::string& text, bool prefix = false) {
        int n = 0;
        for (const std::string& m : DiagMessages()) n += prefix ? m.rfind(text, 0) == 0 : m == text;
        return n;
    }
    static bool German() { return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN; }
    // The writer's reports, as the event log and the diagnostic log get them.
    static std::string CannotWrite(const std::string& file) {
        return German() ? file + " kann nicht geschrieben werden. Der Text des Treibers wird verworfen, bis die Datei "
                                 "wieder geschrieben werden kann."
                        : file + " cannot be written. The driver's text is dropped until the file can be written again.";
    }
    static std::string WrittenAgain(const std::string& file, unsigned long long lost) {
        return German() ? file + " wird wieder geschrieben. " + std::to_string(lost) +
                              " Bytes vom Text des Treibers konnten nicht geschrieben werden."
                        : file + " is written again. " + std::to_string(lost) +
                              " bytes of the driver's text could not be written.";
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

// The substitute driver's control device opens like a file but refuses every write: the writer
// tries the rest of the chunk, closes the file and reports the failure once; every later chunk
// opens it again first.
TEST_F(RotatingFileTest, FailedWritesTryTheRestOfTheChunkThenCloseTheFileAndOpenItAgainForTheNext) {
    ASSERT_TRUE(testing_vrkras::InstallDriver(1));
    ASSERT_TRUE(testing_vrkras::StartDriver());
    RotatingFile file;
    const std::string device = "\\\\.\\VrkRasCtl1";
    Set("TraceFileName", device);
    file.Start(StreamKind::Trace, NoText);
    ASSERT_TRUE(file.IsOpen());
    Write(file, "ab\ncd\nef");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(0u, file.Position());
    int failures = 0;
    for (const std::string& m : DiagMessages()) failures += m.rfind("Lasterror = ", 0) == 0;
    EXPECT_EQ(3, failures);
    EXPECT_TRUE(DiagHas("#####Error by writefile"));
    EXPECT_EQ(1, Count(CannotWrite(device)));
    const int opens = Count("Openfile " + device + ";", true);
    Write(file, "again");
    Write(file, "and again");
    EXPECT_EQ(opens + 2, Count("Openfile " + device + ";", true)) << "opened again for each chunk";
    EXPECT_EQ(1, Count(CannotWrite(device))) << "the failure is reported once";
    EXPECT_EQ(0, Count(device + (German() ? " wird wieder" : " is written again"), true));
    file.Close();

    RotatingFile log;
    Set("LogFileName", device);
    log.Start(StreamKind::Log, NoText);
    EXPECT_TRUE(log.IsOpen());
    EXPECT_EQ(0u, log.Position());
    log.Close();
    testing_vrkras::StopDriver();
}

// Files held by other programs and a full drive: the writer tries again before every chunk and
// never empties a file, a rotation moves all files or none, and what was written stays in
// exactly one file.

std::string Chunk(int i) {
    char text[16];
    snprintf(text, sizeof text, "c%03d ", i);
    return std::string(text) + std::string(20, static_cast<char>('a' + i % 26)) + "\n";
}

TEST_F(RotatingFileTest, AFileHeldWithoutSharingIsOpenedAgainOnceItIsFreeAndNeverEmptied) {
    const std::string log = dir_ + "\\RasLog.TXT", trace = dir_ + "\\RasTrc.TXT";
    ASSERT_TRUE(WriteFileBytes(log, "before\r\n"));
    ASSERT_TRUE(WriteFileBytes(trace, "last run\r\n"));
    RotatingFile logFile, traceFile;
    unsigned long long lost = 0;
    {
        FileHolder holder({log, trace}, Sharing::None);
        ASSERT_TRUE(holder.holding());
        StartLog(logFile, "RasLog.TXT");
        StartTrace(traceFile, "RasTrc.TXT");
        EXPECT_FALSE(logFile.IsOpen());
        EXPECT_FALSE(traceFile.IsOpen());
        for (int i = 0; i < 100; ++i) {
            Write(logFile, Chunk(i));
            Write(traceFile, Chunk(i));
            lost += Chunk(i).size();
        }
        EXPECT_EQ(1, Count(CannotWrite(log)));
        EXPECT_EQ(1, Count(CannotWrite(trace)));
        EXPECT_EQ(2, Count("Open Error 32")) << "once for each file";
    }
    EXPECT_EQ("before\r\n", File("RasLog.TXT"));
    EXPECT_EQ("last run\r\n", File("RasTrc.TXT"));
    EXPECT_FALSE(Exists("RasTrc1.TXT")) << "the held trace file could not be moved, and nothing else moved";
    Write(logFile, "after\n");
    Write(traceFile, "after\n");
    EXPECT_EQ("before\r\nafter\r\n", File("RasLog.TXT"));
    // The rotation of the trace file's start comes with its first chunk.
    EXPECT_EQ("last run\r\n", File("RasTrc1.TXT"));
    EXPECT_EQ("after\r\n", File("RasTrc.TXT"));
    EXPECT_EQ(1, Count(WrittenAgain(log, lost)));
    EXPECT_EQ(1, Count(WrittenAgain(trace, lost)));
    Write(logFile, "more\n");
    EXPECT_EQ(1, Count(WrittenAgain(log, lost))) << "reported once";
    logFile.Close();
    traceFile.Close();
}

// A viewer that follows the trace file (sharing it for reading and writing) keeps it from being
// moved aside: the file is continued, not emptied, and its backups stay where they are.
TEST_F(RotatingFileTest, ATraceFileThatCannotBeMovedAsideAtStartIsContinued) {
    const char* const backups[] = {"RasTrc.TXT", "RasTrc1.TXT", "RasTrc2.TXT", "RasTrc3.TXT"};
    const char* const texts[] = {"current\r\n", "one\r\n", "two\r\n", "three\r\n"};
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(WriteFileBytes(dir_ + "\\" + backups[i], texts[i]));
    RotatingFile file;
    FileHolder viewer(dir_ + "\\RasTrc.TXT", Sharing::ReadWrite);
    ASSERT_TRUE(viewer.holding());
    StartTrace(file, "RasTrc.TXT");
    EXPECT_TRUE(file.IsOpen());
    Write(file, "new\n");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(i == 0 ? "current\r\nnew\r\n" : texts[i], File(backups[i])) << backups[i];
    EXPECT_EQ(0, Count("Movefile from ", true)) << "nothing moved";
    viewer.Release();
    Write(file, "next\n");
    EXPECT_EQ("next\r\n", File("RasTrc.TXT"));
    EXPECT_EQ("current\r\nnew\r\n", File("RasTrc1.TXT"));
    EXPECT_EQ("one\r\n", File("RasTrc2.TXT"));
    EXPECT_EQ("two\r\n", File("RasTrc3.TXT"));
    EXPECT_FALSE(Exists("RasTrc4.TXT"));
    file.Close();
}

// The log past its limit while the current file or a backup is held: nothing shifts, the current
// file takes the chunks, and the rotation comes with the first chunk after the file is free.
TEST_F(RotatingFileTest, ARotationThatCannotMoveEveryFileMovesNoneAndComesOnceTheyAreFree) {
    const struct {
        const char* held;
        Sharing sharing;
    } cases[] = {{"RasLog.TXT", Sharing::ReadWrite}, {"RasLog1.TXT", Sharing::None}, {"RasLog1.TXT", Sharing::Read},
                 {"RasLog2.TXT", Sharing::None},     {"RasLog3.TXT", Sharing::Read}};
    Set("LogFileSize", 1);
    Set("LogFileCount", 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.held);
        const std::string dir = FreshDirectory("rotating_held");
        Set("LogFileName", dir + "\\RasLog.TXT");
        const char* const names[] = {"RasLog1.TXT", "RasLog2.TXT", "RasLog3.TXT"};
        for (const char* name : names) ASSERT_TRUE(WriteFileBytes(dir + "\\" + name, name));
        RotatingFile file;
        file.Start(StreamKind::Log, NoText);
        std::string written;
        for (int i = 0; i < 40; ++i) {
            Write(file, Chunk(i));
            written += Chunk(i);
        }
        ASSERT_TRUE(PathExists(dir + "\\RasLog1.TXT"));
        const std::string full = ReadFileBytes(dir + "\\RasLog.TXT");
        const std::string one = ReadFileBytes(dir + "\\RasLog1.TXT");
        const std::string two = ReadFileBytes(dir + "\\RasLog2.TXT");
        const std::string three = ReadFileBytes(dir + "\\RasLog3.TXT");
        std::string more;
        FileHolder holder(dir + "\\" + c.held, c.sharing);
        ASSERT_TRUE(holder.holding());
        for (int i = 40; i < 90; ++i) {
            Write(file, Chunk(i));
            more += Chunk(i);
        }
        holder.Release();
        EXPECT_EQ(one, ReadFileBytes(dir + "\\RasLog1.TXT"));
        EXPECT_EQ(two, ReadFileBytes(dir + "\\RasLog2.TXT"));
        EXPECT_EQ(three, ReadFileBytes(dir + "\\RasLog3.TXT"));
        EXPECT_FALSE(PathExists(dir + "\\RasLog4.TXT"));
        EXPECT_EQ(DriverTextOf(full) + more, DriverTextOf(ReadFileBytes(dir + "\\RasLog.TXT")));
        Write(file, "after\n");
        file.Close();
        EXPECT_EQ("after\r\n", ReadFileBytes(dir + "\\RasLog.TXT"));
        EXPECT_EQ(DriverTextOf(full) + more, DriverTextOf(ReadFileBytes(dir + "\\RasLog1.TXT")));
        EXPECT_EQ(one, ReadFileBytes(dir + "\\RasLog2.TXT"));
        EXPECT_EQ(two, ReadFileBytes(dir + "\\RasLog3.TXT"));
        // Every chunk is in exactly one file.
        std::string all;
        for (const char* name : {"RasLog3.TXT", "RasLog2.TXT", "RasLog1.TXT", "RasLog.TXT"})
            all += DriverTextOf(ReadFileBytes(dir + "\\" + name));
        EXPECT_EQ(1u, CountOf(all, Chunk(0))) << "chunk 0";
        EXPECT_EQ(1u, CountOf(all, Chunk(89))) << "chunk 89";
    }
}

TEST_F(RotatingFileTest, AFullDriveLosesOnlyWhatDidNotFitAndTheWriterGoesOnOnceThereIsRoom) {
    if (!testing_small_drive::Available()) GTEST_SKIP() << "no small drive T: (the harness could not mount one)";
    const std::string dir = testing_small_drive::FreshFolder("rotating");
    const std::string log = dir + "\\RasLog.TXT";
    Set("LogFileName", log);
    RotatingFile file;
    file.Start(StreamKind::Log, NoText);
    std::string stream;
    for (int i = 0; i < 3; ++i) {
        Write(file, Chunk(i));
        stream += Chunk(i);
    }
    unsigned long long lost = 0;
    std::string kept;
    {
        testing_small_drive::Filler filler;
        ASSERT_TRUE(filler.full());
        // The file's first block takes some more; then nothing fits.
        for (int i = 3; i < 253; ++i) {
            Write(file, Chunk(i));
            stream += Chunk(i);
        }
        kept = ReadFileBytes(log);
        // A line end cut after its CR is no line end.
        std::string text = DriverTextOf(kept);
        if (!text.empty() && text.back() == '\r') text.pop_back();
        ASSERT_EQ(text, stream.substr(0, text.size())) << "what fitted is the start of the stream";
        ASSERT_LT(text.size(), stream.size()) << "the drive never filled up";
        lost = stream.size() - text.size();
        EXPECT_EQ(1, Count(CannotWrite(log)));
    }
    for (int i = 253; i < 256; ++i) Write(file, Chunk(i));
    file.Close();
    EXPECT_EQ(kept + "c253 " + std::string(20, 't') + "\r\nc254 " + std::string(20, 'u') + "\r\nc255 " +
                  std::string(20, 'v') + "\r\n",
              ReadFileBytes(log));
    EXPECT_EQ(1, Count(WrittenAgain(log, lost)));
    printf("full drive: %u of %u bytes of 250 chunks did not fit\n", static_cast<unsigned>(lost),
           static_cast<unsigned>(stream.size() - 3 * Chunk(0).size()));
}

// A count far beyond the page's own limit would move files for hours while the stream waits.
TEST_F(RotatingFileTest, TheBackupCountIsBoundedAndTheShiftEndsAtTheFirstMissingBackup) {
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasTrc.TXT", "current"));
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasTrc1.TXT", "one"));
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasTrc2.TXT", "two"));
    ASSERT_TRUE(WriteFileBytes(dir_ + "\\RasTrc4.TXT", "four"));
    for (DWORD count : {100000ul, 0xFFFFFFFFul}) {
        Set("TraceFileCount", count);
        RotatingFile file;
        StartTrace(file, "RasTrc.TXT");
        ASSERT_TRUE(DiagHas("Tracingdatas : Filename=" + dir_ + "\\RasTrc.TXT;Filecount=999;Filesize=327680;Timeout=1000;append=0"))
            << count;
        file.Close();
        EXPECT_EQ(999u, ReadStreamFileCount(StreamKind::Trace));
    }
    // The first start moved three files and stopped at the missing RasTrc3.TXT; the second moved
    // five, the empty file of the first start among them.
    EXPECT_EQ(8, Count("Movefile from ", true));
    EXPECT_EQ("", File("RasTrc1.TXT"));
    EXPECT_EQ("current", File("RasTrc2.TXT"));
    EXPECT_EQ("one", File("RasTrc3.TXT"));
    EXPECT_EQ("two", File("RasTrc4.TXT"));
    EXPECT_EQ("four", File("RasTrc5.TXT"));
    EXPECT_FALSE(Exists("RasTrc6.TXT"));
}

}  // namespace
