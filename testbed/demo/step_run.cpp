#include "main_job.h"

#include "dialog_robot.h"
#include "lang/resource.h"
#include "machine.h"
#include "robot_windows.h"
#include "trace_service.h"
#include "vrkras_driver.h"

namespace demo {

using namespace dialog_robot;
using namespace testing_machine;
using demo_report::Lines;

// Step 3: the trace service records the driver; callers are collected from its log.
MainJob::Done MainJob::RunService() {
    report_.Heading(2, "3. Run");
    report_.Line("The trace service `VrkRasTraceSV` records what the remote-access driver produces: trace text at "
                 "4000 bytes per second, and log text with RING: records of incoming calls.");
    const testing_vrkras::DriverControl driver;
    const std::string ringLog =
        "L 00:00:01 line 1 up\n"
        "L 00:00:05 RING: FROM=0301234567 TO=4711 accepted\n"
        "L 00:00:09 RING: FROM=0897654321 TO=4712 accepted\n"
        "L 00:00:12 line 1 down\n"
        "L 00:01:40 RING: FROM=0897654321 TO=4711 refused\n"
        "L 00:02:02 ring: from=0401112233 to=4712 accepted\n";
    bool ok = driver.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LINES, 'T', VRKRAS_CHUNK_CYCLE, 4000) &&
              driver.Queue(VRKRAS_STREAM_LOG) && driver.Push(VRKRAS_STREAM_LOG, ringLog);
    if (!ok) complaints_.Add("the driver did not take its streams");
    if (!testing_trace_service::StartTraceService()) {
        complaints_.Add("VrkRasTraceSV did not start");
        return {Outcome::kFailed, "the service did not start"};
    }
    const std::string logFile = Expand(LogFileName());
    const std::string traceFile = Maker("RasTrc.TXT");
    const bool logged = testing_trace_service::WaitUntil(
        [&] { return ReadFileBytes(logFile).find("to=4712 accepted") != std::string::npos; }, 15000);
    if (!logged) complaints_.Add("the log file " + logFile + " did not receive the driver's log text");
    Sleep(3000);

    int collected = -1;
    bool notBuilt = false;
    Program program;
    if (StartCenter(program)) {
        if (HWND center = WaitForCenter(program)) {
            bool missing = false;
            if (HWND page = OpenPage(center, program.pid(), IDC_CENTER_INCALLER, IDD_INCALLER_PAGE,
                                     "incoming callers", &missing)) {
                const size_t listed = ListEntries(page, IDC_CALLER_LIST).size();
                Click(page, IDC_CALLER_COLLECT);
                if (HWND box = WaitForWindowOf(program.pid(), IsMessageBox, 10000)) AnswerBox(report_, box);
                collected = static_cast<int>(ListEntries(page, IDC_CALLER_LIST).size() - listed);
                Confirm(report_, page, "Incoming callers after collecting the callers from the log");
            }
            notBuilt = missing;
            CloseCenter(center, program);
        }
    }
    if (!testing_trace_service::StopTraceService()) complaints_.Add("VrkRasTraceSV did not stop");
    driver.SetLimit(VRKRAS_STREAM_TRACE, 0);

    const std::string trace = ReadFileBytes(traceFile), log = ReadFileBytes(logFile);
    report_.Heading(3, "The files the service wrote");
    std::vector<std::string> files;
    for (const std::string& path : demo::PackageFiles())
        if (path.find("\\Ras") != std::string::npos) files.push_back(path + " (" + std::to_string(ReadFileBytes(path).size()) + " bytes)");
    report_.Code(files);
    std::vector<std::string> traceLines = Lines(trace);
    if (traceLines.size() > 6) traceLines.erase(traceLines.begin() + 3, traceLines.end() - 3);
    report_.Line("`" + traceFile + "`, first and last lines:");
    report_.Code(traceLines);
    report_.Line("`" + logFile + "`:");
    report_.Code(Lines(log));
    report_.Line("The service's diagnostic log (`C:\\temp\\TraceLogSvc.log`), its last lines:");
    std::vector<std::string> diagnostics = Lines(ReadFileBytes("C:\\temp\\TraceLogSvc.log"));
    if (diagnostics.size() > 14) diagnostics.erase(diagnostics.begin(), diagnostics.end() - 14);
    report_.Code(diagnostics);
    report_.Heading(3, "The caller file");
    const std::string callerFile = RegText(HKEY_LOCAL_MACHINE, kDriverKey, "IncomingCallerFile");
    report_.Line("`IncomingCallerFile` = " + callerFile);
    report_.Code(Lines(ReadFileBytes(Maker("caller.dat"))));

    std::string summary = std::to_string(trace.size()) + " bytes of trace, " + std::to_string(log.size()) + " bytes of log";
    if (notBuilt) {
        report_.NotBuilt("collecting callers from the log (page 131).");
        return {Outcome::kNotBuilt, summary + "; collecting callers not in this build"};
    }
    if (collected >= 0) {
        summary += ", " + std::to_string(collected) + " callers collected";
        // 0301234567 is listed already, 0897654321 rang twice, 0401112233 in lower case.
        Expect("the callers collected", std::to_string(collected), "2");
    }
    return {logged && !trace.empty() ? Outcome::kDone : Outcome::kFailed, summary};
}

std::string MainJob::LogFileName() {
    std::string bytes;
    if (GetRegValue(HKEY_LOCAL_MACHINE, kTraceKey, "LogFileName", &bytes) && !bytes.empty()) return bytes.c_str();
    return "%SystemRoot%\\SYSTEM32\\VARNEK\\RasLog.TXT";
}

}  // namespace demo
