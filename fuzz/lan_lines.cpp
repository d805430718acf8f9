// The texts of the LAN configuration made from the adapters' service names and descriptions: the
// list line in its fixed buffer, and the router's controller list filled name by name.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "router/lan_config_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const size_t lineSize = input.ConsumeBool() ? kLanLineSize : input.ConsumeIntegralInRange<size_t>(0, 300);
    const bool owned = input.ConsumeBool();
    const std::string service = input.ConsumeRandomLengthString(200).c_str();
    const std::string description = input.ConsumeRandomLengthString(200).c_str();

    std::vector<char> line(lineSize + 1, '\x7f');
    FormatLanLine(owned, service.c_str(), description.c_str(), lineSize ? line.data() : nullptr, lineSize);
    FUZZ_CHECK(line[lineSize] == '\x7f');
    if (lineSize) {
        const std::string expected = (owned ? "-->\t" : "\t") + service + "\t" + description;
        // The line, or as much of its beginning as the buffer holds.
        const size_t length = strlen(line.data());
        FUZZ_CHECK(length == std::min(expected.size(), lineSize - 1));
        FUZZ_CHECK(expected.compare(0, length, line.data()) == 0);
    }

    // The controller list: names appended while they fit, each with its NUL, the list ended.
    const size_t listSize = input.ConsumeBool() ? kLanControllerListSize : input.ConsumeIntegralInRange<size_t>(0, 64);
    std::vector<char> list(listSize + 1, '\x7f');
    if (listSize) list[0] = '\0';
    size_t used = 0;
    std::string expected;
    while (input.remaining_bytes() > 0) {
        const std::string name = input.ConsumeRandomLengthString(140).c_str();
        const bool fits = used + name.size() + 2 <= listSize;
        FUZZ_CHECK(AppendControllerName(list.data(), listSize, &used, name.c_str()) == fits);
        if (fits) expected += name + '\0';
        FUZZ_CHECK(used == expected.size());
        FUZZ_CHECK(list[listSize] == '\x7f');
        if (listSize) FUZZ_CHECK(memcmp(list.data(), expected.data(), used) == 0 && list[used] == '\0');
    }
    return 0;
}
