// One ISDN controller of the CAPI registry with one product's settings for it, and the X.31
// settings one controller of the table can hold.
#pragma once

#include <cstdint>

constexpr unsigned kDeviceNameSize = 64;
constexpr unsigned kManufacturerSize = 128;
constexpr unsigned kInterfaceSize = 10;
constexpr unsigned kProtocolSize = 16;
constexpr unsigned kNicknameSize = 32;
constexpr unsigned kPhoneSize = 40;
constexpr unsigned kX25AddressSize = 128;

// The lowest and highest TEI a TEI<n> record may have.
constexpr uint32_t kFirstTei = 1;
constexpr uint32_t kLastTei = 63;

// X.31 settings of one controller; a new record has these defaults.
struct X31Settings {
    char x25Address[kX25AddressSize] = "";
    uint32_t packetSizeNeg = 0;
    uint32_t packetSize = 128;
    uint32_t packetSizeMax = 128;
    uint32_t winSizeNeg = 0;
    uint32_t winSize = 2;
    uint32_t winSizeMax = 2;
    uint32_t tei = 1;
    uint32_t highestIncoming = 0;  // Ch_HIC
    uint32_t highestOutgoing = 0;  // Ch_HOC
    uint32_t highestTwoWay = 0;    // Ch_HTC
    uint32_t lowestIncoming = 0;   // Ch_LIC
    uint32_t lowestOutgoing = 0;   // Ch_LOC
    uint32_t lowestTwoWay = 1;     // Ch_LTC
    uint32_t enabled = 0;          // VrkMprEnabled: X.31 switched on
};

// A new entry has these defaults.
struct ControllerEntry {
    uint32_t card = 0;
    uint32_t numberOfControllers = 0;
    char deviceName[kDeviceNameSize] = "";
    char manufacturer[kManufacturerSize] = "";
    char interfaceName[kInterfaceSize] = "IRP_RW";
    uint32_t controller = 0;  // 1-based index on its card
    uint32_t channels = 0;
    char protocol[kProtocolSize] = "2.0";
    uint32_t enabled = 0;  // channels the product uses; 0: the product does not use the controller
    char nickname[kNicknameSize] = "";
    char phone[kPhoneSize] = "0";
    uint32_t capiPlus = 0;        // leased line; always 0 while driverCapiPlus is 0
    uint32_t driverCapiPlus = 0;  // the card's driver speaks CAPI+
    X31Settings* x31 = nullptr;   // owned by the entry; at most one entry of the table holds one
};
