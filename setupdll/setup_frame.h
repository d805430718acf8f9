// The frame around every exported setup procedure, and the row of the export table it works from.
#pragma once

#include <windows.h>

#include "common/setup_procedure.h"

// How a row's frame differs from the common pattern.
enum SetupExportFlags : unsigned {
    kParsesArguments = 1,      // argv is parsed; without it the worker gets no window and no parameter
    kEnterShowsParameter = 2,  // the ENTER line's %s is the parameter ("(null)" when there is none)
    kEnterShowsInstallMode = 4,  // the ENTER line's %s is "; Installmode" in install mode, else empty
    kAnswersOk = 8,            // after the worker the result is "OK" and the return value TRUE
};

struct SetupExport {
    const char* enter;  // ENTER line; a %x takes the window, a following %s the detail the flags name
    const char* leave;  // LEAVE line; a %s takes the result text
    SetupWorker worker;
    unsigned flags;
};

// Parses, logs ENTER, runs the worker, logs LEAVE and returns the worker's truth value; the result
// pointer is set on every path.
BOOL RunSetupProcedure(const SetupExport& row, DWORD argc, LPSTR argv[], LPSTR* result);
