// The text rules of the MSN/EAZ, default protocols and incoming-caller pages that need no dialog:
// the number rule, MSNEAZ strings, stored default protocols, caller.dat lines and entries, and the
// RING: records of the driver's log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rasconfig/caller_list.h"
#include "rasconfig/msneaz_table.h"
#include "rasconfig/phone_number.h"

namespace {

using Lines = std::vector<std::string>;

TEST(RasconfigListRules, NumbersAreDigitsAndFewSigns) {
    for (const char* good : {"0", "+49(30)123-45/6", "030.1234", "()+-./", "0123456789"})
        EXPECT_TRUE(IsPhoneNumber(good)) << good;
    for (const char* bad : {"", "12 3", "+49 (30) 123-45/6", "12a", "12*", "#31", "1,2", "1\t2", "1^2"})
        EXPECT_FALSE(IsPhoneNumber(bad)) << bad;
    EXPECT_FALSE(IsPhoneNumber(nullptr));
}

TEST(RasconfigListRules, MsnEazStringsSplitAtTheirLastCaret) {
    const struct {
        std::string stored;
        const char* number;  // null: left out
        const char* protocol;
    } cases[] = {
        {"123", "123", "<default>"},          {"456^b_x75", "456", "X75"},      {"456^x75", "456", "X75"},
        {"789^B_raw", "789", "RAW"},          {"1^B_V120", "1", "V120"},        {"12^34^B_HDLC", "12^34", "HDLC"},
        {"5^B_<Default>", "5", "<default>"},  {"5^", "5", "<default>"},         {"5^B_", "5", "<default>"},
        {"abc^b_v110", "ABC", "V110"},        {"^B_X75", nullptr, nullptr},     {"", nullptr, nullptr},
        {"^", nullptr, nullptr},              {"5^B_ISDN", nullptr, nullptr},   {"5^XB_HDLC", nullptr, nullptr},
        {std::string("5\0" "6^B_X75", 8), nullptr, nullptr},
    };
    for (const auto& c : cases) {
        MsnEazEntry entry = {"unchanged", nullptr};
        const bool taken = ParseMsnEazString(c.stored.data(), c.stored.size(), &entry);
        EXPECT_EQ(c.number != nullptr, taken) << c.stored;
        if (!taken || !c.number) continue;
        EXPECT_EQ(c.number, entry.number) << c.stored;
        EXPECT_STREQ(c.protocol, entry.protocol) << c.stored;
    }
}

TEST(RasconfigListRules, StoredDefaultProtocolsCheckOneButtonOrNone) {
    const struct {
        const char* stored;
        ProtocolButton button;
    } cases[] = {
        {"", ProtocolButton::Hdlc},        {"B_HDLC", ProtocolButton::Hdlc}, {"b_raw", ProtocolButton::Hdlc},
        {"B_V120", ProtocolButton::Hdlc},  {"b_x75", ProtocolButton::X75},   {"B_V110", ProtocolButton::V110},
        {"B_X75_V110", ProtocolButton::X75}, {"V110HDLC", ProtocolButton::Hdlc}, {"B_ISDN", ProtocolButton::None},
        {"X.75", ProtocolButton::None},
    };
    for (const auto& c : cases) EXPECT_EQ(c.button, StoredProtocolButton(c.stored)) << c.stored;
    EXPECT_EQ(ProtocolButton::Hdlc, StoredProtocolButton(nullptr));
}

TEST(RasconfigListRules, CallerFileLinesEndAtEveryRunOfCrAndLf) {
    const std::string longLine(300, 'x');
    const std::string longName = "-->\t301\t" + std::string(300, 'n');
    const std::string longNumber = "-->\t" + std::string(300, '1') + "\tName";
    // The second TAB is the entry's 255th character: mark, number and TAB stay, the name goes.
    const std::string lastTab = "   \t" + std::string(250, '2') + "\t" + std::string(20, 'n');
    const struct {
        std::string text;
        Lines lines;
        size_t cut, leftOut;
    } cases[] = {
        {"", {}, 0, 0},
        {"\r\n\n\r", {}, 0, 0},
        {"-->\t1\tA\r\n   \t2\tB\r\n", {"-->\t1\tA", "   \t2\tB"}, 0, 0},
        {"a\n\nb\r\r\nc", {"a", "b", "c"}, 0, 0},
        {"only", {"only"}, 0, 0},
        {std::string(255, 'y') + "\r\n", {std::string(255, 'y')}, 0, 0},
        // A long line without a name to cut would lose its number, or what the driver takes for one.
        {longLine + "\r\n" + longLine + "\nz", {"z"}, 0, 2},
        {longName + "\r\n" + longNumber + "\r\n" + lastTab + "\r\n-->\t5\tE",
         {longName.substr(0, 255), lastTab.substr(0, 255), "-->\t5\tE"}, 2, 1},
        {"-->\t" + std::string(260, '7'), {}, 0, 1},
        {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}, 0, 0},
    };
    for (const auto& c : cases) {
        size_t cut = 99, leftOut = 99;
        EXPECT_EQ(c.lines, SplitCallerText(c.text.data(), c.text.size(), &cut, &leftOut)) << c.text;
        EXPECT_EQ(c.cut, cut) << c.text;
        EXPECT_EQ(c.leftOut, leftOut) << c.text;
    }
    EXPECT_EQ("   \t" + std::string(250, '2') + "\t", lastTab.substr(0, 255));
    EXPECT_TRUE(SplitCallerText(nullptr, 10).empty());

