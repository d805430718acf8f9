// Test support: TraceLogSvc installed as the service VrkRasTraceSV under the machine's SCM.
#pragma once

#include <windows.h>

#include <string>

namespace testing_trace_service {

constexpr const char* kService = "VrkRasTraceSV";
constexpr const char* kParameters = "SYSTEM\\CurrentControlSet\\Services\\VrkRasTraceSV\\Parameters";

// The installed program in the maker's directory.
std::string ServiceProgram();
bool InstallTraceService();
// Starts the service and waits for RUNNING.
bool StartTraceService();
bool StopTraceService();

// A file's text with every CR LF turned back into the LF the driver sent.
std::string DriverTextOf(const std::string& fileText);

// Polls condition every 10 ms until it holds or timeoutMs have passed; returns whether it held.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

}  // namespace testing_trace_service
