// The setup log: banner, line format, threshold, rotation and the limits of one line.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <initializer_list>
#include <regex>
#include <string>
#include <vector>

#include "common/setup_log.h"
#include "common_fixture.h"
#include "machine.h"

using namespace testing_machine;
using namespace common_test;

namespace {

const char kBanner[] = "*************************** new instance **********************************\r\n";

class SetupLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        CloseSetupLog();
        dir_ = FreshDirectory("setuplog");
        log_ = dir_ + "\\setup.log";
    }
    void TearDown() override { CloseSetupLog(); }
    std::string Generation(int n) const { return n == 0 ? log_ : dir_ + "\\setup_" + std::to_string(n) + ".log"; }
    std::string dir_, log_;
};

TEST_F(SetupLogTest, LineCarriesSourceLevelAndLocalTimeWithMilliseconds) {
    ASSERT_TRUE(OpenTestLog(log_, 2));
    SYSTEMTIME before;
    GetLocalTime(&before);
    WriteSetupLog(kLogSourceSetup, kLogTrace, "VrkMprWanConfig ENTER; wnd=%x", 0x1234);
    WriteSetupLog(kLogSourceTrace, kLogFailure, "%s:%d", "x", 5);
    CloseSetupLog();
    const std::string bytes = ReadFileBytes(log_);
    ASSERT_EQ(0u, bytes.rfind(kBanner, 0)) << bytes;
    const std::vector<std::string> lines = SplitLines(bytes.substr(sizeof kBanner - 1));
    ASSERT_EQ(2u, lines.size()) << bytes;
    std::smatch m;
    const std::regex format(R"(33 02 (\d\d)\.(\d\d)\.(\d{4}) (\d\d):(\d\d):(\d\d)\.(\d{3}): VrkMprWanConfig ENTER; wnd=1234)");
    ASSERT_TRUE(std::regex_match(lines[0], m, format)) << lines[0];
    EXPECT_EQ(before.wDay, std::stoi(m[1]));
    EXPECT_EQ(before.wMonth, std::stoi(m[2]));
    EXPECT_EQ(before.wYear, std::stoi(m[3]));
    EXPECT_EQ(before.wHour, std::stoi(m[4]));
    EXPECT_EQ(0u, lines[1].rfind("36 01 ", 0)) << lines[1];
    EXPECT_EQ(": x:5", lines[1].substr(lines[1].size() - 5));
    // Every line ends with CR LF and nothing follows the last one.
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
    EXPECT_EQ(std::string::npos, bytes.find('\0'));
}

// Milliseconds of a local time on one scale, for comparing times across midnight as well.
long long Milliseconds(const SYSTEMTIME& t) {
    FILETIME f;
    if (!SystemTimeToFileTime(&t, &f)) return -1;
    return static_cast<long long>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 10000);
}

TEST_F(SetupLogTest, LineTimesFollowTheLocalClockAcrossSeconds) {
    ASSERT_TRUE(OpenTestLog(log_, 2));
    struct Bounds {
        long long before, after;
    };
    std::vector<Bounds> bounds;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 2300) {
        SYSTEMTIME before, after;
        GetLocalTime(&before);
        WriteSetupLog(kLogSourceSetup, kLogTrace, "line %u", static_cast<unsigned>(bounds.size()));
        GetLocalTime(&after);
        bounds.push_back({Milliseconds(before), Milliseconds(after)});
        Sleep(bounds.size() % 7);
    }
    CloseSetupLog();
    const std::vector<std::string> lines = SplitLines(ReadFileBytes(log_).substr(sizeof kBanner - 1));
    ASSERT_EQ(bounds.size(), lines.size());

    // One system tick of slack either way: NT's clock moves in steps of 10 to 16 ms.
    const long long kTick = 16;
    const std::regex format(R"(33 02 (\d\d)\.(\d\d)\.(\d{4}) (\d\d):(\d\d):(\d\d)\.(\d{3}): line (\d+))");
    long long previous = 0;
    std::vector<long long> seconds;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, format)) << lines[i];
        ASSERT_EQ(std::to_string(i), m[8].str());
        SYSTEMTIME t = {};
        t.wDay = static_cast<WORD>(std::stoi(m[1]));
        t.wMonth = static_cast<WORD>(std::stoi(m[2]));
        t.wYear = static_cast<WORD>(std::stoi(m[3]));
        t.wHour = static_cast<WORD>(std::stoi(m[4]));
        t.wMinute = static_cast<WORD>(std::stoi(m[5]));
        t.wSecond = static_cast<WORD>(std::stoi(m[6]));
        t.wMilliseconds = static_cast<WORD>(std::stoi(m[7]));
        const long long when = Milliseconds(t);
        ASSERT_GE(when, bounds[i].before - kTick) << lines[i];
        ASSERT_LE(when, bounds[i].after + kTick) << lines[i];
        ASSERT_GE(when, previous) << lines[i];
        previous = when;
        if (seconds.empty() || seconds.back() != when / 1000) seconds.push_back(when / 1000);
    }
    // The lines span at least two whole seconds: the seconds have moved on, not only the milliseconds.
    EXPECT_GE(seconds.size(), 3u);
}

