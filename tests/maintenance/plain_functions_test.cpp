// The plain functions of the maintenance library: the lines of the file lists and the choice of
// the SNMP agent's entry. The group order and the window titles are tested where they act.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "maintenance/file_list_lines.h"
#include "maintenance/snmp_agent_entry.h"

namespace {

TEST(MaintenanceListLines, LinesAreCutAtTheFirstEqualsSign) {
    struct Case {
        const char* line;
        ListLineKind kind;
        const char* value;
    } cases[] = {
        {"1=caller.dat", ListLineKind::kEntry, "caller.dat"},
        {"SECTION=DELETE VrkMpr Drivers", ListLineKind::kSection, "DELETE VrkMpr Drivers"},
        {"section=x", ListLineKind::kSection, "x"},
        {"SeCtIoN=a=b", ListLineKind::kSection, "a=b"},
        {"SECTIONS=x", ListLineKind::kEntry, "x"},
        {"SECTIO=x", ListLineKind::kEntry, "x"},
        {"=alone", ListLineKind::kEntry, "alone"},
        {"no equals sign", ListLineKind::kIgnored, nullptr},
        {"", ListLineKind::kIgnored, nullptr},
    };
    for (const Case& c : cases) {
        const ListLine parsed = ParseListLine(c.line);
        EXPECT_EQ(c.kind, parsed.kind) << c.line;
        if (c.value) {
            ASSERT_NE(nullptr, parsed.value) << c.line;
            EXPECT_STREQ(c.value, parsed.value) << c.line;
        }
    }
}

TEST(MaintenanceListLines, DeleteValuesLoseEverythingFromTheirLastComma) {
    struct Case {
        const char* value;
        const char* file;
        bool deferred;
    } cases[] = {
        {"caller.dat", "caller.dat", false},
        {"%SystemRoot%\\SYSTEM32\\DRIVERS\\VrkRas.SYS,REBOOT", "%SystemRoot%\\SYSTEM32\\DRIVERS\\VrkRas.SYS", true},
        {"a.dll,reboot", "a.dll", true},
        {"a.dll,ReBoOt", "a.dll", true},
        {"a.dll,REBOOTX", "a.dll", false},
        {"a.dll, REBOOT", "a.dll", false},
        {"a.dll,later", "a.dll", false},
        {"a,b.dll,REBOOT", "a,b.dll", true},
        {"a.dll,", "a.dll", false},
        {",REBOOT", "", true},
    };
    for (const Case& c : cases) {
        char file[64];
        bool deferred = !c.deferred;
        EXPECT_TRUE(ParseDeleteValue(c.value, file, sizeof file, &deferred)) << c.value;
        EXPECT_STREQ(c.file, file) << c.value;
        EXPECT_EQ(c.deferred, deferred) << c.value;
    }
    char small[8];
    bool deferred = true;
    EXPECT_FALSE(ParseDeleteValue("toolong.dll,REBOOT", small, sizeof small, &deferred));
    EXPECT_STREQ("", small);
}

TEST(MaintenanceListLines, MoveValuesSplitAtTheirFirstComma) {
    char source[32], target[32];
    EXPECT_TRUE(ParseMoveValue("FIREWALL.DAT,VrkMprFw.dat", source, sizeof source, target, sizeof target));
    EXPECT_STREQ("FIREWALL.DAT", source);
    EXPECT_STREQ("VrkMprFw.dat", target);
    // The target is all the rest, second comma included.
    EXPECT_TRUE(ParseMoveValue("a.dat,b,c.dat", source, sizeof source, target, sizeof target));
    EXPECT_STREQ("a.dat", source);
    EXPECT_STREQ("b,c.dat", target);
    EXPECT_FALSE(ParseMoveValue("nocomma.dat", source, sizeof source, target, sizeof target));
    EXPECT_FALSE(ParseMoveValue("a.dat,0123456789012345678901234567890123456789", source, sizeof source, target,
                                sizeof target));
}

std::string Section(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + '\0';
    return bytes + '\0';
}

TEST(MaintenanceListLines, TheWalkStopsAtTheFirstEmptyLineAndAtTheCut) {
    const std::string section = Section({"1=a.dll", "SECTION=More"}) + "2=never.dll" + std::string(2, '\0');
    size_t offset = 0;
    std::vector<std::string> walked;
    for (const char* line; (line = NextListLine(section.data(), section.size() - 1, &offset)) != nullptr;)
        walked.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"1=a.dll", "SECTION=More"}), walked);

    // A section cut in its third line: the walk ends with the second.
    const std::string full = Section({"1=first.dll", "2=second.dll", "3=C:\\x\\*.DLL"});
    const std::string cut = full.substr(0, 30) + std::string(2, '\0');
    const char* dropped = nullptr;
    const size_t whole = WholeSectionBytes(cut.data(), 30, 32, &dropped);
    offset = 0;
    walked.clear();
    for (const char* line; (line = NextListLine(cut.data(), whole, &offset)) != nullptr;) walked.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"1=first.dll", "2=second.dll"}), walked);
    EXPECT_EQ(whole, offset);
}

