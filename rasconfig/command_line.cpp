#include "rasconfig/command_line.h"

#include <cstring>

namespace {

bool NeedsQuotes(const char* name) { return !*name || strpbrk(name, " \t") != nullptr; }

bool AppendText(char* out, size_t size, size_t* length, const char* text) {
    const size_t n = strlen(text);
    if (*length + n >= size) return false;
    memcpy(out + *length, text, n + 1);
    *length += n;
    return true;
}

}  // namespace

bool IsPassableArgument(const char* name) {
    if (!name || strchr(name, '"')) return false;
    const size_t n = strlen(name);
    return !(NeedsQuotes(name) && n > 0 && name[n - 1] == '\\');
}

bool AppendArgument(char* out, size_t size, size_t* length, const char* name) {
    if (!IsPassableArgument(name)) return false;
    const bool quoted = NeedsQuotes(name);
    const size_t n = strlen(name) + (quoted ? 2 : 0);
    if (*length + n >= size) return false;
    size_t at = *length;
    if (quoted) out[at++] = '"';
    memcpy(out + at, name, strlen(name));
    at += strlen(name);
    if (quoted) out[at++] = '"';
    out[at] = '\0';
    *length = at;
    return true;
}

bool FormatTraceIconsCommand(char* out, size_t size, const char* traceName, const char* logName,
                             const char* systemDirectory, const char* infPath) {
    if (!out || size == 0) return false;
    out[0] = '\0';
    size_t length = 0;
    const bool ok = AppendText(out, size, &length, "setup.exe /f /t TraceFilename = ") &&
                    AppendArgument(out, size, &length, traceName) &&
                    AppendText(out, size, &length, " /t LogFilename = ") &&
                    AppendArgument(out, size, &length, logName) &&
                    AppendText(out, size, &length, " /t !STF_WINDOWSSYSPATH = ") &&
                    AppendArgument(out, size, &length, systemDirectory) &&
                    AppendText(out, size, &length, " /c SetRasTraceIcons /i ") &&
                    AppendArgument(out, size, &length, infPath);
    if (!ok) out[0] = '\0';
    return ok;
}

bool FormatViewerCommand(char* out, size_t size, const char* viewer, const char* file, bool viewerIsProgram) {
    if (!out || size == 0 || !viewer) return false;
    out[0] = '\0';
    size_t length = 0;
    const bool ok = (viewerIsProgram ? AppendArgument(out, size, &length, viewer)
                                     : *viewer != '\0' && AppendText(out, size, &length, viewer)) &&
                    AppendText(out, size, &length, " ") && AppendArgument(out, size, &length, file);
    if (!ok) out[0] = '\0';
    return ok;
}
