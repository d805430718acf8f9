// Test support: the substitute VrkRas driver, its installation and its test-control device.
#include "vrkras_driver.h"

#include <cstdio>

#include "common/handles.h"
#include "machine.h"
#include "services.h"

namespace testing_vrkras {
namespace {

using DeviceHandle = vrk::FileHandle;

DWORD ConfiguredAdapter() {
    std::string bytes;
    DWORD type = 0;
    if (testing_machine::GetRegValue(HKEY_LOCAL_MACHINE, kDriverParameters, "AdapterNumber", &bytes, &type) &&
        type == REG_DWORD && bytes.size() == sizeof(DWORD))
        return *reinterpret_cast<const DWORD*>(bytes.data());
    return 1;
}

}  // namespace

bool InstallDriver(DWORD adapter) {
    return testing_machine::SetRegDword(HKEY_LOCAL_MACHINE, kDriverParameters, "AdapterNumber", adapter) &&
           testing_services::InstallService(kDriverService, SERVICE_KERNEL_DRIVER, "C:\\testbed\\vrkras.sys");
}

bool StartDriver() {
    if (!testing_services::StartNamedService(kDriverService)) return false;
    if (!testing_services::WaitForServiceState(kDriverService, SERVICE_RUNNING)) return false;
    DriverControl control(ConfiguredAdapter());
    vrkras_state state;
    for (int i = 0; i < 200; ++i) {
        if (control.State(&state)) return true;
        Sleep(25);
    }
    return false;
}

bool StopDriver() { return testing_services::StopNamedService(kDriverService); }

DriverControl::DriverControl(DWORD adapter) {
    char path[64];
    snprintf(path, sizeof path, "\\\\.\\VrkRasCtl%lu", static_cast<unsigned long>(adapter));
    path_ = path;
}

bool DriverControl::Request(DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength,
                            DWORD* got) const {
    DeviceHandle device(CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!device.valid()) return false;
    DWORD returned = 0;
    const bool ok = DeviceIoControl(device.get(), code, const_cast<void*>(in), inLength, out, outLength, &returned,
                                    nullptr) != FALSE;
    if (got) *got = returned;
    return ok;
}

bool DriverControl::Configure(const vrkras_stream_config& config) const {
    return Request(VRKRAS_CTL_STREAM, &config, sizeof config, nullptr, 0, nullptr);
}

bool DriverControl::Pattern(unsigned stream, unsigned pattern, char tag, unsigned chunk, unsigned rate,
                            unsigned long long limit) const {
    vrkras_stream_config config = {};
    config.stream = stream;
    config.mode = VRKRAS_MODE_PATTERN;
    config.pattern = pattern;
    config.tag = static_cast<unsigned char>(tag);
    config.chunk = chunk;
    config.rate = rate;
    config.limit = limit;
    return Configure(config);
}

bool DriverControl::Queue(unsigned stream, unsigned chunk) const {
    vrkras_stream_config config = {};
    config.stream = stream;
    config.mode = VRKRAS_MODE_QUEUE;
    config.chunk = chunk;
    return Configure(config);
}

bool DriverControl::Off(unsigned stream) const {
    vrkras_stream_config config = {};
    config.stream = stream;
    config.mode = VRKRAS_MODE_OFF;
    return Configure(config);
}

bool DriverControl::Push(unsigned stream, const std::string& bytes) const {
    std::string in(reinterpret_cast<const char*>(&stream), sizeof stream);
    in += bytes;
    return Request(VRKRAS_CTL_PUSH, in.data(), static_cast<DWORD>(in.size()), nullptr, 0, nullptr);
}

bool DriverControl::SetLimit(unsigned stream, unsigned long long limit) const {
    vrkras_limit in = {};
    in.stream = stream;
    in.limit = limit;
    return Request(VRKRAS_CTL_LIMIT, &in, sizeof in, nullptr, 0, nullptr);
}

bool DriverControl::Faults(const vrkras_faults& faults) const {
    return Request(VRKRAS_CTL_FAULTS, &faults, sizeof faults, nullptr, 0, nullptr);
}

bool DriverControl::Reset() const { return Request(VRKRAS_CTL_RESET, nullptr, 0, nullptr, 0, nullptr); }

bool DriverControl::PresetLevels(unsigned traceLevel, unsigned logLevel) const {
    vrkras_levels in = {};
    in.trace_level = traceLevel;
    in.log_level = logLevel;
    return Request(VRKRAS_CTL_LEVELS, &in, sizeof in, nullptr, 0, nullptr);
}

bool DriverControl::State(vrkras_state* state) const {
    DWORD got = 0;
    return Request(VRKRAS_CTL_STATE, nullptr, 0, state, sizeof *state, &got) && got == sizeof *state;
}

std::string DriverControl::Block(unsigned block) const {
    std::string bytes(VRKRAS_MAX_BLOCK, '\0');
    DWORD got = 0;
    if (!Request(VRKRAS_CTL_BLOCK, &block, sizeof block, &bytes[0], VRKRAS_MAX_BLOCK, &got)) return std::string();
    bytes.resize(got);
    return bytes;
}

std::string PatternText(unsigned pattern, char tag, unsigned long long offset, size_t length) {
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i)
        text[i] = vrkras_pattern_byte(pattern, static_cast<unsigned char>(tag), offset + i);
    return text;
}

std::vector<unsigned long long> ChunkStarts(unsigned rule, unsigned long long length) {
    std::vector<unsigned long long> starts;
    unsigned long long at = 0;
    for (unsigned long long n = 0; at < length; ++n) {
        starts.push_back(at);
        at += vrkras_chunk_size(rule, n);
    }
    starts.push_back(at);
    return starts;
}

}  // namespace testing_vrkras
