// Dotted addresses as the IP configuration reads them from the registry and the fields, the
// address it proposes for the ISDN interface from a LAN adapter's address, and the IPX network
// number's text forms.
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "router/ip_address.h"
#include "router/ipipx_numbers.h"

namespace {

// A parsed address formats to a text that parses back to the same octets.
void CheckParsed(const std::string& text) {
    IpAddressValue value = IpAddressValue::FromBits(0x01020304u);
    const bool ok = value.Parse(text.c_str());
    if (!ok) {
        FUZZ_CHECK(value.Bits() == 0x01020304u);
        return;
    }
    const std::string formatted = value.Format();
    FUZZ_CHECK(formatted.size() == value.TextLength() && formatted.size() < kDottedSize);
    IpAddressValue again;
    FUZZ_CHECK(again.Parse(formatted.c_str()) && again.Bits() == value.Bits());
    FUZZ_CHECK(IpAddressValue::FromBits(value.Bits()).Bits() == value.Bits());
    FUZZ_CHECK(value.IsZero() == (value.Bits() == 0));

    const uint32_t mask = value.ClassMask().Bits();
    FUZZ_CHECK(mask == 0 || mask == 0xFF000000u || mask == 0xFFFF0000u || mask == 0xFFFFFF00u);
    IpAddressValue next = value;
    next.Increment();
    FUZZ_CHECK(next.octet[0] == value.octet[0]);
    FUZZ_CHECK((next.Bits() & 0x00FFFFFFu) == ((value.Bits() + 1) & 0x00FFFFFFu));
}

void CheckProposal(const IpAddressValue& lan, const NetworkList& networks) {
    IpAddressValue address = IpAddressValue::FromBits(0x01020304u), mask = IpAddressValue::FromBits(0x05060708u);
    if (!ProposeIsdnAddress(lan, networks, &address, &mask)) {
        FUZZ_CHECK(address.Bits() == 0x01020304u && mask.Bits() == 0x05060708u);
        return;
    }
    // A private address of the same text length whose network holds none of the list.
    FUZZ_CHECK(address.IsPrivate());
    FUZZ_CHECK(address.TextLength() == lan.TextLength());
    FUZZ_CHECK(!networks.HoldsNetworkOf(address, mask));
    const uint32_t m = mask.Bits();
    FUZZ_CHECK(m == 0xFF000000u || m == 0xFFFF0000u || m == 0xFFFFFF00u);
    // The proposal is an address an adapter may hold.
    FUZZ_CHECK(IsUsableLanAddress(address, mask));
}

void CheckIpxText(const std::string& text, uint32_t number) {
    char formatted[9];
    FormatIpxNumber(number, formatted, sizeof formatted);
    FUZZ_CHECK(strlen(formatted) >= 1 && strlen(formatted) <= 8);
    FUZZ_CHECK(ParseIpxNumber(formatted) == number);
    FUZZ_CHECK(IpxNumberToStore(formatted) == (number ? number : 1));

    const uint32_t parsed = ParseIpxNumber(text.c_str());
    FUZZ_CHECK(IpxNumberToStore(text.c_str()) == (parsed ? parsed : 1));
    // Only the leading hexadecimal digits count, at most eight of them.
    size_t digits = 0;
    while (digits < 8 && digits < text.size() && isxdigit(static_cast<unsigned char>(text[digits]))) ++digits;
    FUZZ_CHECK(ParseIpxNumber(text.substr(0, digits).c_str()) == parsed);
    if (parsed) {
        FormatIpxNumber(parsed, formatted, sizeof formatted);
        FUZZ_CHECK(strlen(formatted) <= digits);
    }
    // A buffer too small for the number is still ended.
    char tiny[3] = {'x', 'x', 'x'};
    FormatIpxNumber(number, tiny, 2);
    FUZZ_CHECK(tiny[1] == '\0' && tiny[2] == 'x');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string text = input.ConsumeRandomLengthString(64);
    CheckParsed(text);

    IpAddressValue lan;
    if (!lan.Parse(text.c_str())) lan = IpAddressValue::FromBits(input.ConsumeIntegral<uint32_t>());
    NetworkList networks;
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, 40);
    for (size_t i = 0; i < count && input.remaining_bytes() >= 5; ++i) {
        const IpAddressValue address = IpAddressValue::FromBits(input.ConsumeIntegral<uint32_t>());
        const uint8_t prefix = input.ConsumeIntegralInRange<uint8_t>(0, 32);
        const uint32_t bits = prefix == 0 ? 0 : 0xFFFFFFFFu << (32 - prefix);
        FUZZ_CHECK(networks.Add(address, IpAddressValue::FromBits(bits)));
    }
    FUZZ_CHECK(networks.Count() <= networks.Capacity());
    CheckProposal(lan, networks);

    const uint32_t number = input.ConsumeIntegral<uint32_t>();
    CheckIpxText(input.ConsumeRandomLengthString(16), number);
    return 0;
}
