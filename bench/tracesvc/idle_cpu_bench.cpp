// CPU time an idle TraceLogSvc spends per hour at the default intervals, measured over a shorter
// run and scaled, as a ratio to a bare loop in a process of its own that polls the same way. The
// CPU times come from the host; the share of each poll spent in wineserver and in winedevice.exe,
// which hosts the driver, is in neither figure.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/tracesvc/bench_machine.h"
#include "bench/tracesvc/unix_process.h"
#include "common/registry.h"
#include "rasconfig/driver_channel.h"
#include "trace_service.h"

namespace {

const char kDir[] = "C:\\temp\\idlebench";
const char kPollArgument[] = "--poll-like-the-service";

// The idle service's work without its frame, on threads laid out like its workers: each stream
// fetched every second, the six file settings read every ten seconds, the main thread waiting.
DWORD WINAPI PollStream(LPVOID reader) {
    char buffer[kDriverTextBufferSize];
    for (;;) {
        reinterpret_cast<DWORD (*)(void*, DWORD)>(reader)(buffer, sizeof buffer);
        Sleep(1000);
    }
}

DWORD WINAPI PollSettings(LPVOID) {
    DWORD value = 0;
    char name[MAX_PATH];
    for (;;) {
        for (const char* setting : {"LogFileCount", "LogFileSize", "TraceFileCount", "TraceFileSize"}) {
            const std::string path = std::string(testing_trace_service::kParameters) + "\\" + setting;
            ReadRegDword(path.c_str(), &value);
        }
        for (const char* setting : {"TraceFileName", "LogFileName"}) {
            const std::string path = std::string(testing_trace_service::kParameters) + "\\" + setting;
            ReadRegString(path.c_str(), name, sizeof name);
            ExpandEnvironmentStringsA(name, name, sizeof name);
        }
        Sleep(10000);
    }
}

int PollLikeTheService() {
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    CreateThread(nullptr, 4096, PollStream, reinterpret_cast<LPVOID>(ReadTraceStream), 0, &id);
    CreateThread(nullptr, 4096, PollStream, reinterpret_cast<LPVOID>(ReadLogStream), 0, &id);
    CreateThread(nullptr, 4096, PollSettings, nullptr, 0, &id);
    WaitForSingleObject(never, INFINITE);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], kPollArgument) == 0) return PollLikeTheService();
    const DWORD windowMs = argc > 1 ? static_cast<DWORD>(atoi(argv[1])) * 1000 : 120000;
    if (!PrepareTraceServiceMachine(kDir) || !testing_trace_service::StartTraceService()) {
        fprintf(stderr, "tracesvc_idle_cpu: cannot load the driver or start the service\n");
        return 1;
    }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = std::string("\"") + self + "\" " + kPollArgument;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION loop = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &loop)) {
        fprintf(stderr, "tracesvc_idle_cpu: cannot start the bare loop\n");
        return 1;
    }
    // Start-up costs are not idle time: both measurements begin once both have settled.
    Sleep(3000);
    const int servicePid = FindMachineProcess("TraceLogSvc.exe");
    const int loopPid = FindMachineProcess(kPollArgument);
    unsigned long long service0 = 0, service1 = 0, loop0 = 0, loop1 = 0;
    if (!servicePid || !loopPid || !ProcessCpuNanoseconds(servicePid, &service0) ||
        !ProcessCpuNanoseconds(loopPid, &loop0)) {
        fprintf(stderr, "tracesvc_idle_cpu: cannot read the CPU times (service %d, loop %d)\n", servicePid, loopPid);
        TerminateProcess(loop.hProcess, 1);
        return 1;
    }
    const DWORD start = GetTickCount();
    Sleep(windowMs);
    ProcessCpuNanoseconds(servicePid, &service1);
    ProcessCpuNanoseconds(loopPid, &loop1);
    const double hours = (GetTickCount() - start) / 3600000.0;
    TerminateProcess(loop.hProcess, 0);
    CloseHandle(loop.hProcess);
    CloseHandle(loop.hThread);
    testing_trace_service::StopTraceService();

    const double servicePerHour = (service1 - service0) / 1e9 / hours;
    const double loopPerHour = (loop1 - loop0) / 1e9 / hours;
    printf("idle CPU per hour over %lu s: service %.3f s (goal at most 1 s), bare polling loop %.3f s\n",
           static_cast<unsigned long>(windowMs / 1000), servicePerHour, loopPerHour);
    printf("idle CPU of the service / bare polling loop: %.2f\n", loopPerHour > 0 ? servicePerHour / loopPerHour : 0);
    return 0;
}
