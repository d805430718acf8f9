#include "router/capi_device.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/ascii_case.h"
#include "common/setup_log.h"
#include "router/capi_message.h"

const char kCapiTrue[] = "TRUE";
const char kCapiFalse[] = "FALSE";

namespace {

constexpr DWORD kCapiIoctlRegister = 0x80012004;
constexpr DWORD kCapiIoctlRelease = 0x80012008;
constexpr DWORD kCapiIoctlManufacturer = 0x80012014;
// How long a cancelled request may take to end before its memory is given up for lost.
constexpr DWORD kCancelGraceMs = 1000;
constexpr DWORD kManufacturerBufferSize = 64;

HANDLE g_device = INVALID_HANDLE_VALUE;

// The memory of one request, on the heap: a request that the driver does not end even after its
// cancellation keeps this block, never a stack frame that has gone.
struct RequestBlock {
    OVERLAPPED overlapped;
    BYTE in[32];
    BYTE out[kCapiAnswerSize];
};

enum class Request { Control, Write, Read };

// Runs one request on the open device and waits for it at most kCapiRequestTimeoutMs. FALSE with
// the system error in GetLastError, ERROR_TIMEOUT for a request that did not end in time.
BOOL DeviceRequest(Request kind, DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength,
                   DWORD* transferred) {
    *transferred = 0;
    if (inLength > sizeof(RequestBlock::in) || outLength > sizeof(RequestBlock::out)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* block = static_cast<RequestBlock*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(RequestBlock)));
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    block->overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!block->overlapped.hEvent) {
        const DWORD error = GetLastError();
        HeapFree(GetProcessHeap(), 0, block);
        SetLastError(error);
        return FALSE;
    }
    if (inLength) memcpy(block->in, in, inLength);
    DWORD count = 0;
    BOOL started = FALSE;
    switch (kind) {
    case Request::Control:
        started = DeviceIoControl(g_device, code, inLength ? block->in : nullptr, inLength,
                                  outLength ? block->out : nullptr, outLength, &count, &block->overlapped);
        break;
    case Request::Write:
        started = WriteFile(g_device, block->in, inLength, &count, &block->overlapped);
        break;
    case Request::Read:
        started = ReadFile(g_device, block->out, outLength, &count, &block->overlapped);
        break;
    }
    DWORD error = ERROR_SUCCESS;
    bool abandoned = false;
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        error = GetLastError();
    } else if (WaitForSingleObject(block->overlapped.hEvent, kCapiRequestTimeoutMs) == WAIT_OBJECT_0) {
        if (!GetOverlappedResult(g_device, &block->overlapped, &count, FALSE)) error = GetLastError();
    } else {
        CancelIo(g_device);
        abandoned = WaitForSingleObject(block->overlapped.hEvent, kCancelGraceMs) != WAIT_OBJECT_0;
        error = ERROR_TIMEOUT;
    }
    if (error == ERROR_SUCCESS) {
        if (kind != Request::Write && count > outLength) count = outLength;
        *transferred = count;
        if (outLength) memcpy(out, block->out, count);
    }
    if (!abandoned) {
        CloseHandle(block->overlapped.hEvent);
        HeapFree(GetProcessHeap(), 0, block);
    } else if (LogLevel >= kLogFailure) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "CAPI request 0x%lx not ended after its cancellation", code);
    }
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

void Log(DWORD level, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
void Log(DWORD level, const char* format, ...) {
    if (LogLevel < level) return;
    va_list arguments;
    va_start(arguments, format);
    WriteSetupLogV(kLogSourceSetup, level, format, arguments);
    va_end(arguments);
}

// Open, register; on success the caller releases and closes.
bool OpenAndRegister(const char* deviceName) {
    if (!OpenCapiDevice(deviceName)) return false;
    if (CapiRegister()) return true;
    CloseCapiDevice();
    return false;
}

void ReleaseAndClose() {
    CapiRelease();
    CloseCapiDevice();
}

}  // namespace

int OpenCapiDevice(const char* deviceName) {
    CloseCapiDevice();
    char path[MAX_PATH];
    const int length = snprintf(path, sizeof path, "\\\\.\\%s", deviceName ? deviceName : "");
    if (length < 0 || static_cast<size_t>(length) >= sizeof path) {
        Log(kLogFailure, "can't open %s (%d)\n", deviceName ? deviceName : "",
            static_cast<int>(ERROR_FILENAME_EXCED_RANGE));
        return 0;
    }
    // Overlapped, so that every request can be given up after a time.
    g_device = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (g_device == INVALID_HANDLE_VALUE) {
        Log(kLogFailure, "can't open %s (%d)\n", deviceName, static_cast<int>(GetLastError()));
        return 0;
    }
    return 1;
}

void CloseCapiDevice() {
    if (g_device == INVALID_HANDLE_VALUE) return;
    CloseHandle(g_device);
    g_device = INVALID_HANDLE_VALUE;
}

