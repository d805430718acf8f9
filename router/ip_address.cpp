#include "router/ip_address.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

// The group's leading digits; values far above 255 stay above it instead of wrapping.
unsigned long GroupValue(const char* p) {
    unsigned long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value <= 1000) value = value * 10 + static_cast<unsigned long>(*p - '0');
    return value;
}

}  // namespace

bool IpAddressValue::Parse(const char* dotted) {
    if (!dotted) return false;
    uint8_t parsed[4];
    const char* p = dotted;
    for (int i = 0; i < 4; ++i) {
        const unsigned long value = GroupValue(p);
        if (value > 255) return false;
        parsed[i] = static_cast<uint8_t>(value);
        if (i == 3) break;
        while (*p && *p != '.') ++p;
        if (*p != '.') return false;
        ++p;
    }
    for (int i = 0; i < 4; ++i) octet[i] = parsed[i];
    return true;
}

const char* IpAddressValue::Format() {
    snprintf(text, sizeof text, "%u.%u.%u.%u", octet[0], octet[1], octet[2], octet[3]);
    return text;
}

bool IpAddressValue::IsZero() const { return Bits() == 0; }

IpAddressValue IpAddressValue::ClassMask() const {
    if (octet[0] < 128) return FromBits(0xFF000000u);
    if ((octet[0] & 0xC0) == 0x80) return FromBits(0xFFFF0000u);
    if ((octet[0] & 0xE0) == 0xC0) return FromBits(0xFFFFFF00u);
    return FromBits(0);
}

void IpAddressValue::Increment() {
    for (int i = 3; i >= 1; --i)
        if (++octet[i] != 0) return;
}

bool IpAddressValue::IsPrivate() const {
    return octet[0] == 10 || (octet[0] == 172 && octet[1] >= 16 && octet[1] <= 31) ||
           (octet[0] == 192 && octet[1] == 168);
}

size_t IpAddressValue::TextLength() const {
    size_t length = 3;
    for (uint8_t o : octet) length += o >= 100 ? 3 : o >= 10 ? 2 : 1;
    return length;
}

uint32_t IpAddressValue::Bits() const {
    return (uint32_t{octet[0]} << 24) | (uint32_t{octet[1]} << 16) | (uint32_t{octet[2]} << 8) | octet[3];
}

IpAddressValue IpAddressValue::FromBits(uint32_t bits) {
    IpAddressValue value;
    for (int i = 0; i < 4; ++i) value.octet[i] = static_cast<uint8_t>(bits >> (24 - 8 * i));
    return value;
}

NetworkList::~NetworkList() { free(pairs_); }

bool NetworkList::Add(const IpAddressValue& address, const IpAddressValue& mask) {
    if (count_ == capacity_) {
        const size_t grown = capacity_ ? 2 * capacity_ : 16;
        Pair* block = static_cast<Pair*>(realloc(pairs_, grown * sizeof(Pair)));
        if (!block) return false;
        pairs_ = block;
        capacity_ = grown;
    }
    new (&pairs_[count_]) Pair{address, mask};
    ++count_;
    return true;
}

bool NetworkList::HoldsNetworkOf(const IpAddressValue& address, const IpAddressValue& mask) const {
    for (size_t i = 0; i < count_; ++i)
        if ((pairs_[i].address.Bits() & mask.Bits()) == (address.Bits() & mask.Bits())) return true;
    return false;
}
