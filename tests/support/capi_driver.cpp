// Test support: the substitute CAPI 2.0 driver, its installation, registry shapes and control device.
#include "capi_driver.h"

#include <cstdio>
#include <sstream>

#include "common/handles.h"
#include "journal.h"
#include "machine.h"
#include "services.h"

namespace testing_capi {

bool ProvisionShape(const std::string& shape) {
    testing_machine::DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kCapiKey);
    if (shape == "none") return !testing_machine::RegKeyPresent(HKEY_LOCAL_MACHINE, kCapiKey);
    const std::string file = "C:\\testbed\\capi\\" + shape + ".reg";
    if (!testing_machine::PathExists(file)) return false;
    // An import that left nothing is printed and tried once more.
    for (int attempt = 1; attempt <= 2; ++attempt) {
        const testing_machine::ProgramResult r = testing_machine::RunProgram("regedit.exe /S \"" + file + "\"");
        if (r.started && !r.timedOut && testing_machine::RegKeyPresent(HKEY_LOCAL_MACHINE, kCapiKey)) return true;
        fprintf(stderr, "import %d of the CAPI registry of shape %s left nothing (started %d, timed out %d, exit %lu)\n",
                attempt, shape.c_str(), r.started, r.timedOut, static_cast<unsigned long>(r.exitCode));
    }
    return false;
}

bool StartDriver() {
    SERVICE_STATUS status = {};
    if (testing_services::QueryNamedService(kDriverService, &status) && status.dwCurrentState != SERVICE_STOPPED &&
        !StopDriver())
        return false;
    if (!testing_services::InstallService(kDriverService, SERVICE_KERNEL_DRIVER, "C:\\testbed\\capi20.sys")) {
        fprintf(stderr, "the CAPI driver could not be installed (error %lu)\n", GetLastError());
        return false;
    }
    // A start that fails is tried twice more, a moment later each; every failure is printed with
    // its cause, so that a refusal seen on a busy machine can be told apart from a broken driver.
    DWORD error = ERROR_SUCCESS;
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt) Sleep(500);
        started = testing_services::StartNamedService(kDriverService, &error) ||
                  error == ERROR_SERVICE_ALREADY_RUNNING;
        if (!started) fprintf(stderr, "start %d of the CAPI driver failed (error %lu)\n", attempt + 1, error);
    }
    if (!started) return false;
    SERVICE_STATUS last = {};
    if (!testing_services::WaitForServiceState(kDriverService, SERVICE_RUNNING, 20000, &last)) {
        fprintf(stderr, "the CAPI driver did not reach RUNNING (state %lu, exit code %lu)\n", last.dwCurrentState,
                last.dwWin32ExitCode);
        return false;
    }
    const CapiControl control;
    for (int i = 0; i < 200; ++i) {
        if (control.Reset()) return true;
        Sleep(25);
    }
    fprintf(stderr, "the CAPI driver runs but its control device does not answer\n");
    return false;
}

bool StopDriver() { return testing_services::StopNamedService(kDriverService); }

bool CapiControl::Request(DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength, DWORD* got) const {
    vrk::FileHandle device(CreateFileA("\\\\.\\" CAPI_CONTROL_NAME, GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!device.valid()) return false;
    DWORD returned = 0;
    const bool ok = DeviceIoControl(device.get(), code, const_cast<void*>(in), inLength, out, outLength, &returned,
                                    nullptr) != FALSE;
    if (got) *got = returned;
    return ok;
}

bool CapiControl::Configure(unsigned device, const capi_device_config& config) const {
    capi_configure_request request = {};
    request.device = device;
    request.config = config;
    return Request(CAPI_CTL_CONFIGURE, &request, sizeof request, nullptr, 0, nullptr);
}

bool CapiControl::State(unsigned device, capi_device_state* state) const {
    DWORD got = 0;
    return Request(CAPI_CTL_STATE, &device, sizeof device, state, sizeof *state, &got) && got == sizeof *state;
}

bool CapiControl::SetFaults(unsigned device, unsigned faults) const {
    return Change(device, [&](capi_device_config& c) { c.faults = faults; });
}

bool CapiControl::SetManufacturer(unsigned device, const std::string& text) const {
    return Change(device,
                  [&](capi_device_config& c) { lstrcpynA(c.manufacturer, text.c_str(), sizeof c.manufacturer); });
}

bool CapiControl::Reset() const { return Request(CAPI_CTL_RESET, nullptr, 0, nullptr, 0, nullptr); }

std::vector<CapiRequest> Requests() {
    std::vector<CapiRequest> requests;
    for (const testing_journal::JournalEntry& e : testing_journal::JournalOf("capi")) {
        std::istringstream detail(e.detail);
        CapiRequest r;
        std::string open;
        r.what = e.what;
        detail >> r.device >> r.result >> r.bytes >> open;
        if (open.rfind("open=", 0) == 0) r.open = static_cast<unsigned>(strtoul(open.c_str() + 5, nullptr, 10));
        requests.push_back(r);
    }
    return requests;
}

std::vector<std::string> RequestLines() {
    std::vector<std::string> lines;
    for (const CapiRequest& r : Requests()) lines.push_back(r.what + " " + r.result + " " + r.bytes);
    return lines;
}

std::string Hex(const std::vector<unsigned char>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    if (bytes.empty()) return "-";
    std::string text;
    for (unsigned char b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

}  // namespace testing_capi