int GetManufacturer(char* buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    if (g_device == INVALID_HANDLE_VALUE) {
        Log(kLogFailure, "GetManufacturer ERROR;Capi Driver not open");
        buffer[0] = '\0';
        return 0;
    }
    const DWORD offered = size < kCapiAnswerSize ? size : static_cast<DWORD>(kCapiAnswerSize);
    DWORD returned = 0;
    if (!DeviceRequest(Request::Control, kCapiIoctlManufacturer, nullptr, 0, buffer, offered, &returned)) {
        Log(kLogTrace, "IsCapiPlus GetManufacturer failed (error %d)\n", static_cast<int>(GetLastError()));
        return 0;
    }
    buffer[returned < size - 1 ? returned : size - 1] = '\0';
    Log(kLogTrace, "IsCapiPlus, manufacturerstring is: %s\n", buffer);
    return 1;
}

int CapiRegister() {
    // Message buffer size, logical connections, B-data blocks, B-data block length.
    static const BYTE kRegistration[8] = {0x00, 0x04, 0x02, 0x00, 0x08, 0x00, 0x80, 0x00};
    DWORD returned = 0;
    if (!DeviceRequest(Request::Control, kCapiIoctlRegister, kRegistration, sizeof kRegistration, nullptr, 0,
                       &returned)) {
        Log(kLogFailure, "capi register failed (error %d)\n", static_cast<int>(GetLastError()));
        return 0;
    }
    Log(kLogTrace, "capi register sucessful\n");
    return 1;
}

int CapiRelease() {
    DWORD returned = 0;
    if (!DeviceRequest(Request::Control, kCapiIoctlRelease, nullptr, 0, nullptr, 0, &returned)) {
        Log(kLogTrace, "capi release failed (error %d)\n", static_cast<int>(GetLastError()));
        return 0;
    }
    Log(kLogTrace, "capi release sucessful\n");
    return 1;
}

int IsCapiPlus(int argc, const char* const* argv, const char** result) {
    *result = kCapiFalse;
    if (argc < 1 || !argv) return 0;
    if (!OpenCapiDevice(argv[0])) return 1;
    char manufacturer[kManufacturerBufferSize];
    if (GetManufacturer(manufacturer, sizeof manufacturer) && ContainsIgnoringCase(manufacturer, "CAPI+"))
        *result = kCapiTrue;
    CloseCapiDevice();
    return 1;
}

int GetParams(int argc, const char* const* argv, const char** result, DWORD* protocol) {
    *protocol = 1;
    *result = kCapiFalse;
    if (argc < 2 || !argv) return 0;
    if (!OpenAndRegister(argv[0])) return 1;
    uint8_t query[kCapiQuerySize];
    BuildParamsQuery(static_cast<uint8_t>(ParseCapiNumber(argv[1])), query);
    DWORD count = 0;
    uint8_t answer[kCapiAnswerSize];
    if (!DeviceRequest(Request::Write, 0, query, sizeof query, nullptr, 0, &count)) {
        Log(kLogFailure, "Getparams write capi failed with: %lu\n", GetLastError());
    } else if (!DeviceRequest(Request::Read, 0, nullptr, 0, answer, sizeof answer, &count)) {
        Log(kLogFailure, "GetParams, read failed with: %lu\n", GetLastError());
    } else {
        uint32_t driverProtocol = 0, flags = 0;
        if (AcceptConfirmation(answer, count, &driverProtocol, &flags)) {
            *result = kCapiTrue;
            Log(kLogTrace, "GetParams, get params sucessful, protocol: %lu, flags: 0x%lx (%lu)\n",
                static_cast<unsigned long>(driverProtocol), static_cast<unsigned long>(flags), count);
            *protocol = driverProtocol;
        } else {
            Log(kLogFailure, "GetParams, unexpected capi msg; VrkSetParams");
        }
    }
    ReleaseAndClose();
    return 1;
}

int SetParams(int argc, const char* const* argv, const char** result) {
    *result = kCapiFalse;
    if (argc < 4 || !argv) {
        Log(kLogFailure, "Setparam, Too fee parameters\n");
        return 0;
    }
    if (!OpenAndRegister(argv[0])) return 1;
    const uint8_t controller = static_cast<uint8_t>(ParseCapiNumber(argv[1]));
    const uint16_t flags = static_cast<uint16_t>(ParseCapiNumber(argv[2]));
    const uint8_t protocol = static_cast<uint8_t>(ParseCapiNumber(argv[3]));
    uint8_t request[kCapiSetSize];
    BuildParamsSet(controller, flags, protocol, request);
    DWORD count = 0;
    if (DeviceRequest(Request::Write, 0, request, sizeof request, nullptr, 0, &count)) {
        *result = kCapiTrue;
        Log(kLogTrace, "SetParams, set params sucessful, protocol: %lu, flags: 0x%lx (%lu)\n",
            static_cast<unsigned long>(protocol), static_cast<unsigned long>(flags), count);
    } else {
        Log(kLogFailure, "SetParams, get params failed with %lu\n", GetLastError());
    }
    ReleaseAndClose();
    return 1;
}
