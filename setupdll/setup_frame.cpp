// The common pattern of a setup procedure: parse, ENTER, worker, LEAVE.
#include "setupdll/setup_frame.h"

#include "common/setup_log.h"
#include "common/setup_results.h"

namespace {

// The engine always passes a result pointer; a caller that does not still gets a valid call.
LPSTR* ResultSlot(LPSTR* result) {
    static LPSTR unused;
    return result ? result : &unused;
}

// The printf family prints a missing parameter this way; the log line shows it the same on every
// runtime.
const char* ShownParameter(const char* parameter) { return parameter ? parameter : "(null)"; }

const char* EnterDetail(const SetupExport& row, const SetupArguments& arguments) {
    if (row.flags & kEnterShowsParameter) return ShownParameter(arguments.parameter);
    if (row.flags & kEnterShowsInstallMode) return IsInstallMode(arguments.parameter) ? "; Installmode" : "";
    return "";
}

}  // namespace

BOOL RunSetupProcedure(const SetupExport& row, DWORD argc, LPSTR argv[], LPSTR* result) {
    result = ResultSlot(result);
    SetupArguments arguments;
    if (row.flags & kParsesArguments) arguments = ParseSetupArguments(argc, argv);
    // Each line's format comes from the table; the arguments a format does not take are ignored.
    if (LogLevel >= 2)
        WriteSetupLog(kLogSourceSetup, 2, row.enter, static_cast<unsigned>(arguments.shownWindow),
                      EnterDetail(row, arguments));
    const char* text = nullptr;
    BOOL returned = row.worker(arguments, &text);
    if (row.flags & kAnswersOk) {
        text = kResultOk;
        returned = TRUE;
    }
    // A worker that set no text reports a failure, never a success it did not claim.
    if (!text) text = kResultError;
    *result = const_cast<LPSTR>(text);
    if (LogLevel >= 2) WriteSetupLog(kLogSourceSetup, 2, row.leave, *result);
    return returned;
}
