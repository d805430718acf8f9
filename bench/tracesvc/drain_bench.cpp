// Sustained drain throughput of TraceLogSvc against the substitute driver streaming as fast as it
// can, as a ratio to a bare loop in this process doing the same open, request, close and file writes.
// The bare loop runs twice: on a thread of its own while the main thread waits on an event, as the
// service's trace worker does, and on the main thread. Under Wine the round trips to the server and
// the driver's host process are much slower from a thread whose main thread is blocked in a wait, so
// only the first compares the service with the same work done in the same way.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/support/measure.h"
#include "bench/tracesvc/bench_machine.h"
#include "rasconfig/driver_channel.h"
#include "trace_service.h"
#include "vrkras_driver.h"

namespace {

const char kDir[] = "C:\\temp\\drainbench";

using testing_vrkras::DriverControl;

unsigned long long Produced(const DriverControl& driver) {
    vrkras_state state = {};
    driver.State(&state);
    return state.streams[VRKRAS_STREAM_TRACE].produced;
}

bool Stream(const DriverControl& driver) {
    return driver.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LINES, 'T', VRKRAS_MAX_CHUNK);
}

// The service's writes without its lock, limit check or rotation: each line piece, then CR LF.
void WritePieces(HANDLE file, const char* bytes, DWORD length) {
    DWORD written = 0;
    while (length > 0) {
        const char* lineFeed = static_cast<const char*>(memchr(bytes, '\n', length));
        const DWORD n = lineFeed ? static_cast<DWORD>(lineFeed - bytes) : length;
        if (n) WriteFile(file, bytes, n, &written, nullptr);
        if (!lineFeed) return;
        WriteFile(file, "\r\n", 2, &written, nullptr);
        bytes += n + 1;
        length -= n + 1;
    }
}

double BareLoop(const DriverControl& driver, DWORD windowMs) {
    const std::string path = std::string(kDir) + "\\bare.TXT";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE || !Stream(driver)) return 0;
    char buffer[kDriverTextBufferSize];
    unsigned long long bytes = 0;
    const DWORD start = GetTickCount();
    DWORD elapsed = 0;
    while ((elapsed = GetTickCount() - start) < windowMs) {
        const DWORD n = ReadTraceStream(buffer, sizeof buffer);
        WritePieces(file, buffer, n);
        bytes += n;
    }
    CloseHandle(file);
    DeleteFileA(path.c_str());
    return bytes * 1000.0 / elapsed;
}

struct LoopJob {
    const DriverControl* driver;
    DWORD windowMs;
    double rate;
};

DWORD WINAPI LoopThread(LPVOID parameter) {
    LoopJob* job = static_cast<LoopJob*>(parameter);
    job->rate = BareLoop(*job->driver, job->windowMs);
    return 0;
}

double BareLoopOnThread(const DriverControl& driver, DWORD windowMs) {
    LoopJob job = {&driver, windowMs, 0};
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 4096, LoopThread, &job, 0, &id);
    if (!thread) return 0;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return job.rate;
}

double ServiceRate(const DriverControl& driver, DWORD windowMs) {
    if (!Stream(driver) || !testing_trace_service::StartTraceService()) return 0;
    testing_trace_service::WaitUntil([&] { return Produced(driver) > 100000; });
    const unsigned long long before = Produced(driver);
    const DWORD start = GetTickCount();
    Sleep(windowMs);
    const unsigned long long after = Produced(driver);
    const DWORD elapsed = GetTickCount() - start;
    testing_trace_service::StopTraceService();
    driver.Off(VRKRAS_STREAM_TRACE);
    return (after - before) * 1000.0 / elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? atoi(argv[1]) : 7;
    const DWORD windowMs = argc > 2 ? static_cast<DWORD>(atoi(argv[2])) : 3000;
    if (!PrepareTraceServiceMachine(kDir)) {
        fprintf(stderr, "tracesvc_drain: cannot load the driver or install the service\n");
        return 1;
    }
    DriverControl driver;
    std::vector<double> services, onThreads, threadRatios, mainRatios;
    // The service and the loop it is compared with take turns at going first, so that a slower
    // stretch of a shared machine touches both alike.
    for (int round = 1; round <= rounds; ++round) {
        double onThread = 0, service = 0;
        if (round % 2) {
            onThread = BareLoopOnThread(driver, windowMs);
            service = ServiceRate(driver, windowMs);
        } else {
            service = ServiceRate(driver, windowMs);
            onThread = BareLoopOnThread(driver, windowMs);
        }
        const double onMain = BareLoop(driver, windowMs);
        if (onThread <= 0 || onMain <= 0 || service <= 0) {
            fprintf(stderr, "tracesvc_drain: round %d measured nothing\n", round);
            return 1;
        }
        services.push_back(service / 1024);
        onThreads.push_back(onThread / 1024);
        threadRatios.push_back(service / onThread);
        mainRatios.push_back(service / onMain);
        printf("round %d: service %.0f KiB/s; bare loop on a worker thread %.0f KiB/s (ratio %.2f), "
               "on the main thread %.0f KiB/s (ratio %.2f)\n",
               round, service / 1024, onThread / 1024, service / onThread, onMain / 1024, service / onMain);
        fflush(stdout);
    }
    printf("drain throughput, service / bare loop on the main thread (median of %d rounds): %.2f\n", rounds,
           bench::Median(mainRatios));
    bench::Report({"TraceLogSvc draining a streaming driver", "bare loop on a worker thread", bench::Median(services),
                   bench::Median(onThreads), "KiB/s", bench::Median(threadRatios), ">= 0.95", rounds});
    return 0;
}
