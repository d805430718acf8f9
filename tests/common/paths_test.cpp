// Path helpers: joining with expansion, and bounded results for long inputs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/paths.h"
#include "machine.h"

namespace {

std::string Join(const char* directory, const char* name) {
    char out[kPathSize];
    memset(out, 'x', sizeof out);
    if (!JoinPath(directory, name, out)) return "<fail:" + std::string(out) + ">";
    return out;
}

TEST(JoinPathTest, JoinsWithOneBackslash) {
    EXPECT_EQ("C:\\a\\b.txt", Join("C:\\a", "b.txt"));
    EXPECT_EQ("C:\\a\\b.txt", Join("C:\\a\\", "b.txt"));
    EXPECT_EQ("C:\\a\\b.txt", Join("C:\\a", "\\b.txt"));
    EXPECT_EQ("C:\\a", Join("C:\\a", nullptr));
    EXPECT_EQ("D:\\other\\x", Join("C:\\a", "D:\\other\\x"));
}

TEST(JoinPathTest, ExpandsBothPartsAndTakesTheCurrentDirectoryForNone) {
    const std::string windows = testing_machine::Expand("%SystemRoot%");
    EXPECT_EQ(windows + "\\SYSTEM32\\VARNEK\\x.dll", Join("%SystemRoot%\\SYSTEM32\\VARNEK", "x.dll"));
    EXPECT_EQ(windows + "\\x", Join("C:\\a", "%SystemRoot%\\x"));
    char current[kPathSize];
    GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(std::string(current) + (current[strlen(current) - 1] == '\\' ? "" : "\\") + "n",
              Join(nullptr, "n"));
}

TEST(JoinPathTest, OutMayBeTheDirectoryBuffer) {
    char buffer[kPathSize] = "%SystemRoot%";
    ASSERT_TRUE(JoinPath(buffer, "SYSTEM32", buffer));
    EXPECT_EQ(testing_machine::Expand("%SystemRoot%\\SYSTEM32"), buffer);
}

TEST(JoinPathTest, PathThatWouldNotFitFailsAndIsNeverCut) {
    const std::string directory = "C:\\" + std::string(250, 'd');
    EXPECT_EQ("<fail:>", Join(directory.c_str(), "name.dll"));
    EXPECT_EQ("<fail:>", Join(std::string(300, 'x').c_str(), nullptr));
    EXPECT_EQ("<fail:>", Join("C:\\a", std::string(300, 'y').c_str()));
    // 259 characters fit, 260 do not.
    const std::string fits = "C:\\" + std::string(254, 'f');
    EXPECT_EQ(fits + "\\a", Join(fits.c_str(), "a"));
    EXPECT_EQ("<fail:>", Join(fits.c_str(), "ab"));
    SetEnvironmentVariableA("VRK_LONG", std::string(240, 'e').c_str());
    EXPECT_EQ("<fail:>", Join("C:\\%VRK_LONG%", "%VRK_LONG%"));
    SetEnvironmentVariableA("VRK_LONG", nullptr);
}

TEST(ExpandInPlaceTest, ExpandsWithin256BytesOrLeavesTheTextAsItWas) {
    char text[kExpandSize] = "%SystemRoot%\\x";
    EXPECT_TRUE(ExpandInPlace(text));
    EXPECT_EQ(testing_machine::Expand("%SystemRoot%\\x"), text);
    SetEnvironmentVariableA("VRK_LONG", std::string(200, 'e').c_str());
    char longer[kExpandSize] = "%VRK_LONG%%VRK_LONG%";
    EXPECT_FALSE(ExpandInPlace(longer));
    EXPECT_STREQ("%VRK_LONG%%VRK_LONG%", longer);
    char exact[kExpandSize];
    snprintf(exact, sizeof exact, "%%VRK_LONG%%%s", std::string(55, 'z').c_str());
    EXPECT_TRUE(ExpandInPlace(exact));
    EXPECT_EQ(255u, strlen(exact));
    SetEnvironmentVariableA("VRK_LONG", nullptr);
}

TEST(CutTest, LastComponentAndDrive) {
    char a[kPathSize] = "C:\\a\\b";
    CutLastComponent(a);
    EXPECT_STREQ("C:\\a", a);
    char none[kPathSize] = "name";
    CutLastComponent(none);
    EXPECT_STREQ("name", none);
    char b[kPathSize] = "C:\\a\\b";
    CutToDrive(b);
    EXPECT_STREQ("C:", b);
}

}  // namespace
