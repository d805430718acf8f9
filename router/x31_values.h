// The X.31 dialog's rules as plain values: how the sizes follow each other and what its OK takes
// and checks. No platform headers.
#pragma once

#include <cstdint>
#include <string>

#include "router/controller_entry.h"

// Ch_HTC holds at most this; a larger typed number is taken as it.
constexpr uint32_t kHighestTwoWayLimit = 63;

// The maximum window size after the window size was chosen: it follows the size while the window
// size is not negotiated, and is raised to it while it is.
uint32_t WindowSizeMaxAfterSize(uint32_t size, uint32_t maximum, bool negotiated);
// The window size after the maximum was chosen while the window size is negotiated: lowered to it.
uint32_t WindowSizeAfterMax(uint32_t size, uint32_t maximum);
// The same pair for the packet sizes, which follow each other whether negotiated or not.
uint32_t PacketSizeMaxAfterSize(uint32_t size, uint32_t maximum);
uint32_t PacketSizeAfterMax(uint32_t size, uint32_t maximum);

// What the dialog's OK takes from its controls.
struct X31Typed {
    bool enabled = false;
    std::string address;
    std::string highestTwoWay;  // as typed
    uint32_t tei = 1;
    uint32_t packetSize = 128;
    uint32_t packetSizeMax = 128;
    uint32_t winSize = 2;
    uint32_t winSizeMax = 2;
    bool packetSizeNeg = false;
    bool winSizeNeg = false;
};

enum class X31Check {
    Taken,
    Separator,   // switched on with a ";" in the address, which separates the active line's fields
    NoChannels,  // switched on without a two-way channel: the question whether to go back
};

// The values the OK would store into next (a copy of the record it starts from), and what it has to
// say about them. With NoChannels, next is what answering "switch it off" keeps.
X31Check TakeX31Values(const X31Typed& typed, X31Settings* next);
