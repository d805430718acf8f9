#include "maintenance/named_files.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/ascii_case.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"

namespace {

const char kTraceParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRasTraceSV\\Parameters";
const char kDriverParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters";
// The trace service reads its names into 256 bytes; a longer one was never written to.
constexpr DWORD kNameSize = 256;
constexpr DWORD kDefaultBackups = 3;
// A count beyond this is no count the center allows; backups are looked for up to it at most.
constexpr DWORD kMostBackups = 999;

bool ReadName(const char* key, const char* value, char* name) {
    char path[kPathSize];
    return JoinRegistryPath(key, value, path) && ReadRegString(path, name, kNameSize) > 0 && name[0] != '\0';
}

// Backup k of a trace or log file: the number before the extension of the last ".", or at the end.
bool BackupName(const char* name, DWORD k, char* out) {
    const char* dot = strrchr(name, '.');
    const int n = dot ? snprintf(out, kPathSize, "%.*s%lu.%s", static_cast<int>(dot - name), name,
                                 static_cast<unsigned long>(k), dot + 1)
                      : snprintf(out, kPathSize, "%s%lu", name, static_cast<unsigned long>(k));
    return n > 0 && static_cast<DWORD>(n) < kPathSize;
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

void NamedFiles::AddStream(const char* nameValue, const char* countValue, const char* defaultName) {
    char name[kNameSize], fallback[kPathSize];
    if (!ReadName(kTraceParameters, nameValue, name) || !ExpandInPlace(name, sizeof name) ||
        !JoinPath(defaultName, nullptr, fallback) || EqualsIgnoringCase(name, fallback))
        return;
    paths_.push_back(name);
    DWORD count = kDefaultBackups;
    char path[kPathSize];
    if (JoinRegistryPath(kTraceParameters, countValue, path)) ReadRegDword(path, &count);
    // Backups of an earlier, larger count lie behind the present one: taken while they follow on.
    char backup[kPathSize];
    for (DWORD k = 1; k <= kMostBackups && BackupName(name, k, backup) && (k <= count || Exists(backup)); ++k)
        paths_.push_back(backup);
}

void NamedFiles::AddDiagnosticLog() {
    char name[kNameSize];
    if (!ReadName(kTraceParameters, "TraceServiceTrace", name)) return;
    char generation[kPathSize];
    for (int n = 0; n <= kLogGenerations; ++n)
        if (LogGenerationName(name, n, generation, sizeof generation)) paths_.push_back(generation);
}

void NamedFiles::AddCallerFile() {
    char name[kNameSize], fallback[kPathSize];
    if (!ReadName(kDriverParameters, "IncomingCallerFile", name) || !ExpandInPlace(name, sizeof name) ||
        !JoinPath(kMakerDirectory, "caller.dat", fallback) || EqualsIgnoringCase(name, fallback))
        return;
    paths_.push_back(name);
}

void NamedFiles::Read() {
    paths_.clear();
    AddStream("TraceFileName", "TraceFileCount", "%SystemRoot%\\SYSTEM32\\VARNEK\\RasTrc.TXT");
    AddStream("LogFileName", "LogFileCount", "%SystemRoot%\\SYSTEM32\\VARNEK\\RasLog.TXT");
    AddDiagnosticLog();
    AddCallerFile();
}

void NamedFiles::Delete() const {
    for (const std::string& path : paths_)
        if (Exists(path.c_str())) DeleteOneFile(path.c_str(), nullptr, FALSE);
}
