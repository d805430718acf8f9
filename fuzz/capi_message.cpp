// What comes back from a card's CAPI driver: a confirmation of any length and content read into
// the answer buffer, and the numbers the CAPI operations take as text.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "router/capi_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const uint32_t number = input.ConsumeIntegral<uint32_t>();
    const std::string text = input.ConsumeRandomLengthString(40);
    const std::vector<uint8_t> answer = input.ConsumeRemainingBytes<uint8_t>();

    // Exactly the bytes that came, so that a read past them is seen.
    std::vector<uint8_t> bytes(answer);
    uint32_t protocol = 0xAAAAAAAAu, flags = 0xBBBBBBBBu;
    const bool accepted = AcceptConfirmation(bytes.empty() ? nullptr : bytes.data(), bytes.size(), &protocol, &flags);
    if (accepted) {
        FUZZ_CHECK(bytes.size() == kCapiConfirmationSize && bytes[4] == kCapiParamsCommand &&
                   bytes[5] == kCapiConfirmation);
        FUZZ_CHECK(flags == (bytes[22] | (uint32_t{bytes[23]} << 8)) && protocol <= 0xFF);
    } else {
        FUZZ_CHECK(protocol == 0xAAAAAAAAu && flags == 0xBBBBBBBBu);
    }
    // What the driver is sent is never taken for its answer.
    uint8_t query[kCapiQuerySize];
    BuildParamsQuery(static_cast<uint8_t>(number), query);
    FUZZ_CHECK(!AcceptConfirmation(query, sizeof query, nullptr, nullptr));

    char decimal[16], hexadecimal[16];
    snprintf(decimal, sizeof decimal, "%lu", static_cast<unsigned long>(number));
    snprintf(hexadecimal, sizeof hexadecimal, "0x%lX", static_cast<unsigned long>(number));
    FUZZ_CHECK(ParseCapiNumber(decimal) == number && ParseCapiNumber(hexadecimal) == number);
    FUZZ_CHECK(ParseCapiNumber((std::string(" \t") + decimal + text).c_str()) ==
               ParseCapiNumber((std::string(decimal) + text).c_str()));
    // Reading stops at the first character that is no digit ("0" and "x..." make a hexadecimal number).
    if (number != 0 && (text.empty() || !(text[0] >= '0' && text[0] <= '9')))
        FUZZ_CHECK(ParseCapiNumber((decimal + text).c_str()) == number);
    ParseCapiNumber(text.c_str());
    return 0;
}