    EXPECT_EQ("-->\t1\tA\r\n\r\n", CallerFileText({"-->\t1\tA", ""}));
    EXPECT_EQ("b\r\n", CallerFileText({std::string(256, 'a'), "b"})) << "an entry too long for the driver";
}

TEST(RasconfigListRules, EntriesKeepMarkNumberAndNameApart) {
    std::string number, name;
    EXPECT_TRUE(CallerEntryNumber("-->\t301\tAlice", &number));
    EXPECT_TRUE(CallerEntryName("-->\t301\tAlice\tSmith", &name));
    EXPECT_EQ("301", number);
    EXPECT_EQ("Alice\tSmith", name);
    EXPECT_FALSE(CallerEntryNumber("-->\t301", &number));
    EXPECT_FALSE(CallerEntryName("301", &name));

    const std::string tooLong = std::string(kCallerEntryMax, 'n');
    const struct {
        std::string entry;
        std::string checked, unchecked, toggled;
    } marks[] = {
        {"-->\t1\tA", "-->\t1\tA", "   \t1\tA", "   \t1\tA"},
        {"   \t1\tA", "-->\t1\tA", "   \t1\tA", "-->\t1\tA"},
        {"12", "-->\t12", "   \t12", "-->\t12"},
        {"123456\tX", "-->\t123456\tX", "   \t123456\tX", "-->\t123456\tX"},
        {"-->", "-->\t-->", "   \t-->", "-->\t-->"},
        {"abc\t1\tA", "-->\tabc\t1\tA", "   \tabc\t1\tA", "-->\tabc\t1\tA"},
        {tooLong, "-->\t" + tooLong.substr(0, kCallerEntryMax - 4), "   \t" + tooLong.substr(0, kCallerEntryMax - 4),
         "-->\t" + tooLong.substr(0, kCallerEntryMax - 4)},
    };
    for (const auto& m : marks) {
        EXPECT_EQ(m.checked, MarkedEntry(m.entry, true)) << m.entry;
        EXPECT_EQ(m.unchecked, MarkedEntry(m.entry, false)) << m.entry;
        EXPECT_EQ(m.toggled, ToggledEntry(m.entry)) << m.entry;
    }

    const struct {
        std::string entry, name;
        const char* renamed;  // null: not changed
    } renames[] = {
        {"-->\t1\tOld", "New", "-->\t1\tNew"},
        {"   \t1\t", "Bob", "   \t1\tBob"},
        {"-->\t1\tA\tB", "C", "-->\t1\tC"},
        {"-->\t1", "x", nullptr},
        {"1", "x", nullptr},
    };
    for (const auto& r : renames) {
        std::string renamed = "unchanged";
        EXPECT_EQ(r.renamed != nullptr, RenamedEntry(r.entry, r.name, &renamed)) << r.entry;
        EXPECT_EQ(r.renamed ? r.renamed : "unchanged", renamed) << r.entry;
    }
    std::string renamed;
    ASSERT_TRUE(RenamedEntry("-->\t1\tA", std::string(300, 'b'), &renamed));
    EXPECT_EQ(kCallerEntryMax, renamed.size());
    EXPECT_EQ(0u, renamed.find("-->\t1\tbbb"));
}

