// The service's settings in its Parameters key, with the defaults that hold when a value is absent.
#pragma once

#include <windows.h>

extern const char kTraceServiceParametersKey[];

constexpr DWORD kStreamNameSize = 256;
constexpr DWORD kDefaultFileCount = 3;
// The most backups kept, whatever is configured: each rotation moves every backup once while the
// stream waits.
constexpr DWORD kMaxFileCount = 999;
constexpr DWORD kDefaultFileSizeKiB = 320;
constexpr DWORD kDefaultPollInterval = 1000;
constexpr DWORD kDefaultChangeInterval = 10000;

enum class StreamKind { Log, Trace };

// The RegistryPath of a value of the Parameters key into path; FALSE when it does not fit.
BOOL ServiceSettingPath(const char* valueName, char* path, DWORD size);
// A REG_DWORD of the Parameters key, or fallback when it is missing or of another type.
DWORD ReadServiceSetting(const char* valueName, DWORD fallback);
// The names of a stream's values: "LogFileName", "TraceFileCount", ...
const char* StreamFileNameValue(StreamKind kind);
const char* StreamFileCountValue(StreamKind kind);
const char* StreamFileSizeValue(StreamKind kind);
// The stream's file name with environment references expanded (kStreamNameSize bytes); the default
// when the value is missing, not REG_SZ, longer than 256 bytes or too long once expanded.
void ReadStreamFileName(StreamKind kind, char* name);
// The same name as stored, environment references kept (kStreamNameSize bytes); the default, not
// expanded, when the value is missing, not REG_SZ or longer than 256 bytes.
void ReadStreamFileNameAsStored(StreamKind kind, char* name);
// At most kMaxFileCount.
DWORD ReadStreamFileCount(StreamKind kind);
DWORD ReadStreamFileSizeKiB(StreamKind kind);
// KiB to bytes; a size too large for 32 bits is as large as 32 bits allow.
DWORD SizeLimitBytes(DWORD kib);
DWORD ReadPollInterval();
DWORD ReadChangeInterval();
