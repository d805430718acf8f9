// The keyboard filters of the IP/IPX fields: a sequence of typed keys and selections applied to a
// field the way the edit control does, checking that the field only ever holds what it may.
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "router/ip_address.h"
#include "router/ipipx_keys.h"

namespace {

std::string Edited(const std::string& text, size_t start, size_t end, char key) {
    if (end > text.size()) end = text.size();
    if (start > end) start = end;
    if (key == '\b') {
        if (start == end && start > 0) --start;
        return text.substr(0, start) + text.substr(end);
    }
    return text.substr(0, start) + key + text.substr(end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool ipxField = input.ConsumeBool();
    std::string field;
    while (input.remaining_bytes() >= 3) {
        const size_t start = input.ConsumeIntegralInRange<size_t>(0, 80);
        const size_t end = input.ConsumeIntegralInRange<size_t>(0, 80);
        const char key = input.ConsumeIntegral<char>();
        const bool accepted = ipxField ? IpxFieldAcceptsKey(field.c_str(), start, end, key)
                                       : AddressFieldAcceptsKey(field.c_str(), start, end, key);
        if (key == '\b') FUZZ_CHECK(accepted);
        if (!accepted) continue;
        field = Edited(field, start, end, key);
        if (ipxField) {
            FUZZ_CHECK(field.size() <= kIpxFieldLength);
            for (char c : field) FUZZ_CHECK(isxdigit(static_cast<unsigned char>(c)));
        } else if (key != '\b') {
            FUZZ_CHECK(IsDottedAddressBeginning(field.c_str()));
            FUZZ_CHECK(field.size() < 64);
        }
    }
    // A complete dotted beginning is an address the configuration reads back as typed.
    if (!ipxField && IsDottedAddressBeginning(field.c_str())) {
        size_t dots = 0;
        for (char c : field) dots += c == '.';
        IpAddressValue value;
        if (dots == 3 && field.back() != '.') {
            FUZZ_CHECK(value.Parse(field.c_str()));
        }
    }
    return 0;
}
