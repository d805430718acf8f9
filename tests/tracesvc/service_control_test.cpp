// TraceLogSvc under the SCM: start, controls and their log lines, pause, stop, and a run without
// the driver. The start from a prompt is prompt_start_test.sh.
#include <string>

#include "service_fixture.h"

using namespace testing_machine;
using namespace testing_services;
using namespace testing_trace_service;

namespace {

constexpr DWORD kAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PAUSE_CONTINUE;

SERVICE_STATUS Control(DWORD code) {
    SERVICE_STATUS status = {};
    DWORD error = 0;
    EXPECT_TRUE(ControlNamedService(kService, code, &status, &error)) << "control " << code << " error " << error;
    return status;
}

TEST_F(TraceServiceTest, ReportsEachStepAndAnswersEveryControlWithItsState) {
    // A thousand backup moves keep the trace writer's start, and with it the first START_PENDING,
    // going long enough for the test to see it.
    Set("TraceFileCount", 999);
    for (int k = 0; k < 999; ++k)
        ASSERT_TRUE(WriteFileBytes(Path(k ? "RasTrc" + std::to_string(k) + ".TXT" : "RasTrc.TXT"), "x"));
    ASSERT_TRUE(StartNamedService(kService));
    SERVICE_STATUS status = {};
    bool running = false, sawFirstStep = false;
    while (!running && WaitUntil([&] { return QueryNamedService(kService, &status); }, 5000)) {
        if (status.dwCurrentState == SERVICE_START_PENDING) {
            EXPECT_EQ(0u, status.dwControlsAccepted);
            EXPECT_TRUE(status.dwCheckPoint == 1 || status.dwCheckPoint == 2) << status.dwCheckPoint;
            EXPECT_EQ(3000u, status.dwWaitHint);
            sawFirstStep = sawFirstStep || status.dwCheckPoint == 1;
        }
        running = status.dwCurrentState == SERVICE_RUNNING;
        ASSERT_TRUE(running || status.dwCurrentState == SERVICE_START_PENDING) << status.dwCurrentState;
    }
    ASSERT_TRUE(running);
    EXPECT_TRUE(sawFirstStep);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS), status.dwServiceType);
    EXPECT_EQ(kAccepted, status.dwControlsAccepted);
    EXPECT_EQ(0u, status.dwCheckPoint);
    EXPECT_EQ(0u, status.dwWaitHint);

    EXPECT_EQ(static_cast<DWORD>(SERVICE_PAUSED), Control(SERVICE_CONTROL_PAUSE).dwCurrentState);
    status = Control(SERVICE_CONTROL_PAUSE);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_PAUSED), status.dwCurrentState);
    EXPECT_EQ(kAccepted, status.dwControlsAccepted);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_PAUSED), Control(SERVICE_CONTROL_INTERROGATE).dwCurrentState);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), Control(SERVICE_CONTROL_CONTINUE).dwCurrentState);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), Control(SERVICE_CONTROL_CONTINUE).dwCurrentState);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), Control(SERVICE_CONTROL_INTERROGATE).dwCurrentState);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), Control(200).dwCurrentState);
    DWORD error = 0;
    EXPECT_FALSE(ControlNamedService(kService, SERVICE_CONTROL_SHUTDOWN, nullptr, &error));

    status = Control(SERVICE_CONTROL_STOP);
    if (status.dwCurrentState == SERVICE_STOP_PENDING) {
        EXPECT_EQ(1u, status.dwCheckPoint);
        EXPECT_EQ(3000u, status.dwWaitHint);
    } else {
        EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), status.dwCurrentState);
    }
    ASSERT_TRUE(WaitForServiceState(kService, SERVICE_STOPPED, 10000, &status));
    EXPECT_EQ(0u, status.dwWin32ExitCode);
    EXPECT_EQ(0u, status.dwServiceSpecificExitCode);

    // The frame's lines in the order the steps ran; the workers' entry lines come from their own threads.
    int at = 0;
    for (const char* step : {"Start Service", "****** LoggingStart *****", "****** TracingStart *****",
                             "Start Workerthread Trace", "Start Workerthread Log", "Start Workerthread Change",
                             "WaitForSingleObject event end", "service_ctrl 2  (SERVICE_CONTROL_PAUSE)",
                             "service_ctrl 2  (SERVICE_CONTROL_PAUSE)", "service_ctrl 4  (SERVICE_CONTROL_INTERROGATE)",
                             "service_ctrl 3  (SERVICE_CONTROL_CONTINUE)", "service_ctrl 3  (SERVICE_CONTROL_CONTINUE)",
                             "service_ctrl 4  (SERVICE_CONTROL_INTERROGATE)", "service_ctrl 200  ()",
                             "service_ctrl 1  (SERVICE_CONTROL_STOP)", "Cleanup", "Closetracing bye bye",
                             "****** Call CloseTracing and Logging *****"}) {
        const int found = DiagFind(step, at);
        EXPECT_GE(found, 0) << "missing or out of order: " << step;
        if (found >= 0) at = found + 1;
    }
    for (const char* entry : {"worker_threadTrace: Enter", "worker_threadLog: Enter", "worker_threadChange: Enter"})
        EXPECT_TRUE(DiagHas(entry)) << entry;
    EXPECT_FALSE(DiagHas("service_ctrl 5  (SERVICE_CONTROL_SHUTDOWN)"));
    for (const std::string& line : DiagLines()) {
        if (line.size() > 6 && line[0] != '*') {
            EXPECT_EQ(0u, line.rfind("36 0", 0)) << line;
        }
    }
}

