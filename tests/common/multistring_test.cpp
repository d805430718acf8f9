// MultiStringList: the growth rule, the separator, the cursor, and its registry fillers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/multistring.h"
#include "machine.h"

using namespace testing_machine;

namespace {

std::vector<std::string> All(MultiStringList& list) {
    std::vector<std::string> strings;
    list.rewind();
    for (const char* s; (s = list.next()) != nullptr;) strings.push_back(s);
    return strings;
}

TEST(MultiStringListTest, GrowsByTheLengthRoundedDownTo512Plus512) {
    const std::string bytes(1000, 'x');
    MultiStringList a;
    EXPECT_EQ(0u, a.capacity());
    ASSERT_TRUE(a.append(bytes.c_str(), 1000));
    EXPECT_EQ(1024u, a.capacity());
    MultiStringList b;
    ASSERT_TRUE(b.append(bytes.c_str(), 511));
    EXPECT_EQ(512u, b.capacity());
    MultiStringList c;
    ASSERT_TRUE(c.append(bytes.c_str(), 512));
    EXPECT_EQ(1024u, c.capacity());
    // 511 used: one more byte would leave no room for the NUL behind the end, so it grows.
    ASSERT_TRUE(b.append("", 1));
    EXPECT_EQ(1024u, b.capacity());
    EXPECT_EQ(512u, b.size());
}

TEST(MultiStringListTest, GrowthKeepsContentAndCursor) {
    MultiStringList list;
    ASSERT_TRUE(list.append("first"));
    ASSERT_TRUE(list.append("second"));
    EXPECT_STREQ("first", list.next());
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(list.append(("name" + std::to_string(i)).c_str()));
    EXPECT_GE(list.capacity(), list.size() + 1);
    EXPECT_STREQ("second", list.next());
    EXPECT_STREQ("name0", list.next());
    const std::vector<std::string> all = All(list);
    ASSERT_EQ(202u, all.size());
    EXPECT_EQ("name199", all.back());
}

TEST(MultiStringListTest, SeparatorSplitsAppendedText) {
    MultiStringList list(';');
    ASSERT_TRUE(list.append("1;ISDN;64000"));
    ASSERT_TRUE(list.append("next"));
    EXPECT_EQ((std::vector<std::string>{"1", "ISDN", "64000", "next"}), All(list));
    EXPECT_EQ(std::string("1\0ISDN\0" "64000\0next\0\0", 19), std::string(list.text(), list.size() + 1));
}

TEST(MultiStringListTest, EmptyListHasEmptyTextAndNoStrings) {
    MultiStringList list;
    EXPECT_STREQ("", list.text());
    EXPECT_EQ(0u, list.size());
    EXPECT_EQ(nullptr, list.next());
    ASSERT_TRUE(list.append("a"));
    list.clear();
    EXPECT_EQ(nullptr, list.next());
    EXPECT_EQ(0u, list.capacity());
    EXPECT_STREQ("", list.text());
}

TEST(MultiStringListTest, WholeBlockAppendKeepsEveryString) {
    MultiStringList list;
    ASSERT_TRUE(list.append("a\0bc\0\0", 6));
    EXPECT_EQ(6u, list.size());
    EXPECT_EQ((std::vector<std::string>{"a", "bc"}), All(list));
}

TEST(MultiStringListTest, SizeArithmeticCannotWrap) {
    MultiStringList list;
    ASSERT_TRUE(list.append("keep"));
    const DWORD before = list.capacity();
    // Lengths whose growth would pass 32 bits (or any sane block) are refused before anything is copied.
    EXPECT_FALSE(list.append("x", 0xFFFFFF00u));
    EXPECT_FALSE(list.append("x", 0x7FFFFE00u));
    EXPECT_FALSE(list.append("x", 0xFFFFFFFFu));
    EXPECT_EQ(before, list.capacity());
    EXPECT_EQ(5u, list.size());
    EXPECT_EQ((std::vector<std::string>{"keep"}), All(list));
}

class RegistryListTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegKeyTree(HKEY_CURRENT_USER, "Software\\VrkList"); }
};

