#include "rasconfig/program_start.h"

#include "common/handles.h"

BOOL StartProgram(const char* application, char* commandLine, DWORD creationFlags) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(application, commandLine, nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr, &startup,
                        &started))
        return FALSE;
    // Nobody waits for the program: its handles would stay open as long as the host runs.
    vrk::FileHandle process(started.hProcess);
    vrk::FileHandle thread(started.hThread);
    return TRUE;
}