TEST_F(SetupLogTest, MessageLongerThanTheLineIsCutAndTheLineStillEndsWithCrLf) {
    ASSERT_TRUE(OpenTestLog(log_, 2));
    const std::string message(5000, 'm');
    WriteSetupLog(kLogSourceSetup, kLogTrace, "%s", message.c_str());
    WriteSetupLog(kLogSourceSetup, kLogTrace, "after");
    CloseSetupLog();
    const std::string body = ReadFileBytes(log_).substr(sizeof kBanner - 1);
    const size_t firstEnd = body.find("\r\n");
    ASSERT_NE(std::string::npos, firstEnd);
    EXPECT_EQ(kLogLineSize, firstEnd + 2);
    EXPECT_EQ(std::string(kLogLineSize - 31 - 2, 'm'), body.substr(31, firstEnd - 31));
    const std::vector<std::string> messages = LogMessages(log_);
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("after", messages[1]);
}

// Writes one line and notes what the C runtime's printf makes of the same format and arguments.
class PrintfTwin {
public:
    template <typename... Arguments>
    void Write(const char* format, Arguments... arguments) {
        char text[kLogLineSize];
        snprintf(text, sizeof text, format, arguments...);
        expected_.push_back(text);
        WriteSetupLog(kLogSourceSetup, kLogTrace, format, arguments...);
    }
    const std::vector<std::string>& expected() const { return expected_; }

private:
    std::vector<std::string> expected_;
};

TEST_F(SetupLogTest, MessagesAreFormattedAsPrintfFormatsThem) {
    ASSERT_TRUE(OpenTestLog(log_, 2));
    PrintfTwin twin;
    twin.Write("plain text, 100%% of it");
    twin.Write("%d %d %d %i %d", 0, -1, 2147483647, -2147483647 - 1, 42);
    twin.Write("%u %u %lu %ld %ld", 0u, 4294967295u, 4294967295UL, -5L, 2147483647L);
    twin.Write("%x %X %lx %x %X", 0xABCDEFu, 0xABCDEFu, 0xFFFFFFFFUL, 0u, 0x1234u);
    twin.Write("[%5d] [%-5d] [%05d] [%-05d] [%05d] [%5.3d] [%.0d] [%.0d] [%3.0d]", 42, 42, 42, 42, -42, 7, 0, 3, 0);
    twin.Write("[%2.2d %2.2d] [%2d] [%1d]", 3, 123, 12345, -9);
    twin.Write("[%s] [%10s] [%-10s] [%.3s] [%.*s] [%.*s] [%*s] [%-*d] [%s]", "text", "right", "left", "cut here", 2,
               "ab-cd", -1, "whole", -6, "neg", 4, 9, "");
    twin.Write("[%c%c] [%3c] [%-3c]", 'o', 'k', 'x', 'y');
    twin.Write("%s = %d; %s, error %ld", "Value", 17, "Can not", 5L);
    // Conversions the log lines do not use go through the runtime all the same.
    twin.Write("[%+d] [% d] [%#x] [%o] [%.3f] [%lld] [%hd] [%e]", 5, 6, 255u, 8u, 2.5, -7LL, static_cast<short>(-3), 1e10);
    twin.Write("%d %s and then %.2f", 1, "mixed", 0.125);
    CloseSetupLog();
    EXPECT_EQ(twin.expected(), LogMessages(log_));
}

// The room a message has on a line of source 33 and level 2: the line less its prefix and CR LF.
constexpr size_t kMessageRoom = kLogLineSize - 31 - 2;

