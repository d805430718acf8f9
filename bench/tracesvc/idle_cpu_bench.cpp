// CPU time an idle TraceLogSvc spends per hour at the default intervals, measured over shorter
// windows and scaled, as a ratio to two bare loops in processes of their own that poll the same
// way with plain Win32 calls: one reads the adapter number before each open as the service must,
// the other opens the known device straight away. Several rounds, in each the service and then
// each loop alone for one window; the ratios are the medians. The CPU times come from the host; the
// share of each poll spent in wineserver and in winedevice.exe, which hosts the driver, is in no
// figure.
//
//   tracesvc_idle_cpu [seconds [rounds]] the measurement (7 rounds of windows of 20 s when none is given;
//                                        a window should be a whole number of settings checks, 10 s each)
//   tracesvc_idle_cpu --fetch-cost       CPU time of one fetch of each way, on one thread
//   tracesvc_idle_cpu --mark-round-trips one fetch each way between markers, for round_trips.sh
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/support/measure.h"
#include "bench/tracesvc/bench_machine.h"
#include "bench/tracesvc/unix_process.h"
#include "rasconfig/driver_channel.h"
#include "services.h"
#include "trace_service.h"

namespace {

const char kDir[] = "C:\\temp\\idlebench";
const char kNamedLoop[] = "--poll-reading-the-adapter-number";
const char kKnownLoop[] = "--poll-the-known-device";
// Start-up costs are not idle time: a measurement begins this long after its process starts polling.
constexpr DWORD kSettleMs = 3000;
// The service's own start (its files rotated and opened, the driver found) settles longer.
constexpr DWORD kServiceSettleMs = 10000;

// One fetch of trace text: open the device, one request, close.
DWORD FetchFrom(const char* devicePath, void* buffer, DWORD size) {
    HANDLE device = CreateFileA(devicePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) return 0;
    const DWORD header[3] = {kDriverRequestCode, kSelReadTraceText, 0};
    memcpy(buffer, header, sizeof header);
    DWORD returned = 0;
    if (!DeviceIoControl(device, kDriverControlCode, buffer, sizeof(DWORD), buffer, size, &returned, nullptr))
        returned = 0;
    CloseHandle(device);
    return returned;
}

DWORD FetchKnownDevice(void* buffer, DWORD size) { return FetchFrom("\\\\.\\VrkRas1", buffer, size); }

// The adapter number names the device, and the driver may be installed again under another.
DWORD FetchNamedDevice(void* buffer, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVrkRasParametersKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 0;
    DWORD adapter = 0, type = 0, length = sizeof adapter;
    const LONG read = RegQueryValueExA(key, "AdapterNumber", nullptr, &type, reinterpret_cast<BYTE*>(&adapter), &length);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_DWORD) return 0;
    char path[32];
    snprintf(path, sizeof path, "\\\\.\\VrkRas%lu", static_cast<unsigned long>(adapter));
    return FetchFrom(path, buffer, size);
}

using Fetch = DWORD (*)(void*, DWORD);

DWORD WINAPI PollStream(LPVOID fetch) {
    char buffer[kDriverTextBufferSize];
    for (;;) {
        reinterpret_cast<Fetch>(fetch)(buffer, sizeof buffer);
        Sleep(1000);
    }
}

// The six file settings every ten seconds, each value read as a plain query.
DWORD WINAPI PollSettings(LPVOID) {
    for (;;) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, testing_trace_service::kParameters, 0, KEY_ALL_ACCESS, &key) ==
            ERROR_SUCCESS) {
            for (const char* setting : {"LogFileCount", "LogFileSize", "TraceFileCount", "TraceFileSize",
                                        "TraceFileName", "LogFileName"}) {
                char value[MAX_PATH];
                DWORD length = sizeof value;
                RegQueryValueExA(key, setting, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &length);
            }
            RegCloseKey(key);
        }
        Sleep(10000);
    }
}

// The idle service's work without its frame, on threads laid out like its workers: each stream
// fetched every second, the settings read every ten seconds, the main thread waiting.
int PollLikeTheService(Fetch fetch) {
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    CreateThread(nullptr, 4096, PollStream, reinterpret_cast<LPVOID>(fetch), 0, &id);
    CreateThread(nullptr, 4096, PollStream, reinterpret_cast<LPVOID>(fetch), 0, &id);
    CreateThread(nullptr, 4096, PollSettings, nullptr, 0, &id);
    WaitForSingleObject(never, INFINITE);
    return 0;
}

// A request to the Wine server that names its text, to mark out the requests of a server trace.
void Mark(const char* text) { OpenEventA(SYNCHRONIZE, FALSE, text); }

// One fetch the service's way and one of each bare loop, three times over.
int MarkRoundTrips() {
    if (!PrepareTraceServiceMachine(kDir)) return 1;
    char buffer[kDriverTextBufferSize];
    for (int round = 0; round < 3; ++round) {
        Mark("round-trips-service");
        ReadTraceStream(buffer, sizeof buffer);
        Mark("round-trips-named");
        FetchNamedDevice(buffer, sizeof buffer);
        Mark("round-trips-known");
        FetchKnownDevice(buffer, sizeof buffer);
        Mark("round-trips-end");
    }
    return 0;
}