TEST_F(RegistryListTest, SubkeyListGivesNamesAndFullPathsForRecursion) {
    for (const char* name : {"Alpha", "Beta", "Gamma"})
        ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, std::string("Software\\VrkList\\") + name + "\\Inner", "v", "1"));
    RegistrySubkeyList list("HKEY_CURRENT_USER:Software\\VrkList");
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta", "Gamma"}), All(list));
    list.rewind();
    char out[kPathSize] = "";
    const char* path = list.nextPath(out);
    ASSERT_NE(nullptr, path);
    EXPECT_STREQ("HKEY_CURRENT_USER:Software\\VrkList\\Alpha", path);
    EXPECT_STREQ(path, out);
    RegistrySubkeyList inner(path);
    EXPECT_EQ((std::vector<std::string>{"Inner"}), All(inner));
    EXPECT_STREQ("HKEY_CURRENT_USER:Software\\VrkList\\Beta", list.nextPath());
    EXPECT_STREQ("HKEY_CURRENT_USER:Software\\VrkList\\Gamma", list.nextPath());
    EXPECT_EQ(nullptr, list.nextPath());
    RegistrySubkeyList missing("HKEY_CURRENT_USER:Software\\VrkList\\Nothing");
    EXPECT_EQ(nullptr, missing.next());
}

TEST_F(RegistryListTest, ValueNameListGivesEveryValueName) {
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, "Software\\VrkList", "One", "1"));
    ASSERT_TRUE(SetRegDword(HKEY_CURRENT_USER, "Software\\VrkList", "Two", 2));
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, "Software\\VrkList", std::string(300, 'n'), "long name"));
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, "Software\\VrkList", "Three", "3"));
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, "Software\\VrkList", "", "unnamed"));
    RegistryValueNameList list("HKEY_CURRENT_USER:Software\\VrkList");
    std::vector<std::string> names = All(list);
    std::sort(names.begin(), names.end());
    // A name too long for a path is passed over, and so is the unnamed value; the others all come.
    EXPECT_EQ((std::vector<std::string>{"One", "Three", "Two"}), names);
}

TEST_F(RegistryListTest, StringListTakesStringTypesAndNothingElse) {
    ASSERT_TRUE(SetRegBytes(HKEY_CURRENT_USER, "Software\\VrkList", "Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)));
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, "Software\\VrkList", "Single", "only"));
    ASSERT_TRUE(SetRegBytes(HKEY_CURRENT_USER, "Software\\VrkList", "Bare", REG_SZ, "abc"));  // NUL added by the platform
    ASSERT_TRUE(SetRegBytes(HKEY_CURRENT_USER, "Software\\VrkList", "Blob", REG_BINARY, "abc"));
    ASSERT_TRUE(SetRegBytes(HKEY_CURRENT_USER, "Software\\VrkList", "Nothing", REG_MULTI_SZ, ""));
    RegistryStringList multi("HKEY_CURRENT_USER:Software\\VrkList\\Multi");
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), All(multi));
    RegistryStringList single("HKEY_CURRENT_USER:Software\\VrkList\\Single");
    EXPECT_EQ((std::vector<std::string>{"only"}), All(single));
    RegistryStringList bare("HKEY_CURRENT_USER:Software\\VrkList\\Bare");
    EXPECT_EQ((std::vector<std::string>{"abc"}), All(bare));
    for (const char* name : {"Blob", "Nothing", "Missing"}) {
        RegistryStringList list((std::string("HKEY_CURRENT_USER:Software\\VrkList\\") + name).c_str());
        EXPECT_EQ(0u, list.size()) << name;
        EXPECT_EQ(nullptr, list.next()) << name;
    }
}

}  // namespace
