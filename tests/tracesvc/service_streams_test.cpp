// TraceLogSvc under the SCM with the driver streaming: every byte in its file, rotation at the
// defaults, a restart, the driver reloaded, and file names changed while both streams run.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "service_fixture.h"
#include "small_drive.h"

using namespace testing_machine;
using namespace testing_services;
using namespace testing_trace_service;
using namespace testing_vrkras;

namespace {

// Three digits, so that no backup name of one file ("trace0051.TXT") is the name of another.
std::string Numbered(const char* stem, int k) {
    char name[64];
    snprintf(name, sizeof name, "%s%03d.TXT", stem, k);
    return name;
}

bool IsChunkStart(const std::vector<unsigned long long>& starts, unsigned long long offset) {
    return std::binary_search(starts.begin(), starts.end(), offset);
}

TEST_F(TraceServiceTest, BothStreamsArriveWholeInOrderWithCrLf) {
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LINES, 'T', VRKRAS_CHUNK_CYCLE, 0, 40000));
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_LOG, VRKRAS_PATTERN_RING, 'L', 7, 0, 9000));
    ASSERT_TRUE(StartTraceService());
    ASSERT_TRUE(WaitDrained(VRKRAS_STREAM_TRACE, 40000));
    ASSERT_TRUE(WaitDrained(VRKRAS_STREAM_LOG, 9000));
    // The CR LF pattern comes out with a second CR.
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_CRLF, 'C', 256, 0, 4000));
    ASSERT_TRUE(WaitDrained(VRKRAS_STREAM_TRACE, 4000));
    ASSERT_TRUE(StopTraceService());

    std::string expected;
    for (char c : PatternText(VRKRAS_PATTERN_LINES, 'T', 0, 40000) + PatternText(VRKRAS_PATTERN_CRLF, 'C', 0, 4000))
        expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_TRUE(File("RasTrc.TXT") == expected) << "trace file of " << File("RasTrc.TXT").size() << " bytes";
    EXPECT_EQ(PatternText(VRKRAS_PATTERN_RING, 'L', 0, 9000), DriverTextOf(File("RasLog.TXT")));
    EXPECT_EQ(0u, File("RasLog.TXT").rfind("L00000000 RING: FROM=030100000000 TO=4711\r\n", 0));
    EXPECT_EQ(0u, DriverState().open_now);
    // Without TraceServiceTraceLevel every line is written, the detail lines of level 4 included.
    EXPECT_TRUE(DiagHas("before while"));
    bool detail = false;
    for (const std::string& line : DiagLines()) detail = detail || line.rfind("36 04 ", 0) == 0;
    EXPECT_TRUE(detail);
}

TEST_F(TraceServiceTest, TraceRotatesAtTheDefaultsWhileTheDriverWritesContinuously) {
    ASSERT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, kParameters));
    for (const char* value : {"TraceFileName", "LogFileName", "TraceServiceTrace"})
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, kParameters, value);
    const std::string maker = MakerDirectory();
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LINES, 'T'));
    ASSERT_TRUE(StartTraceService());
    ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(maker + "\\RasTrc.TXT").size() > 1000 &&
                                       PathExists(maker + "\\RasTrc3.TXT"); }, 120000));
    ASSERT_TRUE(StopTraceService());

    std::string all;
    for (const char* name : {"RasTrc3.TXT", "RasTrc2.TXT", "RasTrc1.TXT"}) {
        const std::string full = ReadFileBytes(maker + "\\" + name);
        // Past 327680 bytes by less than one chunk of 256 bytes and its CRs.
        EXPECT_GT(full.size(), 327680u) << name;
        EXPECT_LE(full.size(), 327680u + 256 + 7) << name;
        all += full;
    }
    all += ReadFileBytes(maker + "\\RasTrc.TXT");
    EXPECT_FALSE(PathExists(maker + "\\RasTrc4.TXT"));
    const std::string text = DriverTextOf(all);
    // The four files hold one stretch of the stream that ends with the last chunk written.
    ASSERT_GE(text.size(), 40u);
    const unsigned long long record = std::stoull(text.substr(text.find('\n') + 2, 8), nullptr, 16);
    const unsigned long long start = record * 40 - (text.find('\n') + 1);
    EXPECT_TRUE(text == PatternText(VRKRAS_PATTERN_LINES, 'T', start, text.size()));
    const std::vector<unsigned long long> starts = ChunkStarts(VRKRAS_CHUNK_CYCLE, start + text.size());
    EXPECT_TRUE(IsChunkStart(starts, start));
    EXPECT_TRUE(IsChunkStart(starts, start + text.size()));
    EXPECT_LE(start + text.size(), DriverState().streams[VRKRAS_STREAM_TRACE].produced);
}

