// Registry values as other programs leave them: multi-strings with an empty string inside, which
// ends nothing, and writes that the registry refuses, which are reported.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/files.h"
#include "common/multistring.h"
#include "common/registry.h"
#include "machine.h"

using namespace testing_machine;

namespace {

const char kKey[] = "SOFTWARE\\VrkValues";
const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

std::string Path(const std::string& name) { return std::string(kKey) + "\\" + name; }

std::string Value(const std::string& key, const std::string& name) {
    std::string bytes;
    return GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes) ? bytes : "(missing)";
}

class RegistryValuesTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kKey); }
};

TEST_F(RegistryValuesTest, RemovingFromAMultiStringWalksTheWholeValue) {
    const struct {
        const char* name;
        std::string before;
        const char* removed;
        std::string after;
    } cases[] = {
        {"an empty string before the entry", std::string("A\0\0B\0C\0\0", 8), "c", std::string("A\0B\0\0", 5)},
        {"the entry before an empty string", std::string("A\0\0B\0C\0\0", 8), "A", std::string("B\0C\0\0", 5)},
        {"nothing to remove", std::string("Eventlog\0\0\0VrkRas\0\0", 19), "x", std::string("Eventlog\0VrkRas\0\0", 17)},
        {"an empty first string", std::string("\0VrkRas\0VrkMpr\0\0", 16), "VRKMPR", std::string("VrkRas\0\0", 8)},
        {"a last string without its NUL", std::string("A\0\0B", 4), "a", std::string("B\0\0", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Sources", REG_MULTI_SZ, c.before));
        EXPECT_TRUE(RemoveFromRegMultiString(Path("Sources").c_str(), c.removed));
        EXPECT_EQ(c.after, Value(kKey, "Sources"));
    }
    // A value of empty strings alone holds no entry: it is left as it is.
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Sources", REG_MULTI_SZ, std::string(3, '\0')));
    EXPECT_FALSE(RemoveFromRegMultiString(Path("Sources").c_str(), "A"));
    EXPECT_EQ(std::string(3, '\0'), Value(kKey, "Sources"));
}

TEST_F(RegistryValuesTest, AStringListHandsOutTheStringsBehindAnEmptyOne) {
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Gap", REG_MULTI_SZ, std::string("\0a\0\0\0b\0\0", 8)));
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Open", REG_MULTI_SZ, std::string("a\0\0last", 7)));
    for (const auto& c : {std::make_pair("Gap", std::vector<std::string>{"a", "b"}),
                          std::make_pair("Open", std::vector<std::string>{"a", "last"})}) {
        RegistryStringList list(Path(c.first).c_str());
        std::vector<std::string> strings;
        for (const char* s; (s = list.next()) != nullptr;) strings.push_back(s);
        EXPECT_EQ(c.second, strings) << c.first;
    }
}

TEST_F(RegistryValuesTest, ADeleteAtTheNextStartKeepsThePairsBehindAnEmptySource) {
    const std::string before("\\??\\C:\\a\0\0\0\0\\??\\C:\\b\0\0\0", 23);
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", REG_MULTI_SZ, before));
    EXPECT_TRUE(AddPendingDelete("C:\\c"));
    const std::string after = Value(kSessionManager, "PendingFileRenameOperations");
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
    EXPECT_EQ(before.substr(0, before.size() - 1) + std::string("\\??\\C:\\c\0\0\0", 11), after);
}

TEST_F(RegistryValuesTest, AWriteTheRegistryRefusesIsReported) {
    // The key can be had, the value cannot be set: no data for a size of four bytes.
    EXPECT_FALSE(WriteRegValue(Path("Refused").c_str(), nullptr, REG_BINARY, 4, kRegClose));
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, kKey));
    EXPECT_EQ("(missing)", Value(kKey, "Refused"));
    EXPECT_TRUE(WriteRegValue(Path("Taken").c_str(), "\1\2\3\4", REG_BINARY, 4, kRegFlush));
    EXPECT_EQ("\1\2\3\4", Value(kKey, "Taken"));
}

}  // namespace