// CPU time of one fetch of each way, the three taking turns on this thread, in three rounds.
int FetchCost() {
    if (!PrepareTraceServiceMachine(kDir)) return 1;
    const auto microseconds = [](Fetch fetch) {
        constexpr int kFetches = 3000;
        char buffer[kDriverTextBufferSize];
        unsigned long long before = 0, after = 0;
        ThreadCpuNanoseconds(&before);
        for (int i = 0; i < kFetches; ++i) fetch(buffer, sizeof buffer);
        ThreadCpuNanoseconds(&after);
        return (after - before) / 1000.0 / kFetches;
    };
    for (int round = 0; round < 3; ++round) {
        const double service = microseconds(ReadTraceStream);
        const double named = microseconds(FetchNamedDevice);
        const double known = microseconds(FetchKnownDevice);
        printf("CPU per fetch: service %.1f us, bare reading the adapter number %.1f us (ratio %.2f), "
               "bare on the known device %.1f us (ratio %.2f)\n",
               service, named, service / named, known, service / known);
    }
    return 0;
}

// A bare loop in a process of its own, for one measurement window.
class LoopProcess {
public:
    explicit LoopProcess(const char* argument) : argument_(argument) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string commandLine = std::string("\"") + self + "\" " + argument;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_))
            process_.hProcess = nullptr;
    }
    LoopProcess(const LoopProcess&) = delete;
    LoopProcess& operator=(const LoopProcess&) = delete;
    ~LoopProcess() {
        if (!process_.hProcess) return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    int HostPid() const { return process_.hProcess ? FindMachineProcess(argument_) : 0; }

private:
    const char* argument_;
    PROCESS_INFORMATION process_ = {};
};

// CPU seconds per hour of the host process pid over windowMs; negative when it cannot be read.
double CpuPerHour(int pid, DWORD windowMs) {
    unsigned long long before = 0, after = 0;
    if (!pid || !ProcessCpuNanoseconds(pid, &before)) return -1;
    const DWORD start = GetTickCount();
    Sleep(windowMs);
    if (!ProcessCpuNanoseconds(pid, &after)) return -1;
    return (after - before) / 1e9 / ((GetTickCount() - start) / 3600000.0);
}

// A bare loop started, left to settle, measured and ended.
double LoopCpuPerHour(const char* argument, DWORD windowMs) {
    LoopProcess loop(argument);
    Sleep(kSettleMs);
    return CpuPerHour(loop.HostPid(), windowMs);
}

bool ControlService(DWORD control, DWORD state) {
    return testing_services::ControlNamedService(testing_trace_service::kService, control) &&
           testing_services::WaitForServiceState(testing_trace_service::kService, state);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], kNamedLoop) == 0) return PollLikeTheService(FetchNamedDevice);
    if (argc > 1 && strcmp(argv[1], kKnownLoop) == 0) return PollLikeTheService(FetchKnownDevice);
    if (argc > 1 && strcmp(argv[1], "--mark-round-trips") == 0) return MarkRoundTrips();
    if (argc > 1 && strcmp(argv[1], "--fetch-cost") == 0) return FetchCost();
    const DWORD windowMs = argc > 1 ? static_cast<DWORD>(atoi(argv[1])) * 1000 : 20000;
    const int rounds = argc > 2 ? atoi(argv[2]) : 7;
    if (windowMs == 0 || rounds < 1 || !PrepareTraceServiceMachine(kDir) ||
        !testing_trace_service::StartTraceService()) {
        fprintf(stderr, "tracesvc_idle_cpu: cannot load the driver or start the service\n");
        return 1;
    }
    // Each takes its turn alone: a process whose polls fall together with another's shares the
    // cost of waking the machine, and the phases of separate processes are chance. The service is
    // paused while a loop is measured.
    std::vector<double> services, namedLoops, named, known;
    for (int round = 0; round < rounds; ++round) {
        if (round > 0 && !ControlService(SERVICE_CONTROL_CONTINUE, SERVICE_RUNNING)) {
            fprintf(stderr, "tracesvc_idle_cpu: the service does not continue\n");
            return 1;
        }
        Sleep(round == 0 ? kServiceSettleMs : kSettleMs);
        const int servicePid = FindMachineProcess("TraceLogSvc.exe");
        const double service = CpuPerHour(servicePid, windowMs);
        if (!ControlService(SERVICE_CONTROL_PAUSE, SERVICE_PAUSED)) {
            fprintf(stderr, "tracesvc_idle_cpu: the service does not pause\n");
            return 1;
        }
        const double namedLoop = LoopCpuPerHour(kNamedLoop, windowMs);
        const double knownLoop = LoopCpuPerHour(kKnownLoop, windowMs);
        if (service < 0 || namedLoop <= 0 || knownLoop <= 0) {
            fprintf(stderr, "tracesvc_idle_cpu: cannot read the CPU times\n");
            return 1;
        }
        printf("round %d over %lu s each: service %.3f s/hour, bare loop reading the adapter number %.3f s/hour, "
               "bare loop on the known device %.3f s/hour\n",
               round + 1, static_cast<unsigned long>(windowMs / 1000), service, namedLoop, knownLoop);
        services.push_back(service);
        namedLoops.push_back(namedLoop);
        named.push_back(service / namedLoop);
        known.push_back(service / knownLoop);
        fflush(stdout);
    }
    testing_trace_service::StopTraceService();
    printf("idle CPU of the service / bare loop on the known device: %.2f (median of %d rounds)\n",
           bench::Median(known), rounds);
    bench::Report({"TraceLogSvc idle, CPU per hour", "bare polling loop reading AdapterNumber",
                   bench::Median(services), bench::Median(namedLoops), "s/hour", bench::Median(named), "<= 1.10",
                   rounds});
    return 0;
}