TEST(MaintenanceListLines, ASectionThatFilledTheBufferLosesItsLastLine) {
    // What the profile reader leaves in a 32-byte buffer for a longer section: 30 bytes and two
    // NULs, the last string cut off anywhere (here a mask cut to its folder).
    const std::string full = Section({"1=first.dll", "2=second.dll", "3=C:\\x\\*.DLL"});
    const std::string cut = full.substr(0, 30) + std::string(2, '\0');
    const char* dropped = nullptr;
    EXPECT_EQ(25u, WholeSectionBytes(cut.data(), 30, 32, &dropped));
    ASSERT_NE(nullptr, dropped);
    EXPECT_STREQ("3=C:\\", dropped);

    const std::string whole = Section({"1=a", "2=b"});
    EXPECT_EQ(whole.size() - 1, WholeSectionBytes(whole.data(), whole.size() - 1, 1024, &dropped));
    EXPECT_EQ(nullptr, dropped);

    std::string one = std::string(40, 'x');
    one.resize(32);
    one[30] = one[31] = '\0';
    EXPECT_EQ(0u, WholeSectionBytes(one.data(), 30, 32, &dropped));
    EXPECT_EQ(one.data(), dropped);
}

TEST(MaintenanceListLines, ASectionThatJustFitsIsToldFromACutOneByItsMeasure) {
    // 30 and 31 bytes of lines in a 32-byte buffer: the reader says 30 for both, and for a longer one.
    const std::string thirty = Section({"1=first.dll", "2=second.dll", "3=xd"});
    const std::string thirtyOne = Section({"1=first.dll", "2=second.dll", "3=x.d"});
    const std::string longer = Section({"1=first.dll", "2=second.dll", "3=x.dll"});
    ASSERT_EQ(31u, thirty.size());
    ASSERT_EQ(32u, thirtyOne.size());
    const struct {
        std::string buffer;
        size_t measured;
        size_t whole;
        const char* dropped;
    } cases[] = {
        {thirty + std::string(1, '\0'), 30, 30, nullptr},
        {thirtyOne, 31, 31, nullptr},
        {thirtyOne, 0, 25, "3=x.d"},                                     // not measured: taken for cut
        {longer.substr(0, 30) + std::string(2, '\0'), 33, 25, "3=x.d"},  // longer: cut indeed
    };
    for (const auto& c : cases) {
        const char* dropped = nullptr;
        EXPECT_EQ(c.whole, WholeSectionBytes(c.buffer.data(), 30, 32, &dropped, c.measured)) << c.measured;
        if (c.dropped) {
            ASSERT_NE(nullptr, dropped) << c.measured;
            EXPECT_STREQ(c.dropped, dropped);
        } else {
            EXPECT_EQ(nullptr, dropped) << c.measured;
        }
    }
}

struct AgentCase {
    const char* title;
    std::vector<std::pair<const char*, const char*>> values;  // name, text (null: not a readable REG_SZ)
    AgentAction action;
    const char* name;
};

