// The plain functions of the router configuration: addresses and their proposals, the random and
// IPX numbers, the keyboard filters, the scrambled texts, entry numbers and the records.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "router/first_link_records.h"
#include "router/ip_address.h"
#include "router/ipipx_keys.h"
#include "router/ipipx_numbers.h"
#include "router/lan_config_lines.h"

namespace {

IpAddressValue Ip(const char* text) {
    IpAddressValue value;
    EXPECT_TRUE(value.Parse(text)) << text;
    return value;
}

std::string Text(IpAddressValue value) { return value.Format(); }

TEST(RouterAddressTest, ParseReadsFourGroupsTheWayTheRuntimeDoes) {
    const struct {
        const char* text;
        const char* parsed;  // null: fails
    } cases[] = {
        {"192.168.0.5", "192.168.0.5"}, {"1x.2.3.4", "1.2.3.4"},   {"010.001.0.7", "10.1.0.7"},
        {"1.2.3.4.5", "1.2.3.4"},       {"1.2.3.4 tail", "1.2.3.4"}, {"1..3.4", "1.0.3.4"},
        {"255.255.255.255", "255.255.255.255"}, {"1.2.3.", "1.2.3.0"},
        {"1.2.3", nullptr},             {"256.1.1.1", nullptr},     {"1.2.3.999999999999", nullptr},
        {"", nullptr},                  {"abc", nullptr},
    };
    for (const auto& c : cases) {
        IpAddressValue value = IpAddressValue::FromBits(0x01020304u);
        EXPECT_EQ(c.parsed != nullptr, value.Parse(c.text)) << c.text;
        EXPECT_EQ(c.parsed ? c.parsed : "1.2.3.4", Text(value)) << c.text << ": a failed parse leaves the value";
    }
}

TEST(RouterAddressTest, ClassIncrementPrivateAndLength) {
    EXPECT_EQ("255.0.0.0", Text(Ip("127.0.0.1").ClassMask()));
    EXPECT_EQ("255.255.0.0", Text(Ip("128.0.0.1").ClassMask()));
    EXPECT_EQ("255.255.255.0", Text(Ip("223.1.1.1").ClassMask()));
    EXPECT_EQ("0.0.0.0", Text(Ip("224.1.1.1").ClassMask()));

    const struct {
        const char* from;
        const char* to;
    } increments[] = {{"192.168.1.255", "192.168.2.0"}, {"10.0.255.255", "10.1.0.0"},
                      {"10.255.255.255", "10.0.0.0"},   {"1.2.3.4", "1.2.3.5"}};
    for (const auto& c : increments) {
        IpAddressValue value = Ip(c.from);
        value.Increment();
        EXPECT_EQ(c.to, Text(value)) << c.from;
    }

    for (const char* p : {"10.0.0.0", "172.16.0.1", "172.31.255.1", "192.168.7.7"}) EXPECT_TRUE(Ip(p).IsPrivate()) << p;
    for (const char* p : {"11.0.0.1", "172.15.0.1", "172.32.0.1", "192.169.0.1"}) EXPECT_FALSE(Ip(p).IsPrivate()) << p;
    EXPECT_EQ(11u, Ip("192.168.0.5").TextLength());
    EXPECT_EQ(7u, Ip("1.2.3.4").TextLength());
    EXPECT_TRUE(Ip("0.0.0.0").IsZero());
}

TEST(RouterAddressTest, NetworkListGrowsByDoubling) {
    NetworkList list;
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(list.Add(IpAddressValue::FromBits(0x0A000001u + i), Ip("255.0.0.0")));
    EXPECT_EQ(40u, list.Count());
    EXPECT_EQ(64u, list.Capacity());
    EXPECT_EQ("10.0.0.40", Text(list.Address(39)));
}

struct LanNetwork {
    const char* address;
    const char* mask;
};

struct ProposalCase {
    const char* lan;
    LanNetwork networks[3];
    const char* address;  // null: no proposal
    const char* mask;
};

TEST(RouterAddressTest, ProposalsOfTheWorkedExamples) {
    const ProposalCase cases[] = {
        {"192.168.0.5", {{"192.168.0.5", "255.255.255.0"}}, "192.168.1.1", "255.255.255.0"},
        {"10.0.0.1", {{"10.0.0.1", "255.0.0.0"}}, "10.1.1.1", "255.255.255.0"},
        {"10.1.1.7", {{"10.1.1.7", "255.255.255.0"}, {"10.2.2.2", "255.0.0.0"}}, "10.1.2.1", "255.255.255.0"},
        {"1.2.3.4", {{"1.2.3.4", "255.0.0.0"}}, nullptr, nullptr},
        {"130.10.20.30", {{"130.10.20.30", "255.255.0.0"}}, "172.16.111.1", "255.255.0.0"},
        // The proposal's own mask decides: 172.16.111.1/16 holds 172.16.5.5 whatever that one's mask.
        {"130.10.20.30", {{"130.10.20.30", "255.255.0.0"}, {"172.16.5.5", "255.255.255.0"}}, "172.16.111.1",
         "255.255.255.0"},
        // Template choice by first octet and length.
        {"100.100.100.100", {}, "192.168.111.111", "255.255.255.0"},
        {"1.100.100.100", {}, "10.111.111.11", "255.0.0.0"},
        {"130.1.1.1", {}, "10.11.1.1", "255.0.0.0"},
        {"130.1.1.10", {}, "172.16.1.1", "255.255.0.0"},
        {"130.100.100.100", {}, "192.168.111.111", "255.255.255.0"},
        {"200.1.1.1", {}, "10.11.1.1", "255.0.0.0"},
        {"200.1.1.10", {}, "172.16.1.1", "255.255.0.0"},
        {"200.1.1.100", {}, "192.168.1.1", "255.255.255.0"},
        {"200.200.200.200", {}, "192.168.111.111", "255.255.255.0"},
        {"0.1.1.100", {}, nullptr, nullptr},
        {"127.0.0.100", {}, nullptr, nullptr},
        {"224.0.0.100", {}, nullptr, nullptr},
    };
    for (const ProposalCase& c : cases) {
        NetworkList list;
        for (const LanNetwork& n : c.networks)
            if (n.address) list.Add(Ip(n.address), Ip(n.mask));
        IpAddressValue address = Ip("9.9.9.9"), mask = Ip("9.9.9.9");
        ASSERT_EQ(c.address != nullptr, ProposeIsdnAddress(Ip(c.lan), list, &address, &mask)) << c.lan;
        if (!c.address) continue;
        EXPECT_EQ(c.address, Text(address)) << c.lan;
        EXPECT_EQ(c.mask, Text(mask)) << c.lan;
    }
}

TEST(RouterAddressTest, CountingTheThirdOctetEndsAtALongerTextOrOutsideThePrivateRange) {
    // 10.1.1.0 to 10.1.9.0 in use: 10.1.10.1 would be one character longer.
    NetworkList list;
    list.Add(Ip("10.0.0.1"), Ip("255.0.0.0"));
    for (int third = 1; third <= 9; ++third) list.Add(IpAddressValue::FromBits(0x0A010005u | third << 8), Ip("255.255.255.0"));
    IpAddressValue address, mask;
    EXPECT_FALSE(ProposeIsdnAddress(Ip("10.0.0.1"), list, &address, &mask));

    // 10.1.1.x to 10.1.8.x in use: the ninth leaves room.
    NetworkList room;
    room.Add(Ip("10.0.0.1"), Ip("255.0.0.0"));
    for (int third = 1; third <= 8; ++third) room.Add(IpAddressValue::FromBits(0x0A010005u | third << 8), Ip("255.255.255.0"));
    ASSERT_TRUE(ProposeIsdnAddress(Ip("10.0.0.1"), room, &address, &mask));
    EXPECT_EQ("10.1.9.1", Text(address));
}

TEST(RouterAddressTest, UsableLanAddresses) {
    EXPECT_TRUE(IsUsableLanAddress(Ip("192.168.0.5"), Ip("255.255.255.0")));
    EXPECT_FALSE(IsUsableLanAddress(Ip("192.168.0.255"), Ip("255.255.0.0")));
    EXPECT_FALSE(IsUsableLanAddress(Ip("192.168.0.0"), Ip("255.255.255.0")));
    EXPECT_FALSE(IsUsableLanAddress(Ip("0.0.0.0"), Ip("0.0.0.0")));
    EXPECT_FALSE(IsUsableLanAddress(Ip("127.0.0.1"), Ip("255.0.0.0")));
    EXPECT_FALSE(IsUsableLanAddress(Ip("230.1.1.1"), Ip("0.0.0.0")));
}

TEST(RouterIpxNumberTest, RandomSequenceAndProposedNumbers) {
    // From state 0 the generator gives these (state, value) pairs.
    const uint32_t expected[][2] = {{1, 0}, {31415822, 56738}, {40519863, 137307}, {62952524, 243477}};
    RandomNumber random;
    for (const auto& e : expected) {
        EXPECT_EQ(e[1], random.Next());
        EXPECT_EQ(e[0], random.State());
    }
    RandomNumber fresh;
    EXPECT_EQ(0xdda2u, ProposeIpxNumber(&fresh));
    EXPECT_EQ(0x185eb715u, ProposeIpxNumber(&fresh));
    // A seed above the modulus (the tick count of a machine up for days) goes through the exact product.
    RandomNumber seeded;
    seeded.Seed(123456789u);
    EXPECT_EQ(0x19630d40u, ProposeIpxNumber(&seeded));
    EXPECT_EQ(200171u, seeded.State());
}

TEST(RouterIpxNumberTest, TextForms) {
    char text[16];
    FormatIpxNumber(0xABCDEF12u, text, sizeof text);
    EXPECT_STREQ("abcdef12", text);
    FormatIpxNumber(0x1Au, text, sizeof text);
    EXPECT_STREQ("1a", text);
    const struct {
        const char* text;
        uint32_t parsed;
        uint32_t stored;
    } cases[] = {{"", 0, 1}, {"zz", 0, 1}, {"0", 0, 1}, {"1A2b", 0x1A2B, 0x1A2B}, {"ffffffff", 0xFFFFFFFF, 0xFFFFFFFF},
                 {"12x", 0x12, 0x12}, {"123456789", 0x12345678, 0x12345678}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.parsed, ParseIpxNumber(c.text)) << c.text;
        EXPECT_EQ(c.stored, IpxNumberToStore(c.text)) << c.text;
    }
}

