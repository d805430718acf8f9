// The service frame in the test's own process: its clean-up while a worker is still writing lines.
#include <gtest/gtest.h>

#include <string>

#include "common/setup_log.h"
#include "machine.h"
#include "tracesvc/diag_log.h"
#include "tracesvc/service_frame.h"
#include "tracesvc/stream_settings.h"

using namespace testing_machine;

namespace {

volatile LONG g_writing = 1;
volatile LONG g_lines = 0;

DWORD WINAPI WriteLines(LPVOID) {
    while (g_writing) {
        TraceLog(kLogTrace, "worker line %ld", static_cast<long>(g_lines));
        InterlockedIncrement(&g_lines);
    }
    return 0;
}

TEST(ServiceFrameTest, CleanUpLeavesTheDiagnosticLogToWorkersStillWriting) {
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kTraceServiceParametersKey);
    const std::string diag = FreshDirectory("frame") + "\\diag.log";
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kTraceServiceParametersKey, "TraceServiceTrace", diag));
    ASSERT_TRUE(OpenSetupLog(kTraceServiceParametersKey, "TraceServiceTrace", "TraceServiceTraceLevel"));

    HANDLE worker = CreateThread(nullptr, 0, WriteLines, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, worker);
    while (g_lines < 100) Sleep(1);
    // Outside the service control manager the control handler cannot be registered, so the main
    // function goes straight to its clean-up, with the worker writing all the while.
    service_main(0, nullptr);
    const LONG linesAtStop = g_lines;
    while (g_lines < linesAtStop + 100) Sleep(1);
    g_writing = 0;
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);

    // The file is still open, for a line that was on its way when the clean-up ran ...
    EXPECT_FALSE(DeleteFileA(diag.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    // ... and nothing more reaches it: lines of workers that go on are dropped, every line is whole.
    const std::string bytes = ReadFileBytes(diag);
    TraceLog(kLogTrace, "after the clean-up");
    EXPECT_EQ(bytes, ReadFileBytes(diag));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
    EXPECT_NE(std::string::npos, bytes.find(": Cleanup\r\n"));
    EXPECT_NE(std::string::npos, bytes.find(": ****** Call CloseTracing and Logging *****\r\n"));
    EXPECT_FALSE(IsSetupLogOpen());
}

}  // namespace