TEST(MaintenanceSnmpAgent, TheEntryNeverOverwritesAValueAndNeverEntersTheAgentTwice) {
    const char* const now = kRouterAgentKey;
    const char* const old = kOldRouterAgentKey;
    const char* const other = "SOFTWARE\\Microsoft\\RFC1156Agent\\CurrentVersion";
    std::vector<std::pair<const char*, const char*>> full;
    static std::vector<std::string> names;
    names.clear();
    for (int i = 1; i <= 31; ++i) names.push_back(std::to_string(i));
    for (const std::string& n : names) full.push_back({n.c_str(), other});
    std::vector<std::pair<const char*, const char*>> fullAnd32 = full;
    fullAnd32.push_back({"32", other});
    fullAnd32.push_back({"33", nullptr});

    const AgentCase cases[] = {
        {"no values", {}, AgentAction::kAdd, "2"},
        {"only 1", {{"1", other}}, AgentAction::kAdd, "2"},
        {"1 and 3", {{"1", other}, {"3", other}}, AgentAction::kAdd, "4"},
        {"gap below the highest", {{"2", other}, {"7", other}}, AgentAction::kAdd, "8"},
        {"a DWORD at the next number", {{"1", other}, {"2", nullptr}}, AgentAction::kAdd, "3"},
        {"31 taken", {{"31", other}}, AgentAction::kAdd, "32"},
        {"31 and 32 taken", {{"31", other}, {"32", other}}, AgentAction::kAdd, "33"},
        {"1 to 31, 32 and 33 taken", fullAnd32, AgentAction::kAdd, "34"},
        {"names that are no numbers", {{"01", other}, {"x", other}, {"3", other}}, AgentAction::kAdd, "4"},
        {"already there", {{"1", other}, {"4", now}}, AgentAction::kAlreadyThere, "4"},
        {"already there in other case", {{"6", "software\\varnek\\vrkmpr\\currentversion"}},
         AgentAction::kAlreadyThere, "6"},
        {"already there beyond 31", {{"31", other}, {"32", now}}, AgentAction::kAlreadyThere, "32"},
        {"old name", {{"1", other}, {"5", old}}, AgentAction::kRewrite, "5"},
        {"old name in other case", {{"3", "SOFTWARE\\varnek gmbh\\VRKMPR\\CurrentVersion"}}, AgentAction::kRewrite,
         "3"},
        {"old name before the new", {{"2", old}, {"7", now}}, AgentAction::kAlreadyThere, "7"},
        {"two old names", {{"8", old}, {"3", old}}, AgentAction::kRewrite, "3"},
        {"old name under a name that is no number", {{"x", old}, {"4", old}}, AgentAction::kRewrite, "4"},
    };
    for (const AgentCase& c : cases) {
        std::vector<AgentValue> values;
        for (const auto& v : c.values) values.push_back({v.first, v.second});
        const AgentDecision decision = DecideAgentEntry(values.data(), values.size());
        EXPECT_EQ(c.action, decision.action) << c.title;
        EXPECT_STREQ(c.name, decision.name) << c.title;
    }
}

TEST(MaintenanceSnmpAgent, ValueNamesOfAnyLengthAreNamedWhole) {
    // Value names are not only numbers: the decision names the entry itself, never a beginning
    // of its name, which may be another agent's value.
    const std::string oldName = "VarnekRouterAgentOfRelease3";
    const std::string otherName = oldName.substr(0, 15);
    std::vector<AgentValue> values = {{otherName.c_str(), "SOFTWARE\\Microsoft\\LANManagerMIB2Agent\\CurrentVersion"},
                                      {oldName.c_str(), kOldRouterAgentKey}};
    AgentDecision decision = DecideAgentEntry(values.data(), values.size());
    EXPECT_EQ(AgentAction::kRewrite, decision.action);
    EXPECT_EQ(oldName, decision.name);

    // The longest name the key's list enumerates.
    const std::string longest(259, 'a');
    values = {{"1", kOldRouterAgentKey}, {longest.c_str(), kRouterAgentKey}};
    decision = DecideAgentEntry(values.data(), values.size());
    EXPECT_EQ(AgentAction::kAlreadyThere, decision.action);
    EXPECT_EQ(longest, decision.name);
}

TEST(MaintenanceSnmpAgent, NumbersAreCanonicalDecimalNames) {
    EXPECT_EQ(1u, AgentNumber("1"));
    EXPECT_EQ(31u, AgentNumber("31"));
    EXPECT_EQ(4294967295u, AgentNumber("4294967295"));
    EXPECT_EQ(0u, AgentNumber("4294967296"));
    EXPECT_EQ(0u, AgentNumber("0"));
    EXPECT_EQ(0u, AgentNumber("01"));
    EXPECT_EQ(0u, AgentNumber("1a"));
    EXPECT_EQ(0u, AgentNumber("-1"));
    EXPECT_EQ(0u, AgentNumber(""));
}

}  // namespace
