// IPv4 addresses as the IP configuration reads, formats and compares them, and a list of networks.
#pragma once

#include <cstddef>
#include <cstdint>

// Room for the dotted form of any address with its NUL: "255.255.255.255".
constexpr size_t kDottedSize = 16;

// Four octets, the first one first, and a buffer for the dotted form.
struct IpAddressValue {
    uint8_t octet[4] = {0, 0, 0, 0};
    char text[kDottedSize] = "";

    // Four groups separated by "."; each group is its leading decimal digits ("1x" reads 1, an empty
    // group 0). Fails (leaving the value as it was) for a group above 255 or fewer than four groups;
    // text after the fourth group is ignored.
    bool Parse(const char* dotted);
    // The dotted form, without leading zeros, into text; returns text.
    const char* Format();
    bool IsZero() const;
    // 255.0.0.0, 255.255.0.0 or 255.255.255.0 for classes A, B and C; 0.0.0.0 for any other.
    IpAddressValue ClassMask() const;
    // Adds 1 to the fourth octet with a carry into the third and second; the first never changes.
    void Increment();
    // 10.x.x.x, 172.16.x.x to 172.31.x.x, 192.168.x.x.
    bool IsPrivate() const;
    // Length of the dotted form.
    size_t TextLength() const;

    uint32_t Bits() const;
    static IpAddressValue FromBits(uint32_t bits);
};

// (address, mask) pairs in insertion order; room for 16 at first, doubled whenever it is full.
class NetworkList {
public:
    NetworkList() = default;
    NetworkList(const NetworkList&) = delete;
    NetworkList& operator=(const NetworkList&) = delete;
    ~NetworkList();

    // False (the list unchanged) when no larger block can be had.
    bool Add(const IpAddressValue& address, const IpAddressValue& mask);
    size_t Count() const { return count_; }
    size_t Capacity() const { return capacity_; }
    const IpAddressValue& Address(size_t index) const { return pairs_[index].address; }
    const IpAddressValue& Mask(size_t index) const { return pairs_[index].mask; }
    // Some pair of the list lies in the network of address under mask (the pairs' own masks play
    // no part).
    bool HoldsNetworkOf(const IpAddressValue& address, const IpAddressValue& mask) const;

private:
    struct Pair {
        IpAddressValue address;
        IpAddressValue mask;
    };
    Pair* pairs_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};