// Writes lines and keeps, for each, its format and the runtime's text for it, cut where the line
// cuts a message; Check compares the file byte for byte, so that a message holding a LF or a NUL
// is compared as it is.
class RuntimeTwin {
public:
    template <typename... Arguments>
    void Write(const char* format, Arguments... arguments) {
        std::vector<char> text(4 * kLogLineSize);
        const int n = snprintf(text.data(), text.size(), format, arguments...);
        ASSERT_GE(n, 0) << format;
        ASSERT_LT(static_cast<size_t>(n), text.size()) << format;
        formats_.push_back(format);
        expected_.push_back(std::string(text.data(), std::min(static_cast<size_t>(n), kMessageRoom)));
        WriteSetupLog(kLogSourceSetup, kLogTrace, format, arguments...);
    }
    // Each format with each value.
    template <typename Value>
    void WriteEach(std::initializer_list<const char*> formats, std::initializer_list<Value> values) {
        for (const char* format : formats)
            for (const Value value : values) Write(format, value);
    }
    void Check(const std::string& path) const {
        const std::string bytes = ReadFileBytes(path);
        ASSERT_EQ(0u, bytes.rfind(kBanner, 0));
        size_t p = sizeof kBanner - 1;
        for (size_t i = 0; i < expected_.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "line " << i + 1 << ", format \"" << formats_[i] << "\"");
            ASSERT_LE(p + 31 + expected_[i].size() + 2, bytes.size());
            EXPECT_EQ("33 02 ", bytes.substr(p, 6));
            EXPECT_EQ(expected_[i], bytes.substr(p + 31, expected_[i].size()));
            ASSERT_EQ("\r\n", bytes.substr(p + 31 + expected_[i].size(), 2));
            p += 31 + expected_[i].size() + 2;
        }
        EXPECT_EQ(bytes.size(), p);
    }

private:
    std::vector<std::string> formats_, expected_;
};

TEST_F(SetupLogTest, EveryConversionOfTheLogsCallersComesOutAsTheRuntimeFormatsIt) {
    ASSERT_TRUE(OpenTestLog(log_, 2));
    RuntimeTwin twin;
    twin.WriteEach({"%d", "[%5d]", "[%-5d]", "[%05d]", "%2.2d", "[%.0d]", "%u", "%x", "%X", "[%08X]", "%i"},
                   {0, 1, -1, 9, 10, 255, -255, INT_MAX, INT_MIN});
    twin.WriteEach({"%ld", "%lu", "%lx", "%lX", "0x%08lX", "[%-12ld]", "[%12lu]", "[%.0ld]"},
                   {0L, 1L, -1L, 16L, LONG_MAX, LONG_MIN});
    twin.WriteEach({"%lu", "%lx", "%ld"}, {0UL, 4294967295UL, 2147483648UL});
    const char notTerminated[4] = {'a', 'b', 'c', 'd'};
    const char* const longText = "0123456789";
    const std::string nearLimit(kMessageRoom - 8, 'n');
    twin.WriteEach({"%s", "[%s]", "[%8s]", "[%-8s]", "[%.3s]", "[%.0s]", "%s; error 5"},
                   {"", static_cast<const char*>(nullptr), "ok", longText, "\xC4nderung \xFC" "ber \xDF"});
    twin.Write("-->%.*s", 0, "abc");
    twin.Write("-->%.*s", 2, "abc");
    twin.Write("-->%.*s", 9, "abc");
    twin.Write("-->%.*s", -1, "abc");
    twin.Write("-->%.*s", 4, notTerminated);
    twin.Write("-->%.*s", 3, static_cast<const char*>(nullptr));
    twin.Write("[%c%c%c] [%3c] [%-3c]", 'o', '\xE4', '\n', 'r', 'l');
    twin.Write("100%% and %%%s%%", "more");
    twin.Write("before %c after", '\0');

    // The callers' own lines, with a first argument long enough that the line must cut them.
    twin.Write("Openfile %s; Filehandle=%X; Posit=%d; append=%d", nearLimit.c_str(), 0xFFFFFFFFu, -1, 1);
    twin.Write("Writeoutput in file %s,count=%d on pos %d; -->%.*s", "trace.log", 4, 2147483647, 4, notTerminated);
    twin.Write("GetParams, get params sucessful, protocol: %lu, flags: 0x%lx (%lu)\n", 4294967295UL, 0xABCDUL,
               43981UL);
    twin.Write("Move file did not successful (%s --> %s); error %ld", nearLimit.c_str(), nearLimit.c_str(), LONG_MIN);
    twin.Write("Caller file %s: %u lines longer than %u characters cut to %u", "C:\\x.txt", 0u, 4294967295u, 32u);
    twin.Write("VrkMprLanConfig ENTER; wnd=%x%s", 0x10046u, ";NoDialog");
    for (const size_t length : {kMessageRoom - 1, kMessageRoom, kMessageRoom + 1, size_t{3} * kLogLineSize}) {
        const std::string text(length, 'x');
        twin.Write("%s", text.c_str());
        twin.Write("[%*s]", static_cast<int>(length), "w");
        twin.Write("%.*s|%s", static_cast<int>(length), text.c_str(), "tail");
    }
    CloseSetupLog();
    twin.Check(log_);
}

