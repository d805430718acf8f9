#include "maintenance/replaced_settings.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "common/handles.h"
#include "common/multistring.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"

namespace {

const char kValuesKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Replaced\\Values";
const char kAdaptersKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Replaced\\IpxBindings";
const char kServicesKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Replaced\\StoppedServices";

// A value of any type and size, or false when there is none.
bool ReadAny(const char* path, DWORD* type, std::string* bytes) {
    DWORD size = 0;
    if (!QueryRegValue(path, type, &size)) return false;
    bytes->assign(size, '\0');
    DWORD read = size ? ReadRegValue(path, &(*bytes)[0], size, type) : 0;
    if (size && read != size) return false;
    return true;
}

bool Child(const char* key, const char* name, char* out) { return JoinRegistryPath(key, name, out) != FALSE; }

bool WriteChild(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
    char path[kPathSize];
    return Child(key, name, path) && WriteRegValue(path, data, type, size, kRegClose);
}

bool ReadChild(const char* key, const char* name, DWORD* type, std::string* bytes) {
    char path[kPathSize];
    return Child(key, name, path) && ReadAny(path, type, bytes);
}

// The key a value path names, as a key path.
void KeyOfValue(const char* path, char* key) {
    memcpy(key, path, strlen(path) + 1);
    CutLastComponent(key);
}

bool KeyIsEmpty(const char* key) {
    vrk::RegKey handle;
    DWORD subkeys = 1, values = 1;
    return OpenRegKey(key, handle.put()) &&
           RegQueryInfoKeyA(handle.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
}

// The record of path, or an empty text when there is none yet.
std::string RecordOf(const char* path) {
    RegistrySubkeyList records(kValuesKey);
    char record[kPathSize], recorded[kPathSize];
    while (records.nextPath(record)) {
        char pathValue[kPathSize];
        if (Child(record, "Path", pathValue) && ReadRegString(pathValue, recorded, sizeof recorded) &&
            lstrcmpiA(recorded, path) == 0)
            return record;
    }
    return std::string();
}

// A record key of a number not in use.
bool NewRecord(char* record) {
    RegistrySubkeyList records(kValuesKey);
    unsigned long highest = 0;
    for (const char* name; (name = records.next()) != nullptr;) highest = std::max(highest, strtoul(name, nullptr, 10));
    char number[16];
    snprintf(number, sizeof number, "%lu", highest + 1);
    return Child(kValuesKey, number, record);
}

}  // namespace

BOOL WriteRecordedValue(const char* path, DWORD type, const void* data, DWORD size) {
    std::string record = RecordOf(path);
    if (record.empty()) {
        char created[kPathSize];
        if (!NewRecord(created)) return FALSE;
        record = created;
        WriteChild(record.c_str(), "Path", REG_SZ, path, static_cast<DWORD>(strlen(path) + 1));
        DWORD oldType = REG_NONE;
        std::string old;
        if (ReadAny(path, &oldType, &old)) {
            WriteChild(record.c_str(), "Old", oldType, old.data(), static_cast<DWORD>(old.size()));
        } else {
            // The keys the write brings into being go again with the value.
            char key[kPathSize];
            KeyOfValue(path, key);
            DWORD keys = 0;
            while (strchr(key, '\\') && !RegKeyExists(key)) {
                ++keys;
                CutLastComponent(key);
            }
            WriteChild(record.c_str(), "KeysCreated", REG_DWORD, &keys, sizeof keys);
        }
    }
    WriteChild(record.c_str(), "New", type, data, size);
    return WriteRegValue(path, data, type, size, kRegClose);
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
    values_.clear();
    adapters_.clear();
    services_.clear();
    RegistrySubkeyList records(kValuesKey);
    char record[kPathSize];
    while (records.nextPath(record)) {
        Value value;
        std::string path;
        DWORD type = REG_NONE;
        if (!ReadChild(record, "Path", &type, &path) || type != REG_SZ || !ReadChild(record, "New", &value.newType,
                                                                                    &value.newData))
            continue;
        value.path = path.c_str();
        value.existed = ReadChild(record, "Old", &value.oldType, &value.oldData);
        std::string keys;
        if (!value.existed && ReadChild(record, "KeysCreated", &type, &keys) && type == REG_DWORD && keys.size() == 4)
            memcpy(&value.keysCreated, keys.data(), 4);
        values_.push_back(value);
    }
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

void ReplacedSettings::GiveBackValue(const Value& value) const {
    const char* path = value.path.c_str();
    DWORD type = REG_NONE;
    std::string now;
    if (!ReadAny(path, &type, &now) || type != value.newType || now != value.newData) {
        WriteSetupLog(kLogSourceSetup, kLogTrace, "%s changed since the router's configuration; left as it is", path);
        return;
    }
    if (value.existed) {
        WriteRegValue(path, value.oldData.data(), value.oldType, static_cast<DWORD>(value.oldData.size()), kRegClose);
    } else {
        DeleteRegValue(path);
        char key[kPathSize];
        KeyOfValue(path, key);
        for (DWORD i = 0; i < value.keysCreated && strchr(key, '\\') && KeyIsEmpty(key); ++i) {
            DeleteRegTree(key);
            CutLastComponent(key);
        }
    }
    WriteSetupLog(kLogSourceSetup, kLogTrace, "%s given back as it was before the router's configuration", path);
}

void ReplacedSettings::GiveBack() const {
    for (const Value& value : values_) GiveBackValue(value);
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
