#include "maintenance/snmp_agent_entry.h"

#include <cstdio>
#include <cstring>

#include "common/ascii_case.h"

const char kExtensionAgentsKey[] = "SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents";
const char kRouterAgentKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\CurrentVersion";
const char kOldRouterAgentKey[] = "SOFTWARE\\VARNEK GmbH\\VrkMpr\\CurrentVersion";

unsigned AgentNumber(const char* name) {
    if (!name || name[0] < '1' || name[0] > '9') return 0;
    unsigned long long number = 0;
    for (const char* p = name; *p; ++p) {
        if (*p < '0' || *p > '9') return 0;
        number = number * 10 + static_cast<unsigned>(*p - '0');
        if (number > 0xFFFFFFFFull) return 0;
    }
    return static_cast<unsigned>(number);
}

namespace {

bool NameTaken(const AgentValue* values, size_t count, const char* name) {
    for (size_t i = 0; i < count; ++i)
        if (EqualsIgnoringCase(values[i].name, name)) return true;
    return false;
}

void SetName(AgentDecision* decision, const char* name) {
    snprintf(decision->name, sizeof decision->name, "%s", name);
}

}  // namespace

AgentDecision DecideAgentEntry(const AgentValue* values, size_t count) {
    AgentDecision decision;
    const AgentValue* oldEntry = nullptr;
    unsigned oldNumber = 0;
    unsigned last = 1;
    for (size_t i = 0; i < count; ++i) {
        const AgentValue& v = values[i];
        if (!v.text) continue;
        if (EqualsIgnoringCase(v.text, kRouterAgentKey)) {
            decision.action = AgentAction::kAlreadyThere;
            SetName(&decision, v.name);
            return decision;
        }
        const unsigned number = AgentNumber(v.name);
        if (EqualsIgnoringCase(v.text, kOldRouterAgentKey)) {
            // Numbered entries in their order first, then any other name in the order found.
            const bool earlier = !oldEntry || (number != 0 && (oldNumber == 0 || number < oldNumber));
            if (earlier) {
                oldEntry = &v;
                oldNumber = number;
            }
            continue;
        }
        if (number >= 1 && number <= kAgentProbeCount && number > last) last = number;
    }
    if (oldEntry) {
        decision.action = AgentAction::kRewrite;
        SetName(&decision, oldEntry->name);
        return decision;
    }
    decision.action = AgentAction::kAdd;
    for (unsigned long long candidate = static_cast<unsigned long long>(last) + 1; candidate <= 0xFFFFFFFFull;
         ++candidate) {
        char name[16];
        snprintf(name, sizeof name, "%llu", candidate);
        if (!NameTaken(values, count, name)) {
            SetName(&decision, name);
            return decision;
        }
    }
    return decision;
}
