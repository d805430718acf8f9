// Byte-string helpers with the behaviour the IP address fields and others rely on.
#include <gtest/gtest.h>

#include <string>

#include "common/bytestring.h"

namespace {

std::string Text(DWORD value, unsigned base) {
    char out[40];
    return NumberToText(value, base, out, sizeof out);
}

TEST(ByteStringTest, DecimalReadTakesLeadingDigitsOnly) {
    EXPECT_EQ(192u, ReadDecimal("192.168.0.1"));
    EXPECT_EQ(0u, ReadDecimal(".5"));
    EXPECT_EQ(0u, ReadDecimal(""));
    EXPECT_EQ(0u, ReadDecimal(" 12"));
    EXPECT_EQ(4294967295u, ReadDecimal("4294967295"));
    EXPECT_EQ(4294967295u, ReadDecimal("99999999999999"));
}

TEST(ByteStringTest, NumberToTextInEveryBase) {
    EXPECT_EQ("0", Text(0, 10));
    EXPECT_EQ("255", Text(255, 10));
    EXPECT_EQ("FF", Text(255, 16));
    EXPECT_EQ("11111111", Text(255, 2));
    EXPECT_EQ("Z", Text(35, 36));
    EXPECT_EQ("11111111111111111111111111111111", Text(0xFFFFFFFFu, 2));
    EXPECT_EQ("", Text(5, 37));
    EXPECT_EQ("", Text(5, 1));
    char tiny[3];
    EXPECT_STREQ("", NumberToText(1000, 10, tiny, sizeof tiny));
}

TEST(ByteStringTest, Searches) {
    const char* text = "abc.def";
    EXPECT_EQ(text + 3, FindCharacter(text, '.'));
    EXPECT_EQ(nullptr, FindCharacter("", '.'));
    EXPECT_EQ(nullptr, FindCharacter(text, 'x'));

    EXPECT_EQ(text + 4, FindBounded(text, 7, "def"));
    EXPECT_EQ(nullptr, FindBounded(text, 6, "def"));
    EXPECT_EQ(text, FindBounded(text, 0, ""));
    const char withNul[] = {'a', 'b', '\0', 'c', 'd'};
    EXPECT_EQ(nullptr, FindBounded(withNul, sizeof withNul, "cd"));

    EXPECT_EQ(text + 4, FindCaseBlind(text, "DeF"));
    EXPECT_EQ(nullptr, FindCaseBlind(text, "xyz"));
    EXPECT_EQ(text, FindCaseBlind(text, ""));
}

TEST(ByteStringTest, BoundedCompareDoesNotStopAtNul) {
    EXPECT_EQ(0, CompareBounded("a\0x", "a\0x", 3));
    EXPECT_NE(0, CompareBounded("a\0x", "a\0y", 3));
    EXPECT_EQ(0, CompareBounded("abc", "xyz", 0));
    EXPECT_EQ(-1, CompareBounded(nullptr, "a", 1));
    EXPECT_EQ(-1, CompareBounded("a", nullptr, 1));
    EXPECT_EQ(-1, CompareBounded("a", "b", 1));
    EXPECT_EQ(1, CompareBounded("b", "a", 1));
}

}  // namespace
