#include "maintenance/replaced_settings.h"

#include <algorithm>

#include "common/handles.h"
#include "common/multistring.h"
#include "common/registry.h"
#include "common/setup_log.h"

namespace {

const char kValuesKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Replaced\\Values";
const char kAdaptersKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Replaced\\IpxBindings";
const char kServicesKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Replaced\\StoppedServices";

bool Child(const char* key, const char* name, char* out) { return JoinRegistryPath(key, name, out) != FALSE; }

}  // namespace

BOOL WriteReplacedValue(const char* path, DWORD type, const void* data, DWORD size) {
    return WriteRecordedValue(kValuesKey, path, type, data, size);
}

void RecordAdapterTaken(const char* adapter, DWORD index) {
    char path[kPathSize];
    DWORD known = 0;
    if (Child(kAdaptersKey, adapter, path) && !ReadRegDword(path, &known)) WriteRegDword(path, index, kRegClose);
}

void ForgetAdapterTaken(const char* adapter) { DeleteRegValue(kAdaptersKey, adapter); }

void RecordServiceStopped(const char* service) {
    char path[kPathSize];
    if (Child(kServicesKey, service, path)) WriteRegDword(path, 1, kRegClose);
}

void ReplacedSettings::Load() {
    values_.Load(kValuesKey);
    adapters_.clear();
    services_.clear();
    RegistryValueNameList adapters(kAdaptersKey);
    for (const char* name; (name = adapters.next()) != nullptr;) {
        char path[kPathSize];
        DWORD index = 0;
        if (Child(kAdaptersKey, name, path) && ReadRegDword(path, &index)) adapters_.push_back({name, index});
    }
    std::stable_sort(adapters_.begin(), adapters_.end(),
                     [](const TakenAdapter& a, const TakenAdapter& b) { return a.index < b.index; });
    RegistryValueNameList services(kServicesKey);
    for (const char* name; (name = services.next()) != nullptr;) services_.push_back(name);
}

void ReplacedSettings::GiveBack() const {
    values_.GiveBack();
    if (services_.empty()) return;
    vrk::ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    for (const std::string& name : services_) {
        vrk::ServiceHandle service(
            manager.valid() ? OpenServiceA(manager.get(), name.c_str(), SERVICE_START | SERVICE_QUERY_STATUS) : nullptr);
        SERVICE_STATUS status = {};
        if (!service.valid() || !QueryServiceStatus(service.get(), &status) || status.dwCurrentState != SERVICE_STOPPED)
            continue;
        if (StartServiceA(service.get(), 0, nullptr))
            WriteSetupLog(kLogSourceSetup, kLogTrace, "%s started again", name.c_str());
        else
            WriteSetupLog(kLogSourceSetup, kLogFailure, "%s could not be started again; error %lu", name.c_str(),
                          GetLastError());
    }
}
