// The MSN/EAZ table as MSNEAZ holds it: any strings read, the table built from them the way the
// page builds it, and the strings written back and read again; the default protocols' values.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "rasconfig/msneaz_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    MsnEazTable table;
    while (input.remaining_bytes() > 1) {
        const std::string bytes = input.ConsumeRandomLengthString(80);
        MsnEazEntry entry{"", nullptr};
        if (!ParseMsnEazString(bytes.data(), bytes.size(), &entry)) continue;
        FUZZ_CHECK(!entry.number.empty() && entry.protocol && FindProtocolName(entry.protocol) == entry.protocol);
        FUZZ_CHECK(entry.number.find('\0') == std::string::npos);
        for (char c : entry.number) FUZZ_CHECK(!(c >= 'a' && c <= 'z'));
        // What is written for the entry reads back as the same entry; only a number that holds
        // the "^" itself can be taken apart differently.
        const std::string written = MsnEazString(entry);
        MsnEazEntry again{"", nullptr};
        if (entry.number.find('^') == std::string::npos) {
            FUZZ_CHECK(ParseMsnEazString(written.data(), written.size(), &again));
            FUZZ_CHECK(again.number == entry.number && again.protocol == entry.protocol);
        }
        const std::string line = MsnEazListLine(entry);
        FUZZ_CHECK(line == entry.number + "\t" + entry.protocol);
        FUZZ_CHECK(table.add(entry.number, entry.protocol));
        FUZZ_CHECK(table.find(entry.number) == static_cast<int>(table.size()) - 1);
    }
    // A number is in the table once, and the driver's table holds each entry's string once.
    std::string expected;
    for (size_t i = 0; i < table.size(); ++i) {
        for (size_t k = i + 1; k < table.size(); ++k) FUZZ_CHECK(table.at(i).number != table.at(k).number);
        expected += MsnEazString(table.at(i)) + '\0';
    }
    FUZZ_CHECK(table.driverTable() == expected);

    const std::string stored = input.ConsumeRemainingBytesAsString();
    const ProtocolButton button = StoredProtocolButton(stored.c_str());
    FUZZ_CHECK(button == ProtocolButton::Hdlc || button == ProtocolButton::X75 || button == ProtocolButton::V110 ||
               button == ProtocolButton::None);
    return 0;
}