TEST(RouterKeyFilterTest, IpxFieldTakesHexadecimalDigitsUpToEight) {
    const struct {
        const char* text;
        size_t start, end;
        char key;
        bool accepted;
    } cases[] = {
        {"", 0, 0, 'a', true},         {"", 0, 0, 'F', true},          {"", 0, 0, '9', true},
        {"", 0, 0, 'g', false},        {"", 0, 0, '.', false},         {"", 0, 0, ' ', false},
        {"1234567", 7, 7, '8', true},  {"12345678", 8, 8, '9', false}, {"12345678", 0, 8, '9', true},
        {"12345678", 3, 4, 'a', true}, {"12345678", 8, 8, '\b', true}, {"", 0, 0, 0x16, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.accepted, IpxFieldAcceptsKey(c.text, c.start, c.end, c.key)) << c.text << " + " << c.key;
}

TEST(RouterKeyFilterTest, AddressFieldsTakeOnlyBeginningsOfDottedAddresses) {
    const struct {
        const char* text;
        size_t start, end;
        char key;
        bool accepted;
    } cases[] = {
        {"", 0, 0, '1', true},                  {"", 0, 0, '.', false},
        {"192", 3, 3, '.', true},               {"192.", 4, 4, '.', false},
        {"25", 2, 2, '5', true},                {"25", 2, 2, '6', false},
        {"192.168.0.1", 11, 11, '.', false},    {"192.168.0.1", 11, 11, '0', true},
        {"192.168.0.10", 12, 12, '0', true},    {"192.168.0.100", 13, 13, '0', false},
        {"192.168.0.1", 0, 3, '1', true},       {"192.168.0.1", 0, 4, '1', false},
        {"192.168.0.1", 3, 4, '5', false},      {"192.168.0.1", 4, 4, 'x', false},
        {"192.168.0.1", 5, 5, '\b', true},      {"0000000000000001", 16, 16, '1', false},
        {"000000000000001", 15, 15, '1', true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.accepted, AddressFieldAcceptsKey(c.text, c.start, c.end, c.key))
            << c.text << " [" << c.start << "," << c.end << ") + " << c.key;
}

TEST(RouterFirstLinkTest, ScrambledTexts) {
    const struct {
        const char* input;
        const char* scrambled;
    } cases[] = {
        {"", ""},
        {"x", "i5"},
        {"abc", "oC\\["},
        {"abcd", "oC\\[Cg"},
        {"user", "jBX]FG"},
        {"geheim", "nc`PCQWj"},
        {"M\xFCller", "dJDTAaGU"},
        {"secret password 1234567890123", "kc`[FAGSQXF5o@9\\PYGg>Xd:4S@mGa?k0Kc]J@S"},
    };
    for (const auto& c : cases) {
        char out[64];
        ASSERT_TRUE(ScrambleText(c.input, kScrambleSeed, out, sizeof out)) << c.input;
        EXPECT_STREQ(c.scrambled, out) << c.input;
        for (const char* p = out; *p; ++p) EXPECT_TRUE(*p >= '0' && *p <= 'o') << c.input;
    }
    char small[4];
    EXPECT_FALSE(ScrambleText("abc", kScrambleSeed, small, sizeof small));
    EXPECT_STREQ("", small);
}

TEST(RouterFirstLinkTest, NextFreeNumberOfValueNames) {
    const struct {
        std::string names;  // each with its NUL; the list's own NUL is added
        uint32_t next;
    } cases[] = {
        {"", 1},
        {std::string("1\0" "3\0x\0", 6), 4},
        {std::string("007\0", 4), 8},
        {std::string("12abc\0" "9\0", 8), 13},
        {std::string("0\0", 2), 1},
        {std::string("name\0", 5), 1},
        // The largest 32-bit number leaves no larger one: the smallest free number follows.
        {std::string("4294967295\0" "1\0" "2\0", 15), 3},
        {std::string("99999999999999\0", 15), 1},
    };
    for (const auto& c : cases) {
        const std::string list = c.names + std::string(1, '\0');
        uint32_t next = 0;
        ASSERT_TRUE(NextFreeNumber(list.c_str(), &next)) << c.names;
        EXPECT_EQ(c.next, next) << c.names;
    }
}

TEST(RouterFirstLinkTest, RecordsFieldByField) {
    FirstLinkSettings settings;
    snprintf(settings.phone, sizeof settings.phone, "1234567");
    SetProtocol(&settings, "B_V110");
    snprintf(settings.user, sizeof settings.user, "abc");
    char record[kRecordSize];
    ASSERT_TRUE(BuildIsdnEntry(4, settings, record, sizeof record));
    EXPECT_STREQ("4,1234567^B_V110,1234567,10000,0x2008,,0,,-1,-1,2,0", record);
    SetProtocol(&settings, "B_X75");
    ASSERT_TRUE(BuildIsdnEntry(4, settings, record, sizeof record));
    EXPECT_STREQ("4,1234567^B_X75,1234567,10000,0x1008,,0,,-1,-1,2,0", record);
    SetProtocol(&settings, "");
    ASSERT_TRUE(BuildIsdnEntry(4, settings, record, sizeof record));
    EXPECT_STREQ("4,1234567,1234567,10000,0x8008,,0,,-1,-1,2,0", record);

    ASSERT_TRUE(BuildLinkEntry(7, settings, record, sizeof record));
    EXPECT_STREQ("Provider,1,7,0x2854,21610000,7200000,100,0,3,10000,0,0,2,300000,4294967295,0.0.0.0,Internet,,,"
                 "oC\\[,,10000,,,255",
                 record);
    ASSERT_TRUE(BuildDefaultRoute(7, record, sizeof record));
    EXPECT_STREQ("-1,7,1,1,0", record);

    for (const char* phone : {"0815,1", "0815^B_X75", ","}) EXPECT_FALSE(IsStorablePhoneNumber(phone)) << phone;
    for (const char* phone : {"", "0049 (30) 1234-567", "*99#"}) EXPECT_TRUE(IsStorablePhoneNumber(phone)) << phone;
}

TEST(RouterLanLinesTest, LinesAndControllerList) {
    char line[kLanLineSize];
    FormatLanLine(true, "EL59X1", "3Com", line, sizeof line);
    EXPECT_STREQ("-->\tEL59X1\t3Com", line);
    FormatLanLine(false, "E100B1", "", line, sizeof line);
    EXPECT_STREQ("\tE100B1\t", line);
    const std::string longName(127, 'N'), longDescription(127, 'D');
    FormatLanLine(true, longName.c_str(), longDescription.c_str(), line, sizeof line);
    EXPECT_EQ("-->\t" + longName + "\t" + longDescription, line);

    // Sixteen names of the full length fit with the list's own NUL.
    char list[kLanControllerListSize];
    size_t used = 0;
    for (int i = 0; i < 16; ++i) ASSERT_TRUE(AppendControllerName(list, sizeof list, &used, longName.c_str())) << i;
    EXPECT_EQ(kLanControllerListSize - 1, used);
    EXPECT_EQ('\0', list[used]);
    EXPECT_FALSE(AppendControllerName(list, sizeof list, &used, "X"));
    EXPECT_EQ(kLanControllerListSize - 1, used);
}

}  // namespace