TEST_F(SetupLogTest, ThresholdDecidesWhichLevelsAreWritten) {
    ASSERT_TRUE(OpenTestLog(log_, 1));
    EXPECT_EQ(1u, LogLevel);
    WriteSetupLog(kLogSourceSetup, kLogTrace, "VrkRasConfig ENTER; wnd=0");
    WriteSetupLog(kLogSourceSetup, kLogFailure, "SearchFilePath not found for %s", "x.dll");
    CloseSetupLog();
    EXPECT_EQ((std::vector<std::string>{"SearchFilePath not found for x.dll"}), LogMessages(log_));

    ASSERT_TRUE(OpenTestLog(log_, 0));
    WriteSetupLog(kLogSourceSetup, kLogFailure, "never");
    CloseSetupLog();
    EXPECT_EQ(kBanner, ReadFileBytes(log_));

    ASSERT_TRUE(OpenTestLog(log_, 4));
    WriteSetupLog(kLogSourceTrace, kLogDetail, "detail");
    CloseSetupLog();
    EXPECT_EQ((std::vector<std::string>{"detail"}), LogMessages(log_));
}

TEST_F(SetupLogTest, LevelWithoutARegistryDwordKeepsItsValue) {
    LogLevel = 255;
    ASSERT_TRUE(OpenTestLog(log_, -1));
    EXPECT_EQ(255u, LogLevel);
    WriteSetupLog(kLogSourceTrace, kLogDetail, "everything is written");
    CloseSetupLog();
    EXPECT_EQ((std::vector<std::string>{"everything is written"}), LogMessages(log_));

    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", "1"));
    ASSERT_TRUE(OpenSetupLog(kSetupKey, "LogName", "LogLevel"));
    EXPECT_EQ(255u, LogLevel);
}

TEST_F(SetupLogTest, FreshProcessStartsAt255AndAFileThatCannotBeMadeGivesZero) {
    SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", "C:\\no such dir\\setup.log");
    SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", 2);
    ProgramResult r = RunProbe("log-level");
    EXPECT_EQ("before=255 opened=0 after=0", FirstLine(r.out));
    EXPECT_FALSE(PathExists("C:\\no such dir"));
}

TEST_F(SetupLogTest, MissingOrExpandStringFileNameOpensNothing) {
    SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", log_, REG_EXPAND_SZ);
    SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", 2);
    ProgramResult r = RunProbe("log-level");
    EXPECT_EQ("before=255 opened=0 after=255", FirstLine(r.out));
    EXPECT_FALSE(PathExists(log_));
    WriteSetupLog(kLogSourceSetup, kLogFailure, "dropped");
    EXPECT_FALSE(IsSetupLogOpen());
}

TEST_F(SetupLogTest, OpenEmptiesASmallFile) {
    ASSERT_TRUE(WriteFileBytes(log_, std::string(100, 'o')));
    ASSERT_TRUE(OpenTestLog(log_));
    CloseSetupLog();
    EXPECT_EQ(kBanner, ReadFileBytes(log_));
    EXPECT_FALSE(PathExists(Generation(1)));
}

TEST_F(SetupLogTest, FileOfExactly256KiBIsNotRotated) {
    ASSERT_TRUE(WriteFileBytes(log_, std::string(262144, 'e')));
    ASSERT_TRUE(OpenTestLog(log_));
    CloseSetupLog();
    EXPECT_FALSE(PathExists(Generation(1)));
    EXPECT_EQ(kBanner, ReadFileBytes(log_));
}

