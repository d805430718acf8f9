#include "router/x31_values.h"

#include <cstdlib>
#include <cstring>

uint32_t WindowSizeMaxAfterSize(uint32_t size, uint32_t maximum, bool negotiated) {
    return !negotiated || maximum < size ? size : maximum;
}

uint32_t WindowSizeAfterMax(uint32_t size, uint32_t maximum) { return size > maximum ? maximum : size; }

uint32_t PacketSizeMaxAfterSize(uint32_t size, uint32_t maximum) { return maximum < size ? size : maximum; }

uint32_t PacketSizeAfterMax(uint32_t size, uint32_t maximum) { return size > maximum ? maximum : size; }

X31Check TakeX31Values(const X31Typed& typed, X31Settings* next) {
    if (typed.enabled && typed.address.find(';') != std::string::npos) return X31Check::Separator;
    uint32_t highest = static_cast<uint32_t>(strtoul(typed.highestTwoWay.c_str(), nullptr, 10));
    if (highest >= kHighestTwoWayLimit) highest = kHighestTwoWayLimit;
    const size_t n = typed.address.size() < sizeof next->x25Address - 1 ? typed.address.size()
                                                                         : sizeof next->x25Address - 1;
    memcpy(next->x25Address, typed.address.data(), n);
    next->x25Address[n] = '\0';
    next->highestTwoWay = highest;
    next->tei = typed.tei;
    next->packetSize = typed.packetSize;
    next->packetSizeMax = typed.packetSizeMax;
    next->winSize = typed.winSize;
    next->winSizeMax = typed.winSizeMax;
    next->packetSizeNeg = typed.packetSizeNeg ? 1 : 0;
    next->winSizeNeg = typed.winSizeNeg ? 1 : 0;
    next->enabled = typed.enabled ? 1 : 0;
    if (next->enabled && next->highestTwoWay == 0) {
        next->enabled = 0;
        return X31Check::NoChannels;
    }
    return X31Check::Taken;
}
