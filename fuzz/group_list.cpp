// The service group order as a multi-string in its fixed 4096-byte buffer, read from the registry
// with the NUL the read leaves behind: entries found, removed and inserted, checked against a model
// and against the buffer's bounds.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "maintenance/group_list.h"

namespace {

constexpr size_t kCapacity = 4096;

bool AsciiSameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

size_t OffsetOf(const std::vector<std::string>& entries, size_t index) {
    size_t offset = 0;
    for (size_t i = 0; i < index; ++i) offset += entries[i].size() + 1;
    return offset;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    // The read: at most capacity - 2 bytes of the value, a NUL behind them, the rest of the buffer
    // still zero; a value whose last entry lacks its NUL gets two.
    std::vector<char> list(kCapacity, '\0');
    const std::string value = input.ConsumeRandomLengthString(kCapacity - 2);
    memcpy(list.data(), value.data(), value.size());

    // Every non-empty string of the value stays, in order, whatever empty strings lie between.
    std::vector<std::string> entries;
    for (size_t at = 0; at < value.size();) {
        const size_t end = std::min(value.find('\0', at), value.size());
        if (end > at) entries.push_back(value.substr(at, end - at));
        at = end + 1;
    }
    FUZZ_CHECK(CompactReadList(list.data(), value.size(), kCapacity) == OffsetOf(entries, entries.size()) + 1);
    FUZZ_CHECK(ListBytes(list.data()) == OffsetOf(entries, entries.size()) + 1);
    for (size_t i = 0, at = 0; i < entries.size(); at += entries[i].size() + 1, ++i)
        FUZZ_CHECK(entries[i] == list.data() + at);

    while (input.remaining_bytes() > 0) {
        const std::string name = input.ConsumeRandomLengthString(300).c_str();
        const size_t found = FindListEntry(list.data(), name.c_str());
        size_t expected = kNoListEntry;
        for (size_t i = 0; i < entries.size() && expected == kNoListEntry; ++i)
            if (AsciiSameIgnoringCase(entries[i], name)) expected = OffsetOf(entries, i);
        FUZZ_CHECK(found == expected);
        const bool insert = input.ConsumeBool();
        if (found != kNoListEntry && !insert) {
            size_t index = 0;
            while (OffsetOf(entries, index) != found) ++index;
            RemoveListEntry(list.data(), found);
            entries.erase(entries.begin() + static_cast<long>(index));
        } else if (insert && !name.empty()) {
            const size_t index = input.ConsumeIntegralInRange<size_t>(0, entries.size());
            const size_t total = OffsetOf(entries, entries.size()) + 1;
            const bool fits = total + name.size() + 1 <= kCapacity;
            FUZZ_CHECK(InsertListEntry(list.data(), kCapacity, OffsetOf(entries, index), name.c_str()) == fits);
            if (fits) entries.insert(entries.begin() + static_cast<long>(index), name);
        }
        FUZZ_CHECK(ListBytes(list.data()) == OffsetOf(entries, entries.size()) + 1);
        FUZZ_CHECK(ListBytes(list.data()) <= kCapacity);
        for (size_t i = 0, at = 0; i < entries.size(); at += entries[i].size() + 1, ++i)
            FUZZ_CHECK(entries[i] == list.data() + at);
    }
    return 0;
}
