// Control channel to the VrkRas driver: one device control request per operation, the device
// opened and closed around each one.
#pragma once

#include <windows.h>

#include "common/handles.h"

constexpr DWORD kDriverRequestCode = 0xFF010100;
// IOCTL_NDIS_QUERY_GLOBAL_STATS: FILE_DEVICE_PHYSICAL_NETCARD, function 0, METHOD_OUT_DIRECT.
constexpr DWORD kDriverControlCode = 0x00170002;
constexpr DWORD kDriverHeaderSize = 12;
constexpr DWORD kDriverTextBufferSize = 256;

// Selectors of the driver control request.
constexpr DWORD kSelSetTraceLevel = 0;
constexpr DWORD kSelGetTraceLevel = 1;
constexpr DWORD kSelSetDefaultInbound = 2;
constexpr DWORD kSelSetDefaultOutbound = 4;
constexpr DWORD kSelLoadMsnEazTable = 8;
constexpr DWORD kSelSetLogLevel = 10;
constexpr DWORD kSelGetLogLevel = 11;
constexpr DWORD kSelLoadCallerList = 12;
constexpr DWORD kSelSetIncallFlags = 14;
constexpr DWORD kSelReadLogText = 16;
constexpr DWORD kSelReadTraceText = 17;

extern const char kVrkRasParametersKey[];

// Opens \\.\VrkRas<AdapterNumber>; when that finds no DOS name, defines it and opens again. Returns
// ERROR_SUCCESS with the device in *device, or the Win32 error of the failed step.
DWORD OpenDriverDevice(vrk::FileHandle* device);
// The first word of the reply to a 12-byte request; 0 when the request fails.
DWORD SendDriverValue(HANDLE device, DWORD selector, DWORD parameter);
DWORD QueryDriverValue(HANDLE device, DWORD selector);
// Sends header and bytes in one request; a length of 0 sends nothing. ERROR_SUCCESS when the driver
// took the request (or there was nothing to send), else the request's Win32 error.
DWORD SendDriverBlock(HANDLE device, DWORD selector, const void* bytes, DWORD length);
// Offers the whole buffer for the reply and returns the reply's byte count, never more than size;
// 0 when size is below 12 or the request fails.
DWORD ReadDriverText(HANDLE device, DWORD selector, void* buffer, DWORD size);

// The public operations; each opens the device for its one request and closes it again.
BOOL ProbeDriver();
DWORD SetTraceLevel(DWORD mask);
// Without the driver: the low byte of the registry copy TraceLevel, 0 when it is absent.
DWORD GetTraceLevel();
DWORD SetDefaultInbound(DWORD protocol);
DWORD SetDefaultOutbound(DWORD protocol);
// ERROR_SUCCESS once the driver took the table, else the open error (nothing is sent then) or
// the error of the refused request.
DWORD LoadMsnEazTable(const void* bytes, DWORD length);
DWORD SetLogLevel(DWORD mask);
// Without the driver: the low byte of the registry copy LogLevel, 0 when it is absent.
DWORD GetLogLevel();
// As LoadMsnEazTable.
DWORD LoadCallerList(const void* bytes, DWORD length);
DWORD SetIncallFlags(DWORD flags);
// SetIncallFlags that tells whether the driver took them: ERROR_SUCCESS, the open error, or the
// error of the refused request.
DWORD SendIncallFlags(DWORD flags);
// Whether an error of the operations above means that no driver is there to be told: its device
// is not loaded. The driver reads its settings when it starts.
bool IsDriverAbsent(DWORD error);

// One fetch of the driver's log or trace text into buffer; 0 bytes without the driver.
DWORD ReadLogStream(void* buffer, DWORD size);
DWORD ReadTraceStream(void* buffer, DWORD size);
