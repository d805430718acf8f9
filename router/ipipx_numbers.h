// The numbers of the IP/IPX configuration: the pseudo-random generator behind a proposed IPX
// network number, the number's text forms, and the ISDN address proposed from a LAN address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "router/ip_address.h"

// state := (state * 31415821 + 1) mod 100000000, the product taken exactly in 64 bits; the value is
// ((state / 10000) * 100000000, kept to its low 32 bits) / 10000.
class RandomNumber {
public:
    void Seed(uint32_t seed) { state_ = seed; }
    uint32_t State() const { return state_; }
    uint32_t Next();

private:
    uint32_t state_ = 0;
};

// A proposed IPX network number: (first value << 16) + second value, modulo 2^32.
uint32_t ProposeIpxNumber(RandomNumber* random);

// The number in lower-case hexadecimal without leading zeros, into out (at least 9 bytes).
void FormatIpxNumber(uint32_t number, char* out, size_t size);
// The leading hexadecimal digits of text (at most eight are read); 0 when there are none.
uint32_t ParseIpxNumber(const char* text);
// The number that OK stores for the text of the IPX field: an empty or invalid field gives 1.
uint32_t IpxNumberToStore(const char* text);

// A private address for the ISDN interface whose dotted form is as long as the LAN address's and
// whose network (under the proposal's mask) holds no network of the list. False when there is none.
bool ProposeIsdnAddress(const IpAddressValue& lanAddress, const NetworkList& networks, IpAddressValue* address,
                        IpAddressValue* mask);

// The LAN addresses the dialog offers to derive from, in the order it shows them: those with a
// proposal, public ones first (the last found on top), then the private ones as found.
std::vector<IpAddressValue> OfferedLanAddresses(const NetworkList& networks);

// An address that a LAN adapter may hold at all: not 0, 127 or 224 and above first, not .255
// last, and with host bits under its mask.
bool IsUsableLanAddress(const IpAddressValue& address, const IpAddressValue& mask);

// Adds the networks of one LAN adapter's IPAddress and SubnetMask multi-strings to the list: each
// address with the mask at its own position, or its class mask where that mask does not parse or
// past the last one; addresses that do not parse or that no adapter may hold are left out.
void AddLanNetworks(const char* addresses, const char* masks, NetworkList* networks);
