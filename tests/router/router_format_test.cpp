// The router's plain functions: controller strings and TAPI addresses, the list lines of the WAN
// dialog with their cut columns, TEI names, and the CAPI parameter messages.
#include <gtest/gtest.h>

#include <cstring>

#include "router/capi_message.h"
#include "router/wan_format.h"

namespace {

ControllerEntry Entry(uint32_t card, uint32_t controller, uint32_t channels, uint32_t enabled) {
    ControllerEntry e;
    e.card = card;
    e.controller = controller;
    e.channels = channels;
    e.enabled = enabled;
    snprintf(e.deviceName, sizeof e.deviceName, "CAPI%lu", static_cast<unsigned long>(card));
    return e;
}

// Four pixels a byte.
int FourPixels(void*, const char*, int length) { return 4 * length; }

std::string Bytes(const uint8_t* p, size_t n) { return std::string(reinterpret_cast<const char*>(p), n); }

TEST(RouterFormat, ControllerStringsNameTheirFieldsInOrder) {
    ControllerEntry plain = Entry(2, 1, 2, 2);
    EXPECT_EQ("CAPI2;NO_NICKNAME;IRP_RW;2.0;2;1;2;0", ControllerString(plain));

    ControllerEntry named = Entry(1, 3, 30, 12);
    strcpy(named.nickname, "Zentrale");
    strcpy(named.phone, "0301234");
    strcpy(named.interfaceName, "IRP_GP");
    strcpy(named.protocol, "1.1");
    EXPECT_EQ("CAPI1;Zentrale;IRP_GP;1.1;1;3;12;0301234", ControllerString(named));

    named.capiPlus = 1;
    EXPECT_EQ("CAPI1;Zentrale;IRP_GP;CapiPlus;1;3;12;0301234", ControllerString(named));

    X31Settings x31;
    x31.highestTwoWay = 8;
    x31.tei = 12;
    strcpy(x31.x25Address, "45001234");
    named.capiPlus = 0;
    EXPECT_EQ("CAPI1;Zentrale;IRP_GP;1.1;1;3;8;12;45001234", ActiveLineString(named, x31));
    EXPECT_EQ("CAPI2;NO_NICKNAME;IRP_RW;2.0;2;1;0;1;", ActiveLineString(plain, X31Settings()));
}

TEST(RouterFormat, ListsHoldTheEnabledControllersAndOneAddressPerChannel) {
    ControllerEntry entries[] = {Entry(1, 1, 2, 2), Entry(2, 1, 2, 0), Entry(2, 2, 3, 1)};
    const ControllerLists lists = BuildControllerLists(entries, 3, 3);
    const std::string controllers = std::string("CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;2;0\0", 37) +
                                    std::string("CAPI2;NO_NICKNAME;IRP_RW;2.0;2;2;1;0\0\0", 38);
    EXPECT_EQ(controllers, lists.controllers.bytes());
    // Channels, not the channels in use; lines count across the controllers in use only.
    EXPECT_EQ(std::string("3-0-0\0003-1-0\0003-2-0\0003-3-0\0003-4-0\0\0", 31), lists.addresses.bytes());

    entries[0].enabled = entries[2].enabled = 0;
    const ControllerLists none = BuildControllerLists(entries, 3, 0);
    EXPECT_TRUE(none.controllers.empty());
    EXPECT_EQ(std::string(1, '\0'), none.controllers.bytes());
    EXPECT_EQ(std::string(1, '\0'), none.addresses.bytes());
}

TEST(RouterFormat, FullTablesAreNeverCut) {
    ControllerEntry entries[32];
    for (int i = 0; i < 32; ++i) {
        entries[i] = Entry(static_cast<uint32_t>(i + 1), 1, 30, 30);
        memset(entries[i].nickname, 'n', sizeof entries[i].nickname - 1);
        memset(entries[i].phone, '9', sizeof entries[i].phone - 1);
    }
    const ControllerLists lists = BuildControllerLists(entries, 32, 12);
    const std::string controllers = lists.controllers.bytes();
    EXPECT_GT(controllers.size(), 1024u);
    EXPECT_EQ(33, std::count(controllers.begin(), controllers.end(), '\0'));
    EXPECT_NE(std::string::npos, controllers.find(ControllerString(entries[31]) + std::string(2, '\0')));
    const std::string addresses = lists.addresses.bytes();
    EXPECT_GT(addresses.size(), 1024u);
    EXPECT_EQ(961, std::count(addresses.begin(), addresses.end(), '\0'));
    EXPECT_NE(std::string::npos, addresses.find(std::string("\00012-959-0\0\0", 11)));
}

TEST(RouterFormat, ADamagedChannelCountGetsNoMoreAddressesThanCapiCanCount) {
    // A Channels value of 0xFFFFFFFF asked for four billion addresses and the process ran out of
    // memory; the controller now gets the most a CAPI profile can report, and the next one
    // continues the line numbers behind them.
    ControllerEntry entries[2] = {Entry(1, 1, 0xFFFFFFFFu, 2), Entry(2, 1, 2, 2)};
    const ControllerLists lists = BuildControllerLists(entries, 2, 3);
    const std::string addresses = lists.addresses.bytes();
    EXPECT_EQ(static_cast<long>(kMaxControllerChannels) + 2 + 1, std::count(addresses.begin(), addresses.end(), '\0'));
    EXPECT_EQ(0u, addresses.find(std::string("3-0-0\0", 6)));
    const std::string tail = std::string(1, '\0') + "3-65534-0" + std::string(1, '\0') + "3-65535-0" +
                             std::string(1, '\0') + "3-65536-0" + std::string(2, '\0');
    ASSERT_GT(addresses.size(), tail.size());
    EXPECT_EQ(tail, addresses.substr(addresses.size() - tail.size()));
}

// A text column keeps one average character free before the next column, in the pixels of the
// list's font: for 7 pixels (the 9-point dialog font) and 6 pixels (8 points) alike.
TEST(RouterFormat, CutTextColumnsEndOneAverageCharacterBeforeTheNextColumn) {
    const struct {
        int averageCharWidth;
        int manufacturer, nickname, phone;
    } kCases[] = {{7, 150, 105, 101}, {6, 129, 90, 87}, {0, 0, 0, 0}};
    for (const auto& c : kCases) {
        EXPECT_EQ(c.manufacturer, ColumnCutLimit(4, c.averageCharWidth)) << c.averageCharWidth;
        EXPECT_EQ(c.nickname, ColumnCutLimit(5, c.averageCharWidth)) << c.averageCharWidth;
        EXPECT_EQ(c.phone, ColumnCutLimit(6, c.averageCharWidth)) << c.averageCharWidth;
    }
    EXPECT_EQ(0, ColumnCutLimit(0, 7));
    EXPECT_EQ(0, ColumnCutLimit(kWanTabStopCount, 7));
}

TEST(RouterFormat, ListLinesAlignTheNumbersAndCutTheTextColumns) {
    ControllerEntry e = Entry(1, 1, 2, 2);
    strcpy(e.manufacturer, "Varnek Systems ISDN S0 card");
    EXPECT_EQ("-->\tCAPI1\t  1\t 2/ 2\tVarnek Systems ISDN S0 card\t\t0\t",
              ControllerListLine(e, false, 7, FourPixels, nullptr));

    e.enabled = 0;
    e.controller = 12;
    e.channels = 30;
    // Cut to the longest beginning below the limit: 37 of 4 pixels for 150, 26 for 105, 25 for 101.
    strcpy(e.manufacturer, "0123456789012345678901234567890123456789ABCDEF");
    strcpy(e.nickname, "abcdefghijklmnopqrstuvwxyz0123");
    strcpy(e.phone, "0049301234567890123456789012345");
    EXPECT_EQ(std::string("\tCAPI1\t 12\t 0/30\t") + "0123456789012345678901234567890123456" + "\t" +
                  "abcdefghijklmnopqrstuvwxyz" + "\t" + "0049301234567890123456789" + "\t",
              ControllerListLine(e, false, 7, FourPixels, nullptr));

    X31Settings x31;
    e.x31 = &x31;
    e.nickname[0] = e.manufacturer[0] = '\0';
    EXPECT_EQ("\tCAPI1\t 12\t 0/30\t\t\t0049301234567890123456789\t",
              ControllerListLine(e, false, 7, FourPixels, nullptr));
    x31.enabled = 1;
    EXPECT_EQ("\tCAPI1\t 12\t 0/30\t\t\t0049301234567890123456789\tx",
              ControllerListLine(e, false, 7, FourPixels, nullptr));
    e.capiPlus = 1;
    EXPECT_EQ("\tCAPI1\t 12\t 0/30\t\t\tleased line\t", ControllerListLine(e, false, 7, FourPixels, nullptr));
    EXPECT_EQ("\tCAPI1\t 12\t 0/30\t\t\tFestverbindung\t", ControllerListLine(e, true, 7, FourPixels, nullptr));
}

TEST(RouterFormat, OnlyTeiOneToSixtyThreeNamesARecord) {
    const struct {
        const char* name;
        uint32_t tei;
    } cases[] = {{"TEI5", 5},  {"TEI12", 12}, {"tei63", 63}, {"Tei1", 1},  {"TEI05", 5}, {"TEI", 0},  {"TEI0", 0},
                 {"TEI64", 0}, {"TEI100", 0}, {"TEIX", 0},   {"TEI1a", 0}, {"XTEI5", 0}, {"TE15", 0}, {"", 0}};
    for (const auto& c : cases) EXPECT_EQ(c.tei, TeiOfSubkeyName(c.name)) << c.name;
    EXPECT_EQ(0u, TeiOfSubkeyName(nullptr));
}

TEST(RouterFormat, FieldSeparatorsAreFound) {
    EXPECT_TRUE(HasFieldSeparator("Zentrale;2"));
    EXPECT_TRUE(HasFieldSeparator(";"));
    EXPECT_FALSE(HasFieldSeparator("Zentrale, Berlin"));
    EXPECT_FALSE(HasFieldSeparator(""));
    EXPECT_FALSE(HasFieldSeparator(nullptr));
}

TEST(RouterCapiMessage, RequestsHaveTheirExactBytes) {
    uint8_t query[kCapiQuerySize];
    BuildParamsQuery(3, query);
    const uint8_t expectedQuery[30] = {26, 0, 0, 0, 0x18, 0, 1, 0, 0, 0, 0, 0, 0,
                                       0,  0, 0, 3, 2,    0, 0, 0, 0, 0, 0, 4, 0};
    EXPECT_EQ(Bytes(expectedQuery, 30), Bytes(query, 30));

    uint8_t set[kCapiSetSize];
    BuildParamsSet(1, 0x010F, 0x42, set);
    const uint8_t expectedSet[26] = {26, 0, 0, 0, 0x18, 0, 1, 0, 0, 0,    0, 0,    0,
                                     0,  0, 0, 1, 2,    4, 0, 0, 0, 0x0F, 1, 0x42, 0};
    EXPECT_EQ(Bytes(expectedSet, 26), Bytes(set, 26));
}

TEST(RouterCapiMessage, OnlyAConfirmationOfThirtyBytesWithStatusZeroIsAccepted) {
    const struct {
        size_t length;
        uint8_t command, subcommand;
        uint16_t status;
        bool accepted;
    } cases[] = {{30, 0x18, 0x01, 0, true},  {30, 0x18, 0x01, 1, false}, {30, 0x18, 0x01, 0x100, false},
                 {29, 0x18, 0x01, 0, false}, {31, 0x18, 0x01, 0, false}, {180, 0x18, 0x01, 0, false},
                 {30, 0x18, 0x00, 0, false}, {30, 0x19, 0x01, 0, false}, {0, 0x18, 0x01, 0, false}};
    for (const auto& c : cases) {
        uint8_t answer[kCapiAnswerSize] = {};
        answer[4] = c.command;
        answer[5] = c.subcommand;
        answer[22] = 0x0F;
        answer[24] = static_cast<uint8_t>(c.status);
        answer[25] = static_cast<uint8_t>(c.status >> 8);
        uint32_t protocol = 99, flags = 99;
        EXPECT_EQ(c.accepted, AcceptConfirmation(answer, c.length, &protocol, &flags))
            << c.length << " " << int(c.command) << " " << int(c.subcommand) << " " << c.status;
        EXPECT_EQ(c.accepted ? 0u : 99u, protocol);
        EXPECT_EQ(c.accepted ? 15u : 99u, flags);
    }
}

TEST(RouterCapiMessage, NumbersAreDecimalOrHexadecimal) {
    const struct {
        const char* text;
        uint32_t value;
    } cases[] = {{"15", 15},       {"0x0F", 15}, {"0X1f", 31}, {"010", 10}, {"12abc", 12},
                 {" 7", 7},        {"abc", 0},   {"", 0},      {"0x", 0},   {"4294967295", 4294967295u},
                 {"0xFFFF", 65535}};
    for (const auto& c : cases) EXPECT_EQ(c.value, ParseCapiNumber(c.text)) << c.text;
    EXPECT_EQ(0u, ParseCapiNumber(nullptr));
}

}  // namespace
