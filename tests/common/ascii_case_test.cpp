// The one case-blind comparison of the tool set: ASCII letters only, the same on every locale.
#include <gtest/gtest.h>

#include <cstring>

#include "common/ascii_case.h"

namespace {

struct CompareCase {
    const char* a;
    const char* b;
    bool equal;
    bool startsWith;  // a begins with b
    bool contains;    // a holds b
};

TEST(AsciiCaseTest, LettersOfEitherCaseMatchAndNothingElseDoes) {
    const CompareCase cases[] = {
        {"VrkLogSV", "VRKLOGSV", true, true, true},
        {"install", "INSTALL", true, true, true},
        {"INSTALLX", "INSTALL", false, true, true},
        {"INST", "INSTALL", false, false, false},
        {"xxSpEcIaLyy", "SPECIAL", false, false, true},
        {"Kamell Software GmbH Berlin", "KAMELL SOFTWARE GMBH", false, true, true},
        {"", "", true, true, true},
        {"abc", "", false, true, true},
        {"", "a", false, false, false},
        // Outside ASCII a byte is only itself: the locale's umlauts and its other letters do not fold.
        {"\xE4", "\xC4", false, false, false},
        {"R\xC4S", "r\xC4s", true, true, true},
        // Bit 0x20 alone is no letter case: "@" is not "`", "[" is not "{".
        {"@[", "`{", false, false, false},
    };
    for (const CompareCase& c : cases) {
        EXPECT_EQ(c.equal, EqualsIgnoringCase(c.a, c.b)) << c.a << " / " << c.b;
        EXPECT_EQ(c.equal, EqualsIgnoringCase(c.a, strlen(c.a), c.b)) << c.a << " / " << c.b;
        EXPECT_EQ(c.startsWith, StartsWithIgnoringCase(c.a, c.b)) << c.a << " / " << c.b;
        EXPECT_EQ(c.contains, ContainsIgnoringCase(c.a, c.b)) << c.a << " / " << c.b;
    }
    EXPECT_TRUE(EqualsIgnoringCase(nullptr, nullptr));
    EXPECT_FALSE(EqualsIgnoringCase("a", nullptr));
    EXPECT_FALSE(EqualsIgnoringCase(nullptr, "a"));
    // The first bytes of a line against a whole keyword.
    EXPECT_TRUE(EqualsIgnoringCase("section=x", 7, "SECTION"));
    EXPECT_FALSE(EqualsIgnoringCase("section=x", 6, "SECTION"));
}

TEST(AsciiCaseTest, TheBoundedSearchReadsPastNulsAndNeverPastTheLength) {
    const char text[] = {'x', '\0', 'r', 'i', 'n', 'g', ':', 'R', 'I', 'N', 'G'};
    EXPECT_EQ(2u, FindIgnoringCase(text, sizeof text, "RING:", 0));
    EXPECT_EQ(sizeof text, FindIgnoringCase(text, sizeof text, "RING:", 3));
    EXPECT_EQ(7u, FindIgnoringCase(text, sizeof text, "ring", 3));
    EXPECT_EQ(10u, FindIgnoringCase(text, 10, "RING", 3));
    EXPECT_EQ(5u, FindIgnoringCase(text, sizeof text, "", 5));
}

}  // namespace