TEST(RasconfigListRules, ANewCallerKeepsItsNumberAndMarkAndLosesNameWhereItMust) {
    const std::string fits(kCallerNumberMax, '1'), overlong(kCallerNumberMax + 1, '1');
    EXPECT_EQ(NewCallerCheck::Empty, CheckNewCaller(""));
    EXPECT_EQ(NewCallerCheck::Invalid, CheckNewCaller("12 3"));
    EXPECT_EQ(NewCallerCheck::Invalid, CheckNewCaller(std::string("1\0" "2", 3)));
    EXPECT_EQ(NewCallerCheck::Good, CheckNewCaller("+49(30)123-45"));
    EXPECT_EQ(NewCallerCheck::Good, CheckNewCaller(fits));
    EXPECT_EQ(NewCallerCheck::TooLong, CheckNewCaller(overlong));

    EXPECT_EQ("-->\t301\tAlice", NewCallerEntry("301", "Alice"));
    EXPECT_EQ("-->\t301\t", NewCallerEntry("301", ""));
    EXPECT_EQ("-->\t301\ta b", NewCallerEntry("301", "a\nb"));
    const std::string cut = NewCallerEntry("301", std::string(300, 'n'));
    EXPECT_EQ(kCallerEntryMax, cut.size());
    EXPECT_EQ(0u, cut.find("-->\t301\tnnn"));
    EXPECT_EQ("-->\t" + fits + "\t", NewCallerEntry(fits, "dropped"));

    CallerList list({"-->\t301\tAlice", "   \t302\tBob", "303"});
    EXPECT_EQ(1, list.find("302"));
    EXPECT_EQ(-1, list.find("303")) << "an entry without its TABs has no number";
    EXPECT_EQ(-1, list.find("30"));
    EXPECT_EQ(3u, list.collect({"302", "304", "305", "304", "301", "303"}));
    EXPECT_EQ((Lines{"-->\t301\tAlice", "   \t302\tBob", "303", "-->\t304\t", "-->\t305\t", "-->\t303\t"}),
              list.entries());
    EXPECT_EQ(0u, list.collect({"304", "305"}));
}

TEST(RasconfigListRules, RingRecordsGiveTheCallersNumbers) {
    const std::string overlong = "RING: FROM=" + std::string(kCallerNumberMax + 1, '9') + " TO=1\n";
    const std::string longest = "RING: FROM=" + std::string(kCallerNumberMax, '8') + " TO=1\n";
    const struct {
        std::string log;
        Lines numbers;
    } cases[] = {
        {"", {}},
        {"x RING: FROM=301 TO=4711\r\ny RING: FROM=302 TO=4711\r\nz RING: FROM=302 TO=4711\r\n", {"301", "302", "302"}},
        {"ring: from=0301abc to=1\n", {"0301ABC"}},
        {"RING: FROM=301\n", {}},
        {"RING: FROM=301\nRING: FROM=302 TO=1\n", {"302"}},
        {"RING: FROM=301\r\nRING: FROM=302 TO=1\n", {"302"}},
        {"RING: FROM=3\t01 TO=1\nRING: FROM=302 TO=1\n", {"302"}},
        {"RING: FROM= TO=1\nRING: FROM=302 TO=1\n", {"302"}},
        {"FROM=301 TO=1\n", {}},
        {"RING: TO=1 FROM=301 TO=2\n", {"301"}},
        {"RING: FROM=301 TO=1 FROM=302 TO=2\n", {"301"}},
        {"RING:FROM=301 TO=1", {"301"}},
        {"RING: FROM=301 TO=", {"301"}},
        {"RING: FROM=301 TO=1 RING: FROM", {"301"}},
        {"RING: FROM=+49 (30) 1 TO=1\n", {"+49 (30) 1"}},
        {overlong + "RING: FROM=302 TO=1\n", {"302"}},
        {longest, {std::string(kCallerNumberMax, '8')}},
        {std::string("RING: FROM=301 TO=1\n\0RING: FROM=302 TO=1\n", 40), {"301"}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.numbers, ScanRingNumbers(c.log.data(), c.log.size())) << c.log;

    std::string many;
    for (int i = 0; i < 600; ++i) many += "RING: FROM=" + std::to_string(1000 + i) + " TO=1\n";
    const Lines numbers = ScanRingNumbers(many.data(), many.size());
    ASSERT_EQ(kRingNumbersMax, numbers.size());
    EXPECT_EQ("1000", numbers.front());
    EXPECT_EQ("1511", numbers.back());
    EXPECT_TRUE(ScanRingNumbers(nullptr, 5).empty());
}

}  // namespace
