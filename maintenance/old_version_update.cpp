#include "maintenance/old_version_update.h"

#include <cstring>
#include <vector>

#include "common/handles.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "common/setup_results.h"
#include "maintenance/file_lists.h"
#include "maintenance/provisioning.h"

const char kOldRouterKey[] = "SOFTWARE\\VARNEK GmbH\\VrkMpr";
const char kNewRouterKey[] = "SOFTWARE\\VARNEK\\VrkMpr";

namespace {

const char kOldMakerKey[] = "SOFTWARE\\VARNEK GmbH";
const char kOldDialCoreKey[] = "SOFTWARE\\VARNEK GmbH\\DialCore";
const char kApplicationLog[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application";
const char kSystemLog[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System";
const char* const kApplicationSources[] = {"VRKLOGSV", "VRKMPRSV", "MPR SNMP-Agent"};
const char kSystemSource[] = "VrkMpr";

// Registry names are at most 255 characters for keys and 16383 for values.
constexpr DWORD kKeyNameSize = 256;
constexpr DWORD kValueNameSize = 16384;

bool SameValue(HKEY target, const char* name, DWORD type, const std::vector<BYTE>& data) {
    DWORD targetType = REG_NONE, size = 0;
    if (RegQueryValueExA(target, name, nullptr, &targetType, nullptr, &size) != ERROR_SUCCESS) return false;
    if (targetType != type || size != data.size()) return false;
    std::vector<BYTE> held(size + 1);
    if (RegQueryValueExA(target, name, nullptr, &targetType, held.data(), &size) != ERROR_SUCCESS) return false;
    return size == data.size() && (size == 0 || memcmp(held.data(), data.data(), size) == 0);
}

// Walks source; target is null where the counterpart key does not exist.
bool HeldBelow(HKEY source, HKEY target) {
    std::vector<char> name(kValueNameSize);
    std::vector<BYTE> data;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = kValueNameSize, type = REG_NONE, size = 0;
        LONG r = RegEnumValueA(source, index, name.data(), &nameLength, nullptr, &type, nullptr, &size);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS && r != ERROR_MORE_DATA) return false;
        data.assign(size, 0);
        nameLength = kValueNameSize;
        r = RegEnumValueA(source, index, name.data(), &nameLength, nullptr, &type, data.empty() ? nullptr : data.data(),
                          &size);
        if (r != ERROR_SUCCESS) return false;
        data.resize(size);
        if (!target || !SameValue(target, name.data(), type, data)) return false;
    }
    char subkey[kKeyNameSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof subkey;
        const LONG r = RegEnumKeyExA(source, index, subkey, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) return false;
        vrk::RegKey from, to;
        if (RegOpenKeyExA(source, subkey, 0, KEY_READ, from.put()) != ERROR_SUCCESS) return false;
        HKEY counterpart = nullptr;
        if (target && RegOpenKeyExA(target, subkey, 0, KEY_READ, &counterpart) == ERROR_SUCCESS) to.reset(counterpart);
        if (!HeldBelow(from.get(), to.get())) return false;
    }
    return true;
}

}  // namespace

bool TreeHeldBy(HKEY sourceRoot, const char* source, HKEY targetRoot, const char* target) {
    vrk::RegKey from, to;
    if (RegOpenKeyExA(sourceRoot, source, 0, KEY_READ, from.put()) != ERROR_SUCCESS) return false;
    HKEY counterpart = nullptr;
    if (RegOpenKeyExA(targetRoot, target, 0, KEY_READ, &counterpart) == ERROR_SUCCESS) to.reset(counterpart);
    return HeldBelow(from.get(), to.get());
}

void MoveOldRouterKeys() {
    if (!RegKeyExists(kOldRouterKey)) return;
    CopyRegTree(kOldRouterKey, kNewRouterKey);
    // The copy skips what it cannot take (a value name holding "\", a path too long for its
    // buffers, a write that failed): only a tree that arrived whole may go.
    if (!TreeHeldBy(HKEY_LOCAL_MACHINE, kOldRouterKey, HKEY_LOCAL_MACHINE, kNewRouterKey)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "MoveOldRouterKeys: %s not copied completely to %s; the old key stays",
                      kOldRouterKey, kNewRouterKey);
        return;
    }
    DeleteRegTree(kOldRouterKey);
    if (!RegKeyExists(kOldDialCoreKey)) DeleteRegTree(kOldMakerKey);
}

void RemoveRouterEventSources(ProductId productId) {
    if (productId != kProductIsdnRouter && productId != kProductMultiprotocolRouter &&
        productId != kProductInternetRouter)
        return;
    for (const char* source : kApplicationSources) DeleteRegTree(kApplicationLog, source);
    DeleteRegTree(kSystemLog, kSystemSource);
    char sources[kPathSize];
    if (JoinRegistryPath(kApplicationLog, "Sources", sources))
        for (const char* source : kApplicationSources) RemoveFromRegMultiString(sources, source);
    if (JoinRegistryPath(kSystemLog, "Sources", sources)) RemoveFromRegMultiString(sources, kSystemSource);
}

BOOL UpdateOldRouterWorker(const SetupArguments&, const char** result) {
    MoveOldRouterKeys();
    ProcessDeleteSection(kOldSetupSection);
    ProcessMoveSection(kMoveOldRouterSection);
    RemoveRouterEventSources(kProductMultiprotocolRouter);
    *result = kResultOk;
    return TRUE;
}

BOOL UpdateOldRemoteAccessWorker(const SetupArguments&, const char** result) {
    RegisterRasEventSource();
    *result = kResultOk;
    return TRUE;
}
