// Access to an ISDN card's CAPI 2.0 driver through its device: open, register, release, the
// manufacturer text, and the query and setting of the driver's line parameters.
#pragma once

#include <windows.h>

extern const char kCapiTrue[];   // "TRUE"
extern const char kCapiFalse[];  // "FALSE"

// The longest a request to the device may take; a request still running then is cancelled and
// fails with ERROR_TIMEOUT, so that a driver that never answers cannot hold the setup.
constexpr DWORD kCapiRequestTimeoutMs = 3000;

// Opens "\\.\" + deviceName as the process's one CAPI device; 1 or 0.
int OpenCapiDevice(const char* deviceName);
void CloseCapiDevice();
// Manufacturer text of the open device into buffer (size bytes, always terminated); 1 or 0.
int GetManufacturer(char* buffer, DWORD size);
int CapiRegister();
int CapiRelease();

// argv[0] the device name. The return value is 0 only for too few arguments; the outcome is the
// result text, kCapiTrue or kCapiFalse.
int IsCapiPlus(int argc, const char* const* argv, const char** result);
// argv[1] the controller index; the driver's protocol comes back through protocol (1 unless the
// query succeeded).
int GetParams(int argc, const char* const* argv, const char** result, DWORD* protocol);
// argv[1] to argv[3]: controller index, flags, protocol.
int SetParams(int argc, const char* const* argv, const char** result);