TEST_F(TraceServiceTest, RestartRotatesTheTraceAndContinuesTheLogAtItsSize) {
    Set("TraceServiceTraceLevel", 2);
    ASSERT_TRUE(driver_.Queue(VRKRAS_STREAM_TRACE));
    ASSERT_TRUE(driver_.Queue(VRKRAS_STREAM_LOG));
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_TRACE, "first run\n"));
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_LOG, "first log\n"));
    ASSERT_TRUE(StartTraceService());
    ASSERT_TRUE(WaitUntil([&] { return File("RasTrc.TXT").size() == 11 && File("RasLog.TXT").size() == 11; }));
    ASSERT_TRUE(StopTraceService());

    ASSERT_TRUE(StartTraceService());
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_LOG, "second log\n"));
    ASSERT_TRUE(WaitUntil([&] { return File("RasLog.TXT").size() == 23; }));
    ASSERT_TRUE(StopTraceService());
    EXPECT_EQ("first run\r\n", File("RasTrc1.TXT"));
    EXPECT_EQ("", File("RasTrc.TXT"));
    EXPECT_EQ("first log\r\nsecond log\r\n", File("RasLog.TXT"));
    EXPECT_FALSE(Exists("RasLog1.TXT"));
    const int open = DiagFind("Openfile " + Path("RasLog.TXT") + "; Filehandle=", 0, true);
    ASSERT_GE(open, 0);
    const std::string line = DiagMessages()[open];
    EXPECT_EQ("; Posit=11; append=1", line.substr(line.size() - 20));
    EXPECT_TRUE(DiagHas("Writeoutput in file " + Path("RasLog.TXT") + ",count=11 on pos 11; -->second log"));
    // TraceServiceTraceLevel 2 keeps the detail lines out.
    EXPECT_FALSE(DiagHas("before while"));
}

TEST_F(TraceServiceTest, DriverStoppedAndStartedAgainIsFoundAtTheNextPoll) {
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LONG, 'A', VRKRAS_CHUNK_CYCLE, 0, 20000));
    ASSERT_TRUE(StartTraceService());
    ASSERT_TRUE(WaitDrained(VRKRAS_STREAM_TRACE, 20000));
    ASSERT_TRUE(StopDriver());
    Sleep(300);
    SERVICE_STATUS status = {};
    ASSERT_TRUE(QueryNamedService(kService, &status));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), status.dwCurrentState);
    ASSERT_TRUE(StartDriver());
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_NOLF, 'B', VRKRAS_CHUNK_CYCLE, 0, 20000));
    ASSERT_TRUE(WaitDrained(VRKRAS_STREAM_TRACE, 20000));
    ASSERT_TRUE(StopTraceService());
    EXPECT_TRUE(DriverTextOf(File("RasTrc.TXT")) ==
                PatternText(VRKRAS_PATTERN_LONG, 'A', 0, 20000) + PatternText(VRKRAS_PATTERN_NOLF, 'B', 0, 20000));
}

// The change worker reopens both writers under new names while their workers write: every file
// must hold whole chunks, the files in the order of their names must hold the stream without a
// gap or a repeat, and nothing may reach them once the service has stopped.
TEST_F(TraceServiceTest, NamesChangedWhileStreamingSplitNoChunkAndLoseNoByte) {
    Set("ChangeTimeout", 5);
    Set("TraceFileName", Path(Numbered("trace", 0)));
    Set("LogFileName", Path(Numbered("log", 0)));
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LINES, 'T', VRKRAS_CHUNK_CYCLE, 200000));
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_LOG, VRKRAS_PATTERN_LONG, 'L', VRKRAS_CHUNK_CYCLE, 200000));
    ASSERT_TRUE(StartTraceService());
    int names = 1;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 3000; ++names) {
        Sleep(15);
        Set("TraceFileName", Path(Numbered("trace", names)));
        Set("LogFileName", Path(Numbered("log", names)));
    }
    ASSERT_TRUE(StopTraceService());
    const vrkras_state afterStop = DriverState();

    struct Stream {
        const char* stem;
        unsigned index;
        unsigned pattern;
        char tag;
    };
    std::vector<std::string> snapshot;
    for (const Stream& s : {Stream{"trace", VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LINES, 'T'},
                            Stream{"log", VRKRAS_STREAM_LOG, VRKRAS_PATTERN_LONG, 'L'}}) {
        const unsigned long long produced = afterStop.streams[s.index].produced;
        const std::vector<unsigned long long> starts = ChunkStarts(VRKRAS_CHUNK_CYCLE, produced);
        unsigned long long offset = 0;
        int files = 0, reopened = 0;
        for (int k = 0; k < names; ++k) {
            if (!Exists(Numbered(s.stem, k))) continue;
            ++files;
            const std::string text = DriverTextOf(File(Numbered(s.stem, k)));
            snapshot.push_back(File(Numbered(s.stem, k)));
            EXPECT_TRUE(IsChunkStart(starts, offset)) << s.stem << k << " begins inside a chunk at " << offset;
            EXPECT_TRUE(text == PatternText(s.pattern, s.tag, offset, text.size()))
                << s.stem << k << " does not continue the stream at " << offset;
            if (!text.empty() && offset > 0) ++reopened;
            offset += text.size();
        }
        EXPECT_TRUE(IsChunkStart(starts, offset)) << s.stem << " ends inside a chunk at " << offset;
        EXPECT_LE(offset, produced);
        EXPECT_GT(offset, 100000u) << s.stem;
        EXPECT_GT(reopened, 10) << s.stem << ": too few name changes met a running stream to tell anything";
        EXPECT_GT(files, 10) << s.stem;
    }
    Sleep(300);
    size_t i = 0;
    for (const char* stem : {"trace", "log"}) {
        for (int k = 0; k < names; ++k) {
            if (Exists(Numbered(stem, k))) {
                EXPECT_TRUE(File(Numbered(stem, k)) == snapshot[i++]) << stem << k;
            }
        }
    }
}

