// The texts of the WAN configuration made from what the CAPI registry holds for each controller:
// the controller strings and TAPI addresses handed to the drivers (one field per ";"), the list
// lines of the dialog cut to their columns, and the TEI<n> subkey names of the X.31 records.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "router/wan_format.h"

namespace {

// A registry text read into its fixed field: bounded and terminated, as ReadRegString leaves it.
template <size_t N>
void Fill(char (&field)[N], FuzzedDataProvider& input) {
    snprintf(field, N, "%s", input.ConsumeRandomLengthString(N + 8).c_str());
}

int MeasureByBytes(void* context, const char* text, int length) {
    ++*static_cast<int*>(context);
    int width = 0;
    for (int i = 0; i < length; ++i) width += 4 + (static_cast<unsigned char>(text[i]) & 7);
    return width;
}

size_t Count(const std::string& text, char c) {
    size_t n = 0;
    for (char x : text) n += x == c;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int count = input.ConsumeIntegralInRange<int>(0, 32);
    std::vector<ControllerEntry> entries(static_cast<size_t>(count));
    X31Settings x31;
    uint64_t expectedAddresses = 0, expectedControllers = 0;
    const uint32_t adapter = input.ConsumeIntegral<uint32_t>();
    for (ControllerEntry& entry : entries) {
        entry.card = input.ConsumeIntegral<uint32_t>();
        entry.controller = input.ConsumeIntegral<uint32_t>();
        // What cards have; now and then, for the first controller, whatever a damaged registry
        // holds (one such controller already makes 65535 addresses, which keeps the runs slow).
        const bool damaged = &entry == &entries[0] && input.ConsumeIntegralInRange<int>(0, 7) == 0;
        entry.channels = damaged ? input.ConsumeIntegral<uint32_t>() : input.ConsumeIntegralInRange<uint32_t>(0, 64);
        entry.enabled = input.ConsumeIntegral<uint32_t>();
        entry.capiPlus = input.ConsumeBool();
        Fill(entry.deviceName, input);
        Fill(entry.manufacturer, input);
        Fill(entry.interfaceName, input);
        Fill(entry.protocol, input);
        Fill(entry.nickname, input);
        Fill(entry.phone, input);
        if (input.ConsumeBool()) {
            entry.x31 = &x31;
            x31.enabled = input.ConsumeBool();
        }
        const bool storable = !HasFieldSeparator(entry.deviceName) && !HasFieldSeparator(entry.nickname) &&
                              !HasFieldSeparator(entry.interfaceName) && !HasFieldSeparator(entry.protocol) &&
                              !HasFieldSeparator(entry.phone);
        const std::string line = ControllerString(entry);
        FUZZ_CHECK(strlen(line.c_str()) == line.size());
        if (storable) FUZZ_CHECK(Count(line, ';') == 7);
        if (entry.enabled) {
            ++expectedControllers;
            expectedAddresses += entry.channels < kMaxControllerChannels ? entry.channels : kMaxControllerChannels;
        }

        int calls = 0;
        const int averageCharWidth = input.ConsumeIntegralInRange<int>(1, 32);
        const std::string listLine =
            ControllerListLine(entry, input.ConsumeBool(), averageCharWidth, MeasureByBytes, &calls);
        FUZZ_CHECK(Count(listLine, '\t') >= 7);
        const int limit = ColumnCutLimit(4, averageCharWidth);
        const std::string cut = CutToWidth(entry.manufacturer, limit, MeasureByBytes, &calls);
        FUZZ_CHECK(cut.size() <= strlen(entry.manufacturer));
        FUZZ_CHECK(cut.empty() || MeasureByBytes(&calls, cut.c_str(), static_cast<int>(cut.size())) < limit);
    }

    const ControllerLists lists = BuildControllerLists(entries.data(), count, adapter);
    // Every enabled controller's string, and one address per B channel, each "adapter-line-0".
    const std::string controllers = lists.controllers.bytes();
    FUZZ_CHECK(Count(controllers, '\0') == (expectedControllers ? expectedControllers + 1 : 1));
    const std::string addresses = lists.addresses.bytes();
    const size_t addressCount = addresses.size() == 1 ? 0 : Count(addresses, '\0') - 1;
    FUZZ_CHECK(addressCount == expectedAddresses);
    size_t line = 0;
    for (size_t at = 0; at + 1 < addresses.size(); ++line) {
        const std::string address = addresses.c_str() + at;
        char expected[40];
        snprintf(expected, sizeof expected, "%d-%d-0", static_cast<int>(adapter), static_cast<int>(line));
        FUZZ_CHECK(address == expected);
        at += address.size() + 1;
    }

    const std::string name = input.ConsumeRandomLengthString(8);
    const uint32_t tei = TeiOfSubkeyName(name.c_str());
    FUZZ_CHECK(tei == 0 || (tei >= kFirstTei && tei <= kLastTei));
    if (tei) {
        char canonical[8];
        snprintf(canonical, sizeof canonical, "TEI%u", tei);
        FUZZ_CHECK(strcasecmp(canonical, name.c_str()) == 0 || strcasecmp(canonical, ("TEI" + std::string(name.c_str() + 4)).c_str()) == 0);
    }
    return 0;
}
