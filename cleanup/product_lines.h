// The product lines the clean-up program removes: their bits, how a registry key name tells an
// installed line, and the confirmation list of the chosen lines' display names.
#pragma once

#include <cstddef>
#include <cstdint>

// Bits of detection and of the product choice; one or more lines and the delete-files bit.
using ProductBits = uint32_t;
constexpr ProductBits kRouterBits = 0x01 | 0x02 | 0x04;  // any member of the router family
constexpr ProductBits kRouterLine = 0x02;
constexpr ProductBits kRemoteAccessLine = 0x08;
constexpr ProductBits kGatewayLine = 0x10;
constexpr ProductBits kEveryLine = 0xFF;
constexpr ProductBits kDeleteFilesBit = 0x80000000;

// The confirmation list holds at most this many characters.
constexpr size_t kConfirmationListSize = 260;

// The line a key name under the services or maker keys stands for: VrkRas before VrkMpr before
// VrkLV, each found anywhere in the name regardless of letter case; 0 for none.
ProductBits LineOfKeyName(const char* name);

// The quoted display names of the lines in bits, each followed by a blank, in the order router,
// remote access, gateway, into out (size bytes, always terminated; a name that does not fit whole
// is left out). Returns the length written.
size_t BuildConfirmationList(ProductBits bits, char* out, size_t size);

// The line an answer of [VrkClean] Lines names, in any letter case: "Router", "RemoteAccess",
// "Gateway", or "All" for every line; 0 for any other text.
ProductBits LineOfAnswerName(const char* name);
