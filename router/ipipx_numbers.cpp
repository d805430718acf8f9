#include "router/ipipx_numbers.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint64_t kModulus = 100000000;

bool IsReservedFirstOctet(uint8_t first) { return first == 0 || first == 127 || first >= 224; }

enum Template { kTemplateA, kTemplateB, kTemplateC };

struct TemplateStart {
    uint32_t address;
    uint32_t mask;
    int growthOctet;
};

const TemplateStart kTemplates[] = {
    {0x0A010101u, 0xFF000000u, 1},  // 10.1.1.1
    {0xAC100101u, 0xFFFF0000u, 2},  // 172.16.1.1
    {0xC0A80101u, 0xFFFFFF00u, 2},  // 192.168.1.1
};

Template ChooseTemplate(uint8_t first, size_t length) {
    Template t;
    if (first < 128) {
        t = kTemplateA;
        if (length > 14) t = kTemplateC;
    } else if ((first & 0xC0) == 0x80) {
        t = kTemplateB;
        if (length < 10) t = kTemplateA;
        if (length > 14) t = kTemplateC;
    } else {
        t = kTemplateC;
        if (length < 11) t = kTemplateB;
        if (length < 10) t = kTemplateA;
    }
    return t;
}

bool HexDigit(char c, uint32_t* digit) {
    if (c >= '0' && c <= '9') *digit = static_cast<uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f') *digit = static_cast<uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') *digit = static_cast<uint32_t>(c - 'A' + 10);
    else return false;
    return true;
}

}  // namespace

uint32_t RandomNumber::Next() {
    state_ = static_cast<uint32_t>((uint64_t{state_} * 31415821u % kModulus + 1) % kModulus);
    const uint32_t scaled = static_cast<uint32_t>(uint64_t{state_ / 10000} * kModulus);
    return scaled / 10000;
}

uint32_t ProposeIpxNumber(RandomNumber* random) {
    const uint32_t first = random->Next();
    const uint32_t second = random->Next();
    return (first << 16) + second;
}

void FormatIpxNumber(uint32_t number, char* out, size_t size) {
    if (out && size) snprintf(out, size, "%lx", static_cast<unsigned long>(number));
}

uint32_t ParseIpxNumber(const char* text) {
    uint32_t value = 0, digit = 0;
    for (int i = 0; text && i < 8 && HexDigit(text[i], &digit); ++i) value = (value << 4) | digit;
    return value;
}

uint32_t IpxNumberToStore(const char* text) {
    const uint32_t number = ParseIpxNumber(text);
    return number ? number : 1;
}

bool ProposeIsdnAddress(const IpAddressValue& lanAddress, const NetworkList& networks, IpAddressValue* address,
                        IpAddressValue* mask) {
    if (IsReservedFirstOctet(lanAddress.octet[0])) return false;
    const size_t length = lanAddress.TextLength();
    if (length < 8) return false;

    const TemplateStart& start = kTemplates[ChooseTemplate(lanAddress.octet[0], length)];
    IpAddressValue proposal = IpAddressValue::FromBits(start.address);
    IpAddressValue proposalMask = IpAddressValue::FromBits(start.mask);
    // Each step turns 1 into 11 or 11 into 111 and so adds one character.
    int grow = start.growthOctet;
    while (proposal.TextLength() < length) {
        if (proposal.octet[grow] == 111) ++grow;
        if (grow > 3) return false;
        proposal.octet[grow] = static_cast<uint8_t>(proposal.octet[grow] * 10 + 1);
    }

    if (!networks.HoldsNetworkOf(proposal, proposalMask)) {
        *address = proposal;
        *mask = proposalMask;
        return true;
    }
    proposalMask = IpAddressValue::FromBits(0xFFFFFF00u);
    for (;;) {
        if (!networks.HoldsNetworkOf(proposal, proposalMask)) {
            *address = proposal;
            *mask = proposalMask;
            return true;
        }
        ++proposal.octet[2];
        if (proposal.TextLength() != length || !proposal.IsPrivate()) return false;
    }
}

bool IsUsableLanAddress(const IpAddressValue& address, const IpAddressValue& mask) {
    if (IsReservedFirstOctet(address.octet[0]) || address.octet[3] == 255) return false;
    return (address.Bits() & ~mask.Bits()) != 0;
}

void AddLanNetworks(const char* addresses, const char* masks, NetworkList* networks) {
    const char* mask = masks;
    for (const char* a = addresses; *a; a += strlen(a) + 1) {
        IpAddressValue address, maskValue;
        const bool parsed = address.Parse(a);
        if (*mask) {
            if (!maskValue.Parse(mask)) maskValue = address.ClassMask();
            mask += strlen(mask) + 1;
        } else {
            maskValue = address.ClassMask();
        }
        if (parsed && IsUsableLanAddress(address, maskValue)) networks->Add(address, maskValue);
    }
}

std::vector<IpAddressValue> OfferedLanAddresses(const NetworkList& networks) {
    std::vector<IpAddressValue> offered;
    for (size_t i = 0; i < networks.Count(); ++i) {
        IpAddressValue lan = networks.Address(i), proposal, mask;
        if (!ProposeIsdnAddress(lan, networks, &proposal, &mask)) continue;
        lan.Format();
        // Public addresses come first: they are the ones a router usually takes its identity from.
        offered.insert(lan.IsPrivate() ? offered.end() : offered.begin(), lan);
    }
    return offered;
}
