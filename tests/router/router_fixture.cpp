#include "router_fixture.h"

#include "common/setup_log.h"

using namespace testing_machine;

namespace router_test {

bool MachineWithDriver(const std::string& shape) {
    if (!testing_capi::ProvisionShape(shape) || !testing_capi::StartDriver()) return false;
    testing_journal::ClearJournal();
    return true;
}

bool OpenRouterLog(DWORD level) {
    CloseSetupLog();
    DeleteFileA(kLogPath);
    SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", kLogPath);
    SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", level);
    return OpenSetupLog(kSetupKey, "LogName", "LogLevel") != FALSE;
}

std::string RawLog() { return ReadFileBytes(kLogPath); }

std::vector<std::string> LogMessages() {
    // "SS LL dd.mm.yyyy hh:mm:ss.mmm: " is 31 bytes for two-digit sources and levels.
    std::vector<std::string> messages;
    for (const std::string& line : SplitLines(RawLog())) {
        if (line.rfind("****", 0) == 0 || line.size() < 31) continue;
        messages.push_back(line.substr(31));
    }
    return messages;
}

bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
}

bool Dword(const std::string& key, const std::string& name, DWORD* value) {
    std::string bytes;
    DWORD type = 0;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes, &type) || type != REG_DWORD || bytes.size() != 4)
        return false;
    memcpy(value, bytes.data(), 4);
    return true;
}

std::string Text(const std::string& key, const std::string& name) {
    std::string bytes;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes)) return "(missing)";
    while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    return bytes;
}

std::vector<std::string> Strings(const std::string& key, const std::string& name) {
    std::vector<std::string> strings;
    const std::string bytes = RawValue(key, name);
    size_t p = 0;
    while (p < bytes.size() && bytes[p] != '\0') {
        const size_t end = bytes.find('\0', p);
        const size_t stop = end == std::string::npos ? bytes.size() : end;
        strings.push_back(bytes.substr(p, stop - p));
        p = stop + 1;
    }
    return strings;
}

std::string RawValue(const std::string& key, const std::string& name) {
    std::string bytes;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes)) return "(missing)";
    return bytes;
}

std::string ControllerKey(int card, int controller) {
    return "SOFTWARE\\CAPI20\\" + std::to_string(card) + "\\" + std::to_string(controller);
}

}  // namespace router_test