// A stop while both streams run at full speed: a worker that holds a fetched chunk when the stop
// comes writes it before its file closes, and nothing is fetched after that, so every byte the
// driver handed out is in a file.
TEST_F(TraceServiceTest, EveryByteTheDriverHandedOutBeforeTheStopIsInTheFiles) {
    Set("TraceFileSize", 1024 * 1024);
    Set("LogFileSize", 1024 * 1024);
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LINES, 'T'));
    ASSERT_TRUE(driver_.Pattern(VRKRAS_STREAM_LOG, VRKRAS_PATTERN_LONG, 'L'));
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(StartTraceService());
        ASSERT_TRUE(WaitUntil([&] { return File("RasLog.TXT").size() > 20000; }));
        ASSERT_TRUE(StopTraceService());
        // The service's process may go on after STOPPED; the driver is asked no more once it has ended.
        ASSERT_TRUE(WaitPollsStop());
        const vrkras_state state = DriverState();
        std::string trace;
        for (const char* name : {"RasTrc3.TXT", "RasTrc2.TXT", "RasTrc1.TXT", "RasTrc.TXT"})
            trace += DriverTextOf(File(name));
        const std::string log = DriverTextOf(File("RasLog.TXT"));
        const unsigned long long traceProduced = state.streams[VRKRAS_STREAM_TRACE].produced;
        const unsigned long long logProduced = state.streams[VRKRAS_STREAM_LOG].produced;
        EXPECT_EQ(logProduced, log.size()) << "log bytes fetched but not written";
        EXPECT_TRUE(log == PatternText(VRKRAS_PATTERN_LONG, 'L', 0, log.size()));
        // The trace files of earlier runs moved to the backups at each start.
        ASSERT_LE(trace.size(), traceProduced);
        EXPECT_EQ(traceProduced, trace.size()) << "trace bytes fetched but not written";
        EXPECT_TRUE(trace == PatternText(VRKRAS_PATTERN_LINES, 'T', 0, trace.size()));
    }
}

// The log file on a drive that fills up while the service runs: what fitted stays, the text the
// driver hands out meanwhile is dropped, and once there is room again the service goes on writing.
TEST_F(TraceServiceTest, TheServiceGoesOnWritingOnceTheFullDriveHasRoomAgain) {
    if (!testing_small_drive::Available()) GTEST_SKIP() << "no small drive T: (the harness could not mount one)";
    const std::string log = testing_small_drive::FreshFolder("service") + "\\RasLog.TXT";
    Set("LogFileName", log);
    ASSERT_TRUE(driver_.Queue(VRKRAS_STREAM_LOG));
    ASSERT_TRUE(StartTraceService());
    std::string before, during, after;
    for (int i = 0; i < 3; ++i) before += "before " + std::to_string(i) + " " + std::string(50, 'b') + "\n";
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_LOG, before));
    ASSERT_TRUE(WaitUntil([&] { return DriverTextOf(ReadFileBytes(log)) == before; }));
    {
        testing_small_drive::Filler filler;
        ASSERT_TRUE(filler.full());
        for (int i = 0; i < 80; ++i) during += "full " + std::to_string(i) + " " + std::string(60, 'f') + "\n";
        ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_LOG, during));
        ASSERT_TRUE(WaitDrained(VRKRAS_STREAM_LOG, before.size() + during.size()));
    }
    for (int i = 0; i < 3; ++i) after += "after " + std::to_string(i) + "\n";
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_LOG, after));
    ASSERT_TRUE(WaitUntil([&] {
        const std::string text = DriverTextOf(ReadFileBytes(log));
        return text.size() >= after.size() && text.compare(text.size() - after.size(), after.size(), after) == 0;
    }));
    ASSERT_TRUE(StopTraceService());
    std::string text = DriverTextOf(ReadFileBytes(log));
    ASSERT_EQ(0u, text.rfind(before, 0));
    text = text.substr(before.size(), text.size() - before.size() - after.size());
    // A line end cut after its CR is no line end.
    if (!text.empty() && text.back() == '\r') text.pop_back();
    EXPECT_EQ(during.substr(0, text.size()), text) << "what fitted is the start of what came";
    EXPECT_LT(text.size(), during.size());
}

}  // namespace
