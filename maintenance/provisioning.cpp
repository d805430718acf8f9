#include "maintenance/provisioning.h"

#include <deque>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/multistring.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "common/setup_results.h"
#include "maintenance/file_lists.h"
#include "maintenance/group_list.h"
#include "maintenance/snmp_agent_entry.h"

const char kServiceGroupOrderList[] = "SYSTEM\\CurrentControlSet\\Control\\ServiceGroupOrder\\List";
const char kTraceGroupName[] = "VrkMprTraceGroup";
const char kStreamsDriversGroup[] = "Streams Drivers";

namespace {

const char kAgentPathname[] = "SOFTWARE\\VARNEK\\VrkMpr\\CurrentVersion\\Pathname";
const char kAgentDll[] = "%SystemRoot%\\SYSTEM32\\VARNEK\\agntdll.dll";
constexpr DWORD kAgentValueSize = 256;

struct ServiceDllValue {
    const char* path;
    const char* data;
};

const ServiceDllValue kServiceDlls[] = {
    {"SOFTWARE\\VARNEK\\VrkMpr\\Service\\EXTDLL1", "%SystemRoot%\\SYSTEM32\\VARNEK\\ip.dll"},
    {"SOFTWARE\\VARNEK\\VrkMpr\\Service\\EXTDLL2", "%SystemRoot%\\SYSTEM32\\VARNEK\\ipx.dll"},
    {"SOFTWARE\\VARNEK\\VrkMpr\\Service\\IP\\IPEXTDLL", "%SystemRoot%\\SYSTEM32\\VARNEK\\nbspoof.dll"},
    {"SOFTWARE\\VARNEK\\VrkMpr\\Service\\PPPDLL", "%SystemRoot%\\SYSTEM32\\VARNEK\\ppp.dll"},
};
const char kFirewallAddresses[] = "SOFTWARE\\VARNEK\\VrkMpr\\FirewallWizard\\Addresses";
constexpr DWORD kFirewallAddressCount = 256;

const char kTraceDriverGroup[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprTrc\\Group";
const char kRouterDriverGroup[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMpr\\Group";

const char kSystemLogKey[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System";
const char kSystemLogSources[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System\\Sources";
const char kRasEventSource[] = "VrkRas";
const char kRasEventMessageFile[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System\\VrkRas\\EventMessageFile";
const char kRasTypesSupported[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System\\VrkRas\\TypesSupported";

const char kGatewayInstalled[] = "SOFTWARE\\VARNEK\\VrkLV\\Installed";

const char kPerformanceIni[] = "%SystemRoot%\\SYSTEM32\\VARNEK\\perf.ini";
const char kPerformanceSymbolFile[] = "%SystemRoot%\\SYSTEM32\\VARNEK\\vrkmpr.prf";

// The agent list as it stands: every value's name, and its text when it is a readable REG_SZ.
class AgentValueSnapshot {
public:
    AgentValueSnapshot() : names_(kExtensionAgentsKey) {
        for (const char* name; (name = names_.next()) != nullptr;) {
            texts_.emplace_back(kAgentValueSize + 1, '\0');
            char path[kPathSize];
            // A value of another type, or one too long to read, names no agent of ours.
            const bool text = JoinRegistryPath(kExtensionAgentsKey, name, path) &&
                              ReadRegString(path, texts_.back().data(), kAgentValueSize) > 0;
            values_.push_back({name, text ? texts_.back().data() : nullptr});
        }
    }
    const AgentValue* values() const { return values_.data(); }
    size_t count() const { return values_.size(); }

private:
    RegistryValueNameList names_;  // owns the names the values point at
    std::deque<std::string> texts_;
    std::vector<AgentValue> values_;
};

}  // namespace

void RegisterSnmpAgent(const char** result) {
    WriteRegExpandString(kAgentPathname, kAgentDll, kRegClose);
    const AgentValueSnapshot agents;
    const AgentDecision decision = DecideAgentEntry(agents.values(), agents.count());
    if (decision.action == AgentAction::kAlreadyThere) {
        *result = kResultUserCancel;
        return;
    }
    *result = kResultOk;
    char path[kPathSize];
    if (decision.name[0] && JoinRegistryPath(kExtensionAgentsKey, decision.name, path))
        WriteRegString(path, kRouterAgentKey, kRegClose);
}

void RegisterRasEventSource() {
    WriteRegExpandString(kRasEventMessageFile, "%SystemRoot%\\SYSTEM32\\Drivers\\VrkRas.SYS", kRegClose);
    WriteRegDword(kRasTypesSupported, 7, kRegClose);
}

void RemoveRasEventSource() {
    DeleteRegTree(kSystemLogKey, kRasEventSource);
    RemoveFromRegMultiString(kSystemLogSources, kRasEventSource);
}

void RemoveTraceGroup() {
    char list[kGroupOrderSize] = {};
    const DWORD read = ReadRegMultiString(kServiceGroupOrderList, list, sizeof list);
    if (read == 0 || CompactReadList(list, read, sizeof list) == 0) return;
    bool removed = false;
    for (size_t at; (at = FindListEntry(list, kTraceGroupName)) != kNoListEntry; removed = true) RemoveListEntry(list, at);
    if (removed) WriteRegMultiString(kServiceGroupOrderList, list, kRegClose, static_cast<DWORD>(ListBytes(list)));
}

BOOL InsertTraceGroup() {
    char list[kGroupOrderSize] = {};
    // A list that cannot be read counts as empty; the read leaves a NUL behind the data.
    const DWORD read = ReadRegMultiString(kServiceGroupOrderList, list, sizeof list);
    if (read == 0 || CompactReadList(list, read, sizeof list) == 0) list[0] = '\0';
    const size_t present = FindListEntry(list, kTraceGroupName);
    if (present != kNoListEntry) RemoveListEntry(list, present);
    const size_t streams = FindListEntry(list, kStreamsDriversGroup);
    if (streams == kNoListEntry) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can't find Entry 'streamsdrivers' in the service group order list");
        return FALSE;
    }
    if (!InsertListEntry(list, sizeof list, streams, kTraceGroupName)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure,
                      "No room for entry '%s' in the service group order list (%u bytes)", kTraceGroupName,
                      static_cast<unsigned>(kGroupOrderSize));
        return FALSE;
    }
    WriteRegMultiString(kServiceGroupOrderList, list, kRegClose, static_cast<DWORD>(ListBytes(list)));
    WriteRegString(kTraceDriverGroup, kTraceGroupName, kRegClose);
    WriteRegString(kRouterDriverGroup, kStreamsDriversGroup, kRegClose);
    return TRUE;
}

BOOL SetSnmpRegistryWorker(const SetupArguments&, const char** result) {
    RegisterSnmpAgent(result);
    return TRUE;
}

BOOL SetRouterRegistryWorker(const SetupArguments&, const char** result) {
    const char* agentResult = nullptr;
    RegisterSnmpAgent(&agentResult);
    int failures = 0;
    for (const ServiceDllValue& dll : kServiceDlls)
        if (!WriteRegExpandString(dll.path, dll.data, kRegClose)) ++failures;
    if (!WriteRegDword(kFirewallAddresses, kFirewallAddressCount, kRegClose)) ++failures;
    if (failures > 0) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Error during writing to the registry");
        *result = kResultError;
    } else {
        *result = kResultOk;
    }
    InsertTraceGroup();
    return TRUE;
}

BOOL ProvideRasRegistryWorker(const SetupArguments&, const char** result) {
    RegisterRasEventSource();
    ProcessDeleteSection(kOldSetupSection);
    *result = kResultOk;
    return TRUE;
}

BOOL ProvideGatewayRegistryWorker(const SetupArguments&, const char** result) {
    ProcessDeleteSection(kOldSetupSection);
    WriteRegString(kGatewayInstalled, "1", kRegClose);
    *result = kResultOk;
    return TRUE;
}

BOOL WritePerformanceFileWorker(const SetupArguments&, const char** result) {
    if (!FileExists(kPerformanceIni, nullptr)) {
        *result = kResultIniFileNotFound;
        return FALSE;
    }
    char ini[kPathSize], symbolFile[kPathSize];
    const DWORD iniLength = ExpandEnvironmentStringsA(kPerformanceIni, ini, sizeof ini);
    const DWORD symbolLength = ExpandEnvironmentStringsA(kPerformanceSymbolFile, symbolFile, sizeof symbolFile);
    if (iniLength == 0 || iniLength > sizeof ini || symbolLength == 0 || symbolLength > sizeof symbolFile) {
        *result = kResultExpandEnvStrings;
        return FALSE;
    }
    WriteSetupLog(kLogSourceSetup, kLogTrace, "WriteVrkMprPerformanceFile %s; %s", symbolFile, ini);
    // The installation goes on without the counters' symbol file, as it always has; the log says
    // that the entry is missing, so that an administrator can find why the counters do not load.
    if (!WritePrivateProfileStringA("Info", "symbolfile", symbolFile, ini))
        WriteSetupLog(kLogSourceSetup, kLogFailure, "WriteVrkMprPerformanceFile can't write %s (%lu)", ini,
                      static_cast<unsigned long>(GetLastError()));
    *result = kResultOk;
    return TRUE;
}
