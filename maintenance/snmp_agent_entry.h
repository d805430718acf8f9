// Where the router's SNMP extension agent goes in the ExtensionAgents list: a plain decision over
// the values the key holds, made before anything is written.
#pragma once

#include <cstddef>

extern const char kExtensionAgentsKey[];  // SYSTEM\CurrentControlSet\Services\SNMP\Parameters\ExtensionAgents
extern const char kRouterAgentKey[];     // SOFTWARE\VARNEK\VrkMpr\CurrentVersion
extern const char kOldRouterAgentKey[];  // SOFTWARE\VARNEK GmbH\VrkMpr\CurrentVersion

// Numbers 1 to this are where the list's last agent is looked for.
constexpr unsigned kAgentProbeCount = 31;

struct AgentValue {
    const char* name;   // the value's name
    const char* text;   // its text when it is a REG_SZ that could be read, else null
};

enum class AgentAction {
    kAlreadyThere,  // an entry names the agent: nothing is written
    kRewrite,       // the value `name` names the agent under the old maker key: it gets the new name
    kAdd,           // a new value `name`
};

// Room for any value name the key's list enumerates (259 characters) with its NUL: the decision
// names an existing value, and a cut name would be another value's.
constexpr size_t kAgentNameSize = 260;

struct AgentDecision {
    AgentAction action = AgentAction::kAdd;
    char name[kAgentNameSize] = "";
};

// Every value is looked at first, so that the agent is never entered twice: an entry under the
// current name wins over one under the old name wherever each stands. Otherwise the first
// old-name entry (lowest number) is rewritten. Otherwise the new entry goes one past the highest
// number from 1 to 31 that holds a text (at least "2"), and further on past every value that
// exists under that name, whatever its type: no value is ever overwritten.
AgentDecision DecideAgentEntry(const AgentValue* values, size_t count);

// The number a value name stands for ("1" to "4294967295", no sign, no leading zero), or 0.
unsigned AgentNumber(const char* name);
