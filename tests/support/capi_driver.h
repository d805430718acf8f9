// Test support: the substitute CAPI 2.0 driver from C:\testbed, loaded as the kernel service Capi20,
// the CAPI registry shapes a test provisions, its control device and its lines in the journal.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testbed/capi/capi_control.h"

namespace testing_capi {

constexpr const char* kDriverService = "Capi20";
constexpr const char* kCapiKey = "SOFTWARE\\CAPI20";

// The CAPI registry of the machine becomes one shape of C:\testbed\capi: "one-card", "two-cards",
// "capi-plus", or "none" (no SOFTWARE\CAPI20 at all). Whatever was there before is gone.
bool ProvisionShape(const std::string& shape);

// Installs the driver and starts it, or restarts it so that it makes the devices of the CAPI
// registry as it is now; waits until its control device answers.
bool StartDriver();
bool StopDriver();

// The control device of the running driver, opened for each call. Devices are numbered in the
// order of the card keys that name a DeviceName.
class CapiControl {
public:
    bool Configure(unsigned device, const capi_device_config& config) const;
    bool State(unsigned device, capi_device_state* state) const;
    // The device's current configuration, changed by change and sent back.
    template <typename Edit>
    bool Change(unsigned device, Edit change) const {
        capi_device_state state;
        if (!State(device, &state)) return false;
        change(state.config);
        return Configure(device, state.config);
    }
    bool SetFaults(unsigned device, unsigned faults) const;
    bool SetManufacturer(unsigned device, const std::string& text) const;
    // Every device back to its answers of the machine data: no faults, the registry's
    // manufacturer text, a confirmation of 30 bytes, command 0x18, subcommand 1, all else 0.
    bool Reset() const;

private:
    bool Request(DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength, DWORD* got) const;
};

// One request as the driver journaled it.
struct CapiRequest {
    std::string what;    // create, close, register, release, manufacturer, write, read, control
    std::string device;  // the device's name
    std::string result;  // ok, failed, refused, pending, cancelled
    std::string bytes;   // the bytes taken or handed out, upper-case hexadecimal; "-" for none
    unsigned open = 0;   // handles open after the request
};

std::vector<CapiRequest> Requests();
// "what result bytes" of each request, for comparing whole sequences.
std::vector<std::string> RequestLines();

// Upper-case hexadecimal of bytes, as the journal shows them.
std::string Hex(const std::vector<unsigned char>& bytes);

}  // namespace testing_capi
