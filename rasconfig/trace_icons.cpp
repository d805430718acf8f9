#include "rasconfig/trace_icons.h"

#include "common/paths.h"
#include "rasconfig/command_line.h"
#include "rasconfig/program_start.h"

namespace {

BOOL ExpandedCopy(const char* text, char* out) { return CopyText(out, kExpandSize, text) && ExpandInPlace(out, kExpandSize); }

}  // namespace

BOOL InstallTraceIcons(const char* traceName, const char* logName) {
    char systemDirectory[kExpandSize];
    char infPath[kExpandSize];
    if (!ExpandedCopy("%SystemRoot%\\SYSTEM32", systemDirectory) ||
        !ExpandedCopy("%SystemRoot%\\SYSTEM32\\VARNEK\\VRKICONS.INF", infPath))
        return FALSE;
    char command[kTraceIconsCommandSize];
    if (!FormatTraceIconsCommand(command, sizeof command, traceName, logName, systemDirectory, infPath)) return FALSE;
    // No application name: the platform's search finds the setup program of this machine.
    return StartProgram(nullptr, command, 0);
}
