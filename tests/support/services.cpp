// Test support: services under the machine's SCM, each call with handles of its own.
#include "services.h"

#include "common/handles.h"

namespace testing_services {
namespace {

using ScHandle = vrk::ServiceHandle;

ScHandle Manager() { return ScHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)); }

void Report(DWORD* error) {
    if (error) *error = GetLastError();
}

}  // namespace

bool InstallService(const std::string& name, DWORD type, const std::string& imagePath) {
    ScHandle manager = Manager();
    if (!manager.valid()) return false;
    ScHandle created(CreateServiceA(manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, type,
                                    SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, imagePath.c_str(), nullptr,
                                    nullptr, nullptr, nullptr, nullptr));
    if (created.valid()) return true;
    if (GetLastError() != ERROR_SERVICE_EXISTS) return false;
    ScHandle existing(OpenServiceA(manager.get(), name.c_str(), SERVICE_ALL_ACCESS));
    return existing.valid() && ChangeServiceConfigA(existing.get(), type, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                            imagePath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                            nullptr);
}

bool RemoveService(const std::string& name) {
    ScHandle manager = Manager();
    if (!manager.valid()) return false;
    ScHandle service(OpenServiceA(manager.get(), name.c_str(), SERVICE_ALL_ACCESS));
    return service.valid() && DeleteService(service.get());
}

bool StartNamedService(const std::string& name, DWORD* error) {
    ScHandle manager = Manager();
    ScHandle service(manager.valid() ? OpenServiceA(manager.get(), name.c_str(), SERVICE_ALL_ACCESS) : nullptr);
    if (!service.valid() || !StartServiceA(service.get(), 0, nullptr)) {
        Report(error);
        return false;
    }
    return true;
}

bool ControlNamedService(const std::string& name, DWORD control, SERVICE_STATUS* status, DWORD* error) {
    ScHandle manager = Manager();
    ScHandle service(manager.valid() ? OpenServiceA(manager.get(), name.c_str(), SERVICE_ALL_ACCESS) : nullptr);
    SERVICE_STATUS answer = {};
    const bool ok = service.valid() && ControlService(service.get(), control, &answer);
    if (!ok) Report(error);
    if (status) *status = answer;
    return ok;
}

bool QueryNamedService(const std::string& name, SERVICE_STATUS* status) {
    ScHandle manager = Manager();
    ScHandle service(manager.valid() ? OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_STATUS) : nullptr);
    return service.valid() && QueryServiceStatus(service.get(), status);
}

bool WaitForServiceState(const std::string& name, DWORD state, DWORD timeoutMs, SERVICE_STATUS* last) {
    const DWORD start = GetTickCount();
    SERVICE_STATUS status = {};
    bool reached = false;
    for (;;) {
        if (QueryNamedService(name, &status) && status.dwCurrentState == state) {
            reached = true;
            break;
        }
        if (GetTickCount() - start > timeoutMs) break;
        Sleep(20);
    }
    if (last) *last = status;
    return reached;
}

bool StopNamedService(const std::string& name, DWORD timeoutMs) {
    SERVICE_STATUS status = {};
    if (QueryNamedService(name, &status) && status.dwCurrentState == SERVICE_STOPPED) return true;
    ControlNamedService(name, SERVICE_CONTROL_STOP);
    return WaitForServiceState(name, SERVICE_STOPPED, timeoutMs);
}

}  // namespace testing_services
