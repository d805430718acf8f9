// Where the router's SNMP agent goes among the values of the ExtensionAgents key: names as the
// registry enumerates them (up to 259 characters), texts of any kind. Whatever the key holds, the
// agent is never entered twice and no value is overwritten.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "maintenance/snmp_agent_entry.h"

namespace {

bool SameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return *a == *b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<std::string> names, texts;
    std::vector<bool> hasText;
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, 40);
    for (size_t i = 0; i < count; ++i) {
        // Value names of one key differ from each other in more than letter case.
        std::string name = input.ConsumeRandomLengthString(259).c_str();
        for (int attempt = 0;; ++attempt) {
            bool unique = true;
            for (const std::string& other : names)
                if (SameIgnoringCase(other.c_str(), name.c_str())) unique = false;
            if (unique) break;
            name = name.substr(0, 240) + "#" + std::to_string(i) + "." + std::to_string(attempt);
        }
        names.push_back(name);
        switch (input.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: texts.push_back(kRouterAgentKey); break;
        case 1: texts.push_back(kOldRouterAgentKey); break;
        default: texts.push_back(input.ConsumeRandomLengthString(255).c_str()); break;
        }
        hasText.push_back(input.ConsumeIntegralInRange<int>(0, 7) != 0);
    }
    std::vector<AgentValue> values;
    for (size_t i = 0; i < count; ++i) values.push_back({names[i].c_str(), hasText[i] ? texts[i].c_str() : nullptr});

    const AgentDecision decision = DecideAgentEntry(values.data(), values.size());
    FUZZ_CHECK(memchr(decision.name, '\0', sizeof decision.name) != nullptr);
    bool anyCurrent = false, anyOld = false;
    for (const AgentValue& v : values) {
        anyCurrent = anyCurrent || (v.text && SameIgnoringCase(v.text, kRouterAgentKey));
        anyOld = anyOld || (v.text && SameIgnoringCase(v.text, kOldRouterAgentKey));
    }
    bool named = false;
    for (const AgentValue& v : values) named = named || strcmp(v.name, decision.name) == 0;
    switch (decision.action) {
    case AgentAction::kAlreadyThere:
        // The entry that names the agent, by its own name.
        FUZZ_CHECK(anyCurrent);
        for (const AgentValue& v : values)
            if (strcmp(v.name, decision.name) == 0) FUZZ_CHECK(v.text && SameIgnoringCase(v.text, kRouterAgentKey));
        FUZZ_CHECK(named);
        break;
    case AgentAction::kRewrite: {
        // Written under the name of an entry that names the old key, and of no other.
        FUZZ_CHECK(!anyCurrent && anyOld);
        bool rewritesOld = false;
        for (const AgentValue& v : values)
            if (SameIgnoringCase(v.name, decision.name)) {
                FUZZ_CHECK(v.text && SameIgnoringCase(v.text, kOldRouterAgentKey));
                rewritesOld = true;
            }
        FUZZ_CHECK(rewritesOld);
        break;
    }
    case AgentAction::kAdd: {
        FUZZ_CHECK(!anyCurrent && !anyOld);
        // A new number above every text among 1 to 31, under a name no value has.
        const unsigned number = AgentNumber(decision.name);
        FUZZ_CHECK(number >= 2 || (decision.name[0] == '\0' && count > 0));
        for (const AgentValue& v : values) {
            FUZZ_CHECK(!SameIgnoringCase(v.name, decision.name));
            const unsigned held = AgentNumber(v.name);
            if (v.text && held >= 1 && held <= kAgentProbeCount) FUZZ_CHECK(number > held);
        }
        break;
    }
    }
    return 0;
}