TEST_F(SetupLogTest, LargeFileBecomesGenerationOneAndTheOldestIsDiscarded) {
    const std::string old(300000, 'c');
    ASSERT_TRUE(WriteFileBytes(log_, old));
    ASSERT_TRUE(WriteFileBytes(Generation(1), "one"));
    ASSERT_TRUE(WriteFileBytes(Generation(2), "two"));
    ASSERT_TRUE(WriteFileBytes(Generation(3), "three"));
    ASSERT_TRUE(OpenTestLog(log_));
    WriteSetupLog(kLogSourceSetup, kLogTrace, "new");
    CloseSetupLog();
    EXPECT_EQ(old, ReadFileBytes(Generation(1)));
    EXPECT_EQ("one", ReadFileBytes(Generation(2)));
    EXPECT_EQ("two", ReadFileBytes(Generation(3)));
    EXPECT_FALSE(PathExists(dir_ + "\\setup_4.log"));
    EXPECT_EQ((std::vector<std::string>{"new"}), LogMessages(log_));
}

TEST_F(SetupLogTest, LockedGenerationDoesNotStopTheOpenAndTheOldTextStays) {
    const std::string old = std::string(299998, 'c') + "\r\n";
    ASSERT_TRUE(WriteFileBytes(log_, old));
    ASSERT_TRUE(WriteFileBytes(Generation(1), "locked"));
    HeldFile held(Generation(1));
    ASSERT_TRUE(held.holding());
    ASSERT_TRUE(OpenTestLog(log_));
    WriteSetupLog(kLogSourceSetup, kLogTrace, "new");
    CloseSetupLog();
    // The old text could not move aside: this instance follows it in the same file.
    const std::string bytes = ReadFileBytes(log_);
    ASSERT_GT(bytes.size(), old.size()) << bytes.substr(0, 200);
    EXPECT_TRUE(bytes.compare(0, old.size(), old) == 0) << bytes.substr(0, 200);
    EXPECT_EQ(kBanner, bytes.substr(old.size(), sizeof kBanner - 1));
    EXPECT_EQ("new", LogMessages(log_).back());
    EXPECT_FALSE(PathExists(Generation(2)));
}

TEST_F(SetupLogTest, GenerationNames) {
    char out[260];
    ASSERT_TRUE(LogGenerationName("c:\\temp\\setup.log", 2, out, sizeof out));
    EXPECT_STREQ("c:\\temp\\setup_2.log", out);
    ASSERT_TRUE(LogGenerationName("c:\\temp\\setup", 1, out, sizeof out));
    EXPECT_STREQ("c:\\temp\\setup_1", out);
    ASSERT_TRUE(LogGenerationName("c:\\my.dir\\trace", 3, out, sizeof out));
    EXPECT_STREQ("c:\\my.dir\\trace_3", out);
    ASSERT_TRUE(LogGenerationName("c:\\temp\\a.b.txt", 1, out, sizeof out));
    EXPECT_STREQ("c:\\temp\\a.b_1.txt", out);
    EXPECT_FALSE(LogGenerationName(("c:\\" + std::string(254, 'n') + ".log").c_str(), 1, out, sizeof out));
}

TEST_F(SetupLogTest, LinesOfConcurrentThreadsNeverMix) {
    ASSERT_TRUE(OpenTestLog(log_, 2));
    HANDLE threads[4];
    for (int t = 0; t < 4; ++t) {
        threads[t] = CreateThread(nullptr, 0, [](LPVOID number) -> DWORD {
            const int t = static_cast<int>(reinterpret_cast<INT_PTR>(number));
            const std::string payload(100 + t * 50, static_cast<char>('a' + t));
            for (int i = 0; i < 300; ++i) WriteSetupLog(kLogSourceSetup, kLogTrace, "%d %s", t, payload.c_str());
            return 0;
        }, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(t)), 0, nullptr);
        ASSERT_NE(nullptr, threads[t]);
    }
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    for (HANDLE thread : threads) CloseHandle(thread);
    CloseSetupLog();
    const std::vector<std::string> messages = LogMessages(log_);
    ASSERT_EQ(1200u, messages.size());
    for (const std::string& m : messages) {
        ASSERT_GE(m.size(), 3u);
        const int t = m[0] - '0';
        ASSERT_TRUE(t >= 0 && t < 4) << m;
        EXPECT_EQ(std::to_string(t) + " " + std::string(100 + t * 50, static_cast<char>('a' + t)), m);
    }
}

TEST_F(SetupLogTest, WritesAfterCloseAreDropped) {
    ASSERT_TRUE(OpenTestLog(log_, 2));
    CloseSetupLog();
    WriteSetupLog(kLogSourceSetup, kLogFailure, "late");
    EXPECT_EQ(kBanner, ReadFileBytes(log_));
}

}  // namespace
