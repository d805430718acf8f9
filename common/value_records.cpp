#include "common/value_records.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/ascii_case.h"
#include "common/multistring.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"

namespace {

// A value of any type and size, or false when there is none.
bool ReadAny(const char* path, DWORD* type, std::string* bytes) {
    DWORD size = 0;
    if (!QueryRegValue(path, type, &size)) return false;
    bytes->assign(size, '\0');
    return size == 0 || ReadRegValue(path, &(*bytes)[0], size, type) == size;
}

bool WriteChild(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
    char path[kPathSize];
    return JoinRegistryPath(key, name, path) && WriteRegValue(path, data, type, size, kRegClose);
}

bool ReadChild(const char* key, const char* name, DWORD* type, std::string* bytes) {
    char path[kPathSize];
    return JoinRegistryPath(key, name, path) && ReadAny(path, type, bytes);
}

// The key a value path names, as a key path.
void KeyOfValue(const char* path, char* key) {
    memcpy(key, path, strlen(path) + 1);
    CutLastComponent(key);
}

// The record of path under recordKey, or an empty text when there is none yet.
std::string RecordOf(const char* recordKey, const char* path) {
    RegistrySubkeyList records(recordKey);
    char record[kPathSize], recorded[kPathSize], pathValue[kPathSize];
    while (records.nextPath(record))
        if (JoinRegistryPath(record, "Path", pathValue) && ReadRegString(pathValue, recorded, sizeof recorded) &&
            EqualsIgnoringCase(recorded, path))
            return record;
    return std::string();
}

// A record key of a number not in use.
bool NewRecord(const char* recordKey, char* record) {
    RegistrySubkeyList records(recordKey);
    unsigned long highest = 0;
    for (const char* name; (name = records.next()) != nullptr;) highest = std::max(highest, strtoul(name, nullptr, 10));
    char number[16];
    snprintf(number, sizeof number, "%lu", highest + 1);
    return JoinRegistryPath(recordKey, number, record) != FALSE;
}

}  // namespace

BOOL WriteRecordedValue(const char* recordKey, const char* path, DWORD type, const void* data, DWORD size) {
    std::string record = RecordOf(recordKey, path);
    if (record.empty()) {
        char created[kPathSize];
        if (!NewRecord(recordKey, created)) return FALSE;
        record = created;
        WriteChild(record.c_str(), "Path", REG_SZ, path, static_cast<DWORD>(strlen(path) + 1));
        DWORD oldType = REG_NONE;
        std::string old;
        if (ReadAny(path, &oldType, &old)) {
            WriteChild(record.c_str(), "Old", oldType, old.data(), static_cast<DWORD>(old.size()));
        } else {
            char key[kPathSize];
            KeyOfValue(path, key);
            DWORD keys = 0;
            for (; strchr(key, '\\') && !RegKeyExists(key); CutLastComponent(key)) ++keys;
            WriteChild(record.c_str(), "KeysCreated", REG_DWORD, &keys, sizeof keys);
        }
    }
    WriteChild(record.c_str(), "New", type, data, size);
    return WriteRegValue(path, data, type, size, kRegClose);
}

void RecordedValues::Load(const char* recordKey) {
    values_.clear();
    RegistrySubkeyList records(recordKey);
    char record[kPathSize];
    while (records.nextPath(record)) {
        Value value;
        std::string path, keys;
        DWORD type = REG_NONE;
        if (!ReadChild(record, "Path", &type, &path) || type != REG_SZ ||
            !ReadChild(record, "New", &value.newType, &value.newData))
            continue;
        value.path = path.c_str();
        value.existed = ReadChild(record, "Old", &value.oldType, &value.oldData);
        if (!value.existed && ReadChild(record, "KeysCreated", &type, &keys) && type == REG_DWORD && keys.size() == 4)
            memcpy(&value.keysCreated, keys.data(), 4);
        values_.push_back(value);
    }
}

void RecordedValues::GiveBackValue(const Value& value) const {
    const char* path = value.path.c_str();
    DWORD type = REG_NONE;
    std::string now;
    if (!ReadAny(path, &type, &now) || type != value.newType || now != value.newData) {
        WriteSetupLog(kLogSourceSetup, kLogTrace, "%s changed since the package wrote it; left as it is", path);
        return;
    }
    if (value.existed) {
        WriteRegValue(path, value.oldData.data(), value.oldType, static_cast<DWORD>(value.oldData.size()), kRegClose);
    } else {
        DeleteRegValue(path);
        char key[kPathSize];
        KeyOfValue(path, key);
        for (DWORD i = 0; i < value.keysCreated && strchr(key, '\\') && RegKeyIsEmpty(key); ++i, CutLastComponent(key))
            DeleteRegTree(key);
    }
    WriteSetupLog(kLogSourceSetup, kLogTrace, "%s given back as it was before the package wrote it", path);
}

void RecordedValues::GiveBack() const {
    for (const Value& value : values_) GiveBackValue(value);
}
