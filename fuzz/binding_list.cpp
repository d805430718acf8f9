// NWLink IPX's binding lists as read from the registry (any bytes, any size) and edited by moves
// between the enabled and the disabled list, checked against a plain model; and the adapter names
// taken from the bindings.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "common/ascii_case.h"
#include "fuzz_check.h"
#include "maintenance/binding_list.h"

namespace {

using Model = std::vector<std::string>;

// Every non-empty string of the value, in order.
Model EntriesOf(const std::string& bytes) {
    Model entries;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find('\0', at);
        const std::string entry = bytes.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!entry.empty()) entries.push_back(entry);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return entries;
}

void CheckSame(const BindingList& list, const Model& model) {
    FUZZ_CHECK(list.Count() == model.size());
    std::string bytes;
    for (size_t k = 0; k < model.size(); ++k) {
        FUZZ_CHECK(list.Entry(k) != nullptr && model[k] == list.Entry(k));
        bytes += model[k] + '\0';
    }
    FUZZ_CHECK(list.Entry(model.size()) == nullptr);
    bytes += '\0';
    FUZZ_CHECK(list.Size() == bytes.size() && memcmp(list.Data(), bytes.data(), bytes.size()) == 0);
}

void CheckAdapterName(const std::string& binding) {
    char name[kAdapterTextSize + 1];
    name[kAdapterTextSize] = '\x7f';
    if (!AdapterNameOfBinding(binding.c_str(), name, kAdapterTextSize)) return;
    FUZZ_CHECK(name[kAdapterTextSize] == '\x7f');
    const size_t length = strlen(name);
    FUZZ_CHECK(length < kAdapterTextSize && length + 8 == strlen(binding.c_str()));
    for (size_t i = 0; i < length; ++i) FUZZ_CHECK(!(name[i] >= 'a' && name[i] <= 'z'));
    FUZZ_CHECK(EqualsIgnoringCase(name, binding.c_str() + 8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    BindingList lists[2];
    Model models[2];
    for (int i = 0; i < 2; ++i) {
        const std::string bytes = input.ConsumeRandomLengthString(2000);
        FUZZ_CHECK(lists[i].Assign(bytes.data(), bytes.size()));
        models[i] = EntriesOf(bytes);
        CheckSame(lists[i], models[i]);
        for (const std::string& entry : models[i]) CheckAdapterName(entry);
    }
    while (input.remaining_bytes() > 0) {
        const int from = input.ConsumeBool() ? 1 : 0;
        const size_t k = input.ConsumeIntegralInRange<size_t>(0, 20);
        switch (input.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: {
            // Entries appended are bindings or exports, never empty.
            const std::string entry = input.ConsumeRandomLengthString(200).c_str();
            if (entry.empty()) break;
            FUZZ_CHECK(lists[from].Append(entry.c_str()));
            models[from].push_back(entry);
            break;
        }
        case 1:
            lists[from].Remove(k);
            if (k < models[from].size()) models[from].erase(models[from].begin() + static_cast<long>(k));
            break;
        case 2:
            FUZZ_CHECK(lists[from].MoveEntry(k, &lists[1 - from]));
            if (k < models[from].size()) {
                models[1 - from].push_back(models[from][k]);
                models[from].erase(models[from].begin() + static_cast<long>(k));
            }
            break;
        default: {
            const std::string name = input.ConsumeRandomLengthString(40).c_str();
            const long found = FindAdapterBinding(lists[from], name.c_str());
            FUZZ_CHECK(found >= -1 && found < static_cast<long>(models[from].size()));
            if (found >= 0) FUZZ_CHECK(EqualsIgnoringCase(models[from][static_cast<size_t>(found)].c_str() + 8, name.c_str()));
            const long containing = FindBindingContaining(lists[from], name.c_str());
            FUZZ_CHECK(containing >= -1 && containing < static_cast<long>(models[from].size()));
            if (found >= 0) FUZZ_CHECK(containing >= 0 && containing <= found);
            break;
        }
        }
        CheckSame(lists[0], models[0]);
        CheckSame(lists[1], models[1]);
    }
    return 0;
}
