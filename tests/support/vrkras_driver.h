// Test support: the substitute VrkRas driver from C:\testbed, loaded as the kernel service VrkRas,
// and its test-control device.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testbed/vrkras/vrkras_control.h"

namespace testing_vrkras {

constexpr const char* kDriverService = "VrkRas";
constexpr const char* kDriverParameters = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters";

// Writes AdapterNumber and installs the driver.
bool InstallDriver(DWORD adapter = 1);
// Starts the driver and waits until its control device answers.
bool StartDriver();
bool StopDriver();

// The control device of the running driver, opened for each call.
class DriverControl {
public:
    explicit DriverControl(DWORD adapter = 1);
    bool Configure(const vrkras_stream_config& config) const;
    // A pattern stream: unlimited and at full speed unless limit or rate say otherwise.
    bool Pattern(unsigned stream, unsigned pattern, char tag, unsigned chunk = VRKRAS_CHUNK_CYCLE,
                 unsigned rate = 0, unsigned long long limit = VRKRAS_UNLIMITED) const;
    // A queue stream that hands out what Push gives it, in chunks of at most chunk bytes.
    bool Queue(unsigned stream, unsigned chunk = VRKRAS_MAX_CHUNK) const;
    bool Push(unsigned stream, const std::string& bytes) const;
    bool SetLimit(unsigned stream, unsigned long long limit) const;
    bool Faults(const vrkras_faults& faults) const;
    bool Reset() const;
    // Gives the driver these levels the way its own start would, without a request of the system.
    bool PresetLevels(unsigned traceLevel, unsigned logLevel) const;
    bool State(vrkras_state* state) const;
    // The MSN/EAZ table or the caller list as the driver last received it.
    std::string Block(unsigned block) const;
    bool Off(unsigned stream) const;

private:
    bool Request(DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength, DWORD* got) const;
    std::string path_;
};

// The bytes [offset, offset + length) of a pattern stream.
std::string PatternText(unsigned pattern, char tag, unsigned long long offset, size_t length);
// The offsets at which the chunks of a stream of the given length begin, and its end.
std::vector<unsigned long long> ChunkStarts(unsigned rule, unsigned long long length);

}  // namespace testing_vrkras
