// Control channel to the VrkRas driver: device name, open, the request layout and every operation.
#include "rasconfig/driver_channel.h"

#include <cstdio>
#include <cstring>

#include "common/bytestring.h"
#include "common/registry.h"

const char kVrkRasParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters";

namespace {

constexpr DWORD kDosTargetSize = 256;
// "VrkRas" and up to ten digits.
constexpr DWORD kDosNameSize = 17;
const char kAdapterNumberPath[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters\\AdapterNumber";

void PutWord(BYTE* at, DWORD value) { memcpy(at, &value, sizeof value); }

DWORD GetWord(const BYTE* at) {
    DWORD value;
    memcpy(&value, at, sizeof value);
    return value;
}

void PutHeader(BYTE* request, DWORD selector, DWORD parameter) {
    PutWord(request, kDriverRequestCode);
    PutWord(request + 4, selector);
    PutWord(request + 8, parameter);
}

// The input is the request code alone; the driver finds selector, parameter and payload in the
// output buffer and answers into it.
bool Transact(HANDLE device, BYTE* request, DWORD length, DWORD* replyLength) {
    DWORD returned = 0;
    if (!DeviceIoControl(device, kDriverControlCode, request, sizeof(DWORD), request, length, &returned, nullptr))
        return false;
    *replyLength = returned;
    return true;
}

DWORD RegistryLevel(const char* valueName) {
    char path[kPathSize];
    DWORD level = 0;
    if (!JoinRegistryPath(kVrkRasParametersKey, valueName, path) || !ReadRegDword(path, &level)) return 0;
    return level & 0xFF;
}

// Set and get operations: the low byte of the reply, 0 without the device.
DWORD ValueOperation(DWORD selector, DWORD parameter) {
    vrk::FileHandle device;
    if (OpenDriverDevice(&device) != ERROR_SUCCESS) return 0;
    return SendDriverValue(device.get(), selector, parameter) & 0xFF;
}

DWORD BlockOperation(DWORD selector, const void* bytes, DWORD length) {
    vrk::FileHandle device;
    const DWORD error = OpenDriverDevice(&device);
    if (error != ERROR_SUCCESS) return error;
    return SendDriverBlock(device.get(), selector, bytes, length);
}

DWORD StreamOperation(DWORD selector, void* buffer, DWORD size) {
    vrk::FileHandle device;
    if (OpenDriverDevice(&device) != ERROR_SUCCESS) return 0;
    return ReadDriverText(device.get(), selector, buffer, size);
}

DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

}  // namespace

DWORD OpenDriverDevice(vrk::FileHandle* device) {
    DWORD adapter = 0;
    if (!ReadRegDword(kAdapterNumberPath, &adapter)) return ERROR_FILE_NOT_FOUND;

    // "\\.\VrkRas<n>", put together by hand: the trace service opens the device twice a second
    // all day long, and a formatted print costs more than the rest of the open.
    char openPath[4 + kDosNameSize];
    memcpy(openPath, "\\\\.\\VrkRas", 10);
    NumberToText(adapter, 10, openPath + 10, sizeof openPath - 10);
    const char* const dosName = openPath + 4;
    const auto open = [&]() -> DWORD {
        device->reset(CreateFileA(openPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        return device->valid() ? ERROR_SUCCESS : LastErrorOr(ERROR_GEN_FAILURE);
    };
    // The DOS name is defined once and then found by every later open: the driver is opened first,
    // and the name is looked at only when the open did not find it.
    const DWORD error = open();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return error;
    char target[kDosTargetSize];
    if (QueryDosDeviceA(dosName, target, sizeof target) || GetLastError() != ERROR_FILE_NOT_FOUND) return error;
    char kernelName[8 + kDosNameSize];
    snprintf(kernelName, sizeof kernelName, "\\Device\\%s", dosName);
    // The definition stays for later opens by any process; it is never removed.
    if (!DefineDosDeviceA(DDD_RAW_TARGET_PATH, dosName, kernelName)) return LastErrorOr(ERROR_GEN_FAILURE);
    return open();
}

DWORD SendDriverValue(HANDLE device, DWORD selector, DWORD parameter) {
    BYTE request[kDriverHeaderSize];
    PutHeader(request, selector, parameter);
    DWORD replyLength = 0;
    // A reply shorter than one word leaves the request code in place, which is no answer.
    if (!Transact(device, request, sizeof request, &replyLength) || replyLength < sizeof(DWORD)) return 0;
    return GetWord(request);
}

DWORD QueryDriverValue(HANDLE device, DWORD selector) { return SendDriverValue(device, selector, 0); }

DWORD SendDriverBlock(HANDLE device, DWORD selector, const void* bytes, DWORD length) {
    if (length == 0) return ERROR_SUCCESS;
    if (length > MAXDWORD - kDriverHeaderSize) return ERROR_INVALID_PARAMETER;
    vrk::HeapBlock block(HeapAlloc(GetProcessHeap(), 0, length + kDriverHeaderSize));
    if (!block.valid()) return ERROR_NOT_ENOUGH_MEMORY;
    BYTE* request = static_cast<BYTE*>(block.get());
    PutHeader(request, selector, 0);
    memcpy(request + kDriverHeaderSize, bytes, length);
    DWORD replyLength = 0;
    return Transact(device, request, length + kDriverHeaderSize, &replyLength) ? ERROR_SUCCESS
                                                                                : LastErrorOr(ERROR_GEN_FAILURE);
}

DWORD ReadDriverText(HANDLE device, DWORD selector, void* buffer, DWORD size) {
    if (size < kDriverHeaderSize) return 0;
    BYTE* request = static_cast<BYTE*>(buffer);
    PutHeader(request, selector, 0);
    DWORD replyLength = 0;
    if (!Transact(device, request, size, &replyLength)) return 0;
    // A driver may claim more than it was offered; only the offered buffer holds its text.
    return replyLength > size ? size : replyLength;
}

BOOL ProbeDriver() {
    vrk::FileHandle device;
    return OpenDriverDevice(&device) == ERROR_SUCCESS;
}

DWORD SetTraceLevel(DWORD mask) { return ValueOperation(kSelSetTraceLevel, mask); }

DWORD GetTraceLevel() {
    vrk::FileHandle device;
    if (OpenDriverDevice(&device) != ERROR_SUCCESS) return RegistryLevel("TraceLevel");
    return QueryDriverValue(device.get(), kSelGetTraceLevel) & 0xFF;
}

DWORD SetDefaultInbound(DWORD protocol) { return ValueOperation(kSelSetDefaultInbound, protocol); }
DWORD SetDefaultOutbound(DWORD protocol) { return ValueOperation(kSelSetDefaultOutbound, protocol); }

DWORD LoadMsnEazTable(const void* bytes, DWORD length) { return BlockOperation(kSelLoadMsnEazTable, bytes, length); }

DWORD SetLogLevel(DWORD mask) { return ValueOperation(kSelSetLogLevel, mask); }

DWORD GetLogLevel() {
    vrk::FileHandle device;
    if (OpenDriverDevice(&device) != ERROR_SUCCESS) return RegistryLevel("LogLevel");
    return QueryDriverValue(device.get(), kSelGetLogLevel) & 0xFF;
}

DWORD LoadCallerList(const void* bytes, DWORD length) { return BlockOperation(kSelLoadCallerList, bytes, length); }

DWORD SetIncallFlags(DWORD flags) { return ValueOperation(kSelSetIncallFlags, flags); }

DWORD SendIncallFlags(DWORD flags) {
    vrk::FileHandle device;
    const DWORD error = OpenDriverDevice(&device);
    if (error != ERROR_SUCCESS) return error;
    BYTE request[kDriverHeaderSize];
    PutHeader(request, kSelSetIncallFlags, flags);
    DWORD replyLength = 0;
    return Transact(device.get(), request, sizeof request, &replyLength) ? ERROR_SUCCESS
                                                                          : LastErrorOr(ERROR_GEN_FAILURE);
}

bool IsDriverAbsent(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

DWORD ReadLogStream(void* buffer, DWORD size) { return StreamOperation(kSelReadLogText, buffer, size); }
DWORD ReadTraceStream(void* buffer, DWORD size) { return StreamOperation(kSelReadTraceText, buffer, size); }
