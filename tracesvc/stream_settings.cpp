// The service's settings: file names, backup counts, size limits and the two intervals.
#include "tracesvc/stream_settings.h"

#include <cstring>

#include "common/paths.h"
#include "common/registry.h"

const char kTraceServiceParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRasTraceSV\\Parameters";

namespace {

struct StreamValues {
    const char* name;
    const char* count;
    const char* size;
    const char* defaultName;
};

const StreamValues kLogValues = {"LogFileName", "LogFileCount", "LogFileSize",
                                 "%SystemRoot%\\SYSTEM32\\VARNEK\\RasLog.TXT"};
const StreamValues kTraceValues = {"TraceFileName", "TraceFileCount", "TraceFileSize",
                                   "%SystemRoot%\\SYSTEM32\\VARNEK\\RasTrc.TXT"};

const StreamValues& ValuesOf(StreamKind kind) { return kind == StreamKind::Log ? kLogValues : kTraceValues; }

}  // namespace

BOOL ServiceSettingPath(const char* valueName, char* path, DWORD size) {
    return JoinRegistryPath(kTraceServiceParametersKey, valueName, path, size);
}

const char* StreamFileNameValue(StreamKind kind) { return ValuesOf(kind).name; }
const char* StreamFileCountValue(StreamKind kind) { return ValuesOf(kind).count; }
const char* StreamFileSizeValue(StreamKind kind) { return ValuesOf(kind).size; }

DWORD ReadServiceSetting(const char* valueName, DWORD fallback) {
    char path[kPathSize];
    DWORD value = fallback;
    if (ServiceSettingPath(valueName, path, sizeof path) && ReadRegDword(path, &value)) return value;
    return fallback;
}

void ReadStreamFileName(StreamKind kind, char* name) {
    const StreamValues& values = ValuesOf(kind);
    char path[kPathSize];
    if (ServiceSettingPath(values.name, path, sizeof path) && ReadRegString(path, name, kStreamNameSize) &&
        ExpandInPlace(name, kStreamNameSize))
        return;
    CopyText(name, kStreamNameSize, values.defaultName);
    ExpandInPlace(name, kStreamNameSize);
}

void ReadStreamFileNameAsStored(StreamKind kind, char* name) {
    const StreamValues& values = ValuesOf(kind);
    char path[kPathSize];
    if (ServiceSettingPath(values.name, path, sizeof path) && ReadRegString(path, name, kStreamNameSize)) return;
    CopyText(name, kStreamNameSize, values.defaultName);
}

DWORD ReadStreamFileCount(StreamKind kind) {
    const DWORD count = ReadServiceSetting(ValuesOf(kind).count, kDefaultFileCount);
    return count > kMaxFileCount ? kMaxFileCount : count;
}

DWORD ReadStreamFileSizeKiB(StreamKind kind) {
    return ReadServiceSetting(ValuesOf(kind).size, kDefaultFileSizeKiB);
}

DWORD SizeLimitBytes(DWORD kib) { return kib > MAXDWORD / 1024 ? MAXDWORD : kib * 1024; }

DWORD ReadPollInterval() { return ReadServiceSetting("LogReadTimeOut", kDefaultPollInterval); }

DWORD ReadChangeInterval() { return ReadServiceSetting("ChangeTimeout", kDefaultChangeInterval); }