TEST_F(TraceServiceTest, PauseHoldsBothStreamsAndStopWhilePausedWritesNothingMore) {
    ASSERT_TRUE(driver_.Queue(VRKRAS_STREAM_TRACE));
    ASSERT_TRUE(driver_.Queue(VRKRAS_STREAM_LOG));
    ASSERT_TRUE(StartTraceService());
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_TRACE, "before pause\n"));
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_LOG, "RING: FROM=1 TO=2\n"));
    ASSERT_TRUE(WaitUntil([&] { return File("RasTrc.TXT").size() == 14 && File("RasLog.TXT").size() == 19; }));

    EXPECT_EQ(static_cast<DWORD>(SERVICE_PAUSED), Control(SERVICE_CONTROL_PAUSE).dwCurrentState);
    // A worker in the middle of a cycle finishes it first; after that the gates hold.
    ASSERT_TRUE(WaitPollsStop());
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_TRACE, "while paused\n"));
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_LOG, "paused log\n"));
    const vrkras_state held = DriverState();
    Sleep(500);
    const vrkras_state later = DriverState();
    EXPECT_EQ(held.streams[VRKRAS_STREAM_TRACE].empty_reads, later.streams[VRKRAS_STREAM_TRACE].empty_reads);
    EXPECT_EQ(held.streams[VRKRAS_STREAM_LOG].empty_reads, later.streams[VRKRAS_STREAM_LOG].empty_reads);
    EXPECT_EQ(13u, later.streams[VRKRAS_STREAM_TRACE].queued);
    EXPECT_EQ("before pause\r\n", File("RasTrc.TXT"));

    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), Control(SERVICE_CONTROL_CONTINUE).dwCurrentState);
    ASSERT_TRUE(WaitUntil([&] { return File("RasTrc.TXT") == "before pause\r\nwhile paused\r\n"; }));
    ASSERT_TRUE(WaitUntil([&] { return File("RasLog.TXT") == "RING: FROM=1 TO=2\r\npaused log\r\n"; }));

    EXPECT_EQ(static_cast<DWORD>(SERVICE_PAUSED), Control(SERVICE_CONTROL_PAUSE).dwCurrentState);
    ASSERT_TRUE(WaitPollsStop());
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_TRACE, "never\n"));
    ASSERT_TRUE(driver_.Push(VRKRAS_STREAM_LOG, "never\n"));
    const SERVICE_STATUS status = Control(SERVICE_CONTROL_STOP);
    EXPECT_TRUE(status.dwCurrentState == SERVICE_STOP_PENDING || status.dwCurrentState == SERVICE_STOPPED);
    ASSERT_TRUE(WaitForServiceState(kService, SERVICE_STOPPED));
    Sleep(300);
    EXPECT_EQ("before pause\r\nwhile paused\r\n", File("RasTrc.TXT"));
    EXPECT_EQ("RING: FROM=1 TO=2\r\npaused log\r\n", File("RasLog.TXT"));
    EXPECT_EQ(6u, DriverState().streams[VRKRAS_STREAM_TRACE].queued);
}

TEST_F(TraceServiceTest, WithoutTheDriverTheServiceRunsRotatesTheTraceAndWritesNothing) {
    ASSERT_TRUE(testing_vrkras::StopDriver());
    ASSERT_TRUE(WriteFileBytes(Path("RasTrc.TXT"), "last run\r\n"));
    ASSERT_TRUE(WriteFileBytes(Path("RasLog.TXT"), "old log\r\n"));
    ASSERT_TRUE(StartTraceService());
    ASSERT_TRUE(WaitUntil([&] { return DiagHas("worker_threadChange: Enter"); }));
    Sleep(500);
    SERVICE_STATUS status = {};
    ASSERT_TRUE(QueryNamedService(kService, &status));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), status.dwCurrentState);
    EXPECT_EQ("", File("RasTrc.TXT"));
    EXPECT_EQ("last run\r\n", File("RasTrc1.TXT"));
    EXPECT_EQ("old log\r\n", File("RasLog.TXT"));
    EXPECT_LT(DiagFind("Writeoutput in file", 0, true), 0);
    const int open = DiagFind("Openfile " + Path("RasLog.TXT") + "; Filehandle=", 0, true);
    ASSERT_GE(open, 0);
    const std::string line = DiagMessages()[open];
    EXPECT_EQ("; Posit=9; append=1", line.substr(line.size() - 19));
    ASSERT_TRUE(StopTraceService());
}

}  // namespace
