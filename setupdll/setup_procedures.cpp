// The exported setup procedures: each parses its arguments, logs ENTER, hands over to its worker,
// logs LEAVE with the result text and returns the worker's truth value.
#include <windows.h>

#include "common/language.h"
#include "common/setup_log.h"
#include "setupdll/setup_arguments.h"
#include "setupdll/setup_results.h"

namespace {

// The engine always passes a result pointer; a caller that does not still gets a valid call.
LPSTR* ResultSlot(LPSTR* result) {
    static LPSTR unused;
    return result ? result : &unused;
}

// The printf family prints a missing parameter this way; the log line shows it the same on every
// runtime.
const char* ShownParameter(const char* parameter) { return parameter ? parameter : "(null)"; }

unsigned WindowNumber(HWND window) { return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)); }

BOOL AttachLanguageWorker(const char* directory, LPSTR* result) {
    if (AttachLanguageModule(directory)) {
        *result = const_cast<LPSTR>(kResultOk);
        return TRUE;
    }
    *result = const_cast<LPSTR>(kResultLanguageDllNotFound);
    return FALSE;
}

}  // namespace

extern "C" BOOL WINAPI AttachLangDLL(DWORD argc, LPSTR argv[], LPSTR* result) {
    result = ResultSlot(result);
    const SetupArguments args = ParseSetupArguments(argc, argv);
    if (LogLevel >= 2)
        WriteSetupLog(kLogSourceSetup, 2, "AttachLangDLL ENTER;wnd=%x;param=%s", WindowNumber(args.window),
                      ShownParameter(args.parameter));
    const BOOL returned = AttachLanguageWorker(args.parameter, result);
    if (LogLevel >= 2) WriteSetupLog(kLogSourceSetup, 2, "AttachLangDLL LEAVE; %s", *result);
    return returned;
}
