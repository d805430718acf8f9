// The networks of a LAN adapter as its TCP/IP values give them: the IPAddress and SubnetMask
// multi-strings as the registry read leaves them (any strings, ended by an empty one), paired
// position by position.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "router/ip_address.h"
#include "router/ipipx_numbers.h"

namespace {

// Up to 256 bytes of strings, each with its NUL, and the list's NUL.
std::vector<std::string> Strings(FuzzedDataProvider& input, std::vector<char>* block) {
    std::vector<std::string> strings;
    block->clear();
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, 12);
    for (size_t i = 0; i < count; ++i) {
        const std::string s = input.ConsumeRandomLengthString(20).c_str();
        if (s.empty() || block->size() + s.size() + 2 > 256) break;
        strings.push_back(s);
        block->insert(block->end(), s.begin(), s.end());
        block->push_back('\0');
    }
    block->push_back('\0');
    return strings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<char> addressBlock, maskBlock;
    const std::vector<std::string> addresses = Strings(input, &addressBlock);
    const std::vector<std::string> masks = Strings(input, &maskBlock);

    NetworkList networks;
    AddLanNetworks(addressBlock.data(), maskBlock.data(), &networks);
    FUZZ_CHECK(networks.Count() <= addresses.size());
    size_t next = 0;
    for (size_t i = 0; i < addresses.size(); ++i) {
        IpAddressValue address, mask;
        if (!address.Parse(addresses[i].c_str())) continue;
        if (i >= masks.size() || !mask.Parse(masks[i].c_str())) mask = address.ClassMask();
        if (!IsUsableLanAddress(address, mask)) continue;
        FUZZ_CHECK(next < networks.Count());
        FUZZ_CHECK(networks.Address(next).Bits() == address.Bits() && networks.Mask(next).Bits() == mask.Bits());
        ++next;
    }
    FUZZ_CHECK(next == networks.Count());
    // The proposal for any of the adapter's addresses keeps clear of all of them.
    for (size_t i = 0; i < networks.Count(); ++i) {
        IpAddressValue proposal, mask;
        if (ProposeIsdnAddress(networks.Address(i), networks, &proposal, &mask)) {
            for (size_t k = 0; k < networks.Count(); ++k)
                FUZZ_CHECK((networks.Address(k).Bits() & mask.Bits()) != (proposal.Bits() & mask.Bits()));
        }
    }
    return 0;
}
