// vrkrasctl: drives the substitute VrkRas driver and the trace service from a command prompt, for
// the main job and for trying things by hand on a test machine.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "machine.h"
#include "services.h"
#include "trace_service.h"
#include "vrkras_driver.h"

namespace {

using namespace testing_machine;

int Usage() {
    fprintf(stderr,
            "usage: vrkrasctl provision | load | unload | start | stop | quiet | state\n"
            "       vrkrasctl stream trace|log lines|nolf|crlf|ring|long <bytes per second>\n"
            "       vrkrasctl levels <trace level> <log level>   (numbers as 0x1F, 31 or 037)\n"
            "       vrkrasctl sleep <seconds>\n"
            "       vrkrasctl show <file> <first lines> <last lines>\n");
    return 2;
}

int Result(bool ok, const char* what) {
    printf("vrkrasctl: %s %s\n", what, ok ? "done" : "FAILED");
    return ok ? 0 : 1;
}

// What the package's installation leaves behind for the driver and the service.
bool Provision() {
    const char* trace = testing_trace_service::kParameters;
    return SetRegDword(HKEY_LOCAL_MACHINE, testing_vrkras::kDriverParameters, "AdapterNumber", 1) &&
           SetRegDword(HKEY_LOCAL_MACHINE, testing_vrkras::kDriverParameters, "TraceLevel", 0xFF) &&
           SetRegDword(HKEY_LOCAL_MACHINE, testing_vrkras::kDriverParameters, "LogLevel", 0x0F) &&
           SetRegString(HKEY_LOCAL_MACHINE, trace, "TraceServiceTrace", "C:\\temp\\TraceLogSvc.log") &&
           SetRegDword(HKEY_LOCAL_MACHINE, trace, "TraceServiceTraceLevel", 2) &&
           testing_trace_service::InstallTraceService();
}

int Stream(const char* which, const char* kind, const char* rate) {
    static const struct {
        const char* name;
        unsigned pattern;
    } kPatterns[] = {{"lines", VRKRAS_PATTERN_LINES}, {"nolf", VRKRAS_PATTERN_NOLF}, {"crlf", VRKRAS_PATTERN_CRLF},
                     {"ring", VRKRAS_PATTERN_RING},   {"long", VRKRAS_PATTERN_LONG}};
    const bool trace = strcmp(which, "trace") == 0;
    if (!trace && strcmp(which, "log") != 0) return Usage();
    for (const auto& p : kPatterns) {
        if (strcmp(kind, p.name) != 0) continue;
        const testing_vrkras::DriverControl driver;
        return Result(driver.Pattern(trace ? VRKRAS_STREAM_TRACE : VRKRAS_STREAM_LOG, p.pattern, trace ? 'T' : 'L',
                                     VRKRAS_CHUNK_CYCLE, static_cast<unsigned>(atoi(rate))),
                      "stream");
    }
    return Usage();
}

int State() {
    const testing_vrkras::DriverControl driver;
    vrkras_state s = {};
    if (!driver.State(&s)) return Result(false, "state");
    printf("driver VrkRas%u: %u opens, %u closes, %u open now\n", s.adapter, s.opens, s.closes, s.open_now);
    printf("driver levels: trace 0x%02X, log 0x%02X\n", s.trace_level, s.log_level);
    const char* names[2] = {"log", "trace"};
    for (unsigned i = 0; i < 2; ++i)
        printf("driver %s stream: %llu bytes handed out in %u chunks, %u reads found nothing\n", names[i],
               s.streams[i].produced, s.streams[i].chunks, s.streams[i].empty_reads);
    return 0;
}

int Show(const std::string& path, size_t first, size_t last) {
    const std::string bytes = ReadFileBytes(Expand(path));
    const std::vector<std::string> lines = SplitLines(bytes);
    printf("---- %s: %u bytes, %u lines\n", Expand(path).c_str(), static_cast<unsigned>(bytes.size()),
           static_cast<unsigned>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == first && lines.size() > first + last) printf("     ...\n");
        if (i < first || i + last >= lines.size()) printf("     %s\n", lines[i].c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "provision") return Result(Provision(), "provision");
    if (command == "load") return Result(testing_vrkras::InstallDriver(1) && testing_vrkras::StartDriver(), "load");
    if (command == "unload") return Result(testing_vrkras::StopDriver(), "unload");
    if (command == "start") return Result(testing_trace_service::StartTraceService(), "start VrkRasTraceSV");
    if (command == "stop") return Result(testing_trace_service::StopTraceService(), "stop VrkRasTraceSV");
    if (command == "quiet") {
        const testing_vrkras::DriverControl driver;
        // A limit of 0 ends both streams and keeps their counters for "state".
        return Result(driver.SetLimit(VRKRAS_STREAM_TRACE, 0) && driver.SetLimit(VRKRAS_STREAM_LOG, 0), "quiet");
    }
    if (command == "state") return State();
    if (command == "stream" && argc == 5) return Stream(argv[2], argv[3], argv[4]);
    if (command == "levels" && argc == 4) {
        const testing_vrkras::DriverControl driver;
        return Result(driver.PresetLevels(static_cast<unsigned>(strtoul(argv[2], nullptr, 0)),
                                          static_cast<unsigned>(strtoul(argv[3], nullptr, 0))),
                      "levels");
    }
    if (command == "sleep" && argc == 3) {
        Sleep(static_cast<DWORD>(atoi(argv[2])) * 1000);
        return 0;
    }
    if (command == "show" && argc == 5) return Show(argv[2], atoi(argv[3]), atoi(argv[4]));
    return Usage();
}
