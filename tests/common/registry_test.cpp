// Registry helpers on the machine's real registry: RegistryPath, reads that must stay
// safe whatever a value holds, writes, trees and the multi-string edit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/multistring.h"
#include "common/registry.h"
#include "machine.h"

using namespace testing_machine;

namespace {

const char kKey[] = "SOFTWARE\\VrkTest";

// Sets size bytes of data; a string value keeps its missing NUL only when the byte behind the data
// is no NUL, or the platform adds it (as NT does).
bool SetRaw(const char* name, DWORD type, const char* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const bool ok = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kKey);
        DeleteRegKeyTree(HKEY_CURRENT_USER, "Software\\VrkTest");
        DeleteRegKeyTree(HKEY_USERS, ".DEFAULT\\Software\\VrkTest");
    }
    static std::string Path(const std::string& rest) { return std::string(kKey) + "\\" + rest; }
};

TEST_F(RegistryTest, RootNamesAreComparedWithoutRegardToCase) {
    ASSERT_TRUE(SetRegString(HKEY_USERS, ".DEFAULT\\Software\\VrkTest", "Name", "users"));
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, "Software\\VrkTest", "Name", "user"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kKey, "Name", "machine"));
    char text[64] = "";
    EXPECT_EQ(6u, ReadRegString("hkey_users:.DEFAULT\\Software\\VrkTest\\Name", text, sizeof text));
    EXPECT_STREQ("users", text);
    EXPECT_TRUE(ReadRegString("HKEY_Current_User:Software\\VrkTest\\Name", text, sizeof text));
    EXPECT_STREQ("user", text);
    EXPECT_TRUE(ReadRegString("SOFTWARE\\VrkTest\\Name", text, sizeof text));
    EXPECT_STREQ("machine", text);
}

TEST_F(RegistryTest, UnknownRootNameIsDroppedAndTheMachineRootUsed) {
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("X"), "Y", "value y"));
    char text[64] = "";
    EXPECT_TRUE(ReadRegString("FOO:SOFTWARE\\VrkTest\\X\\Y", text, sizeof text));
    EXPECT_STREQ("value y", text);
    ASSERT_TRUE(WriteRegDword("FOO:SOFTWARE\\VrkTest\\X\\Z", 7, kRegClose));
    DWORD value = 0;
    EXPECT_TRUE(ReadRegDword("HKEY_LOCAL_MACHINE:SOFTWARE\\VrkTest\\X\\Z", &value));
    EXPECT_EQ(7u, value);
}

TEST_F(RegistryTest, ValueOperationsNeedABackslash) {
    char text[16] = "untouched";
    EXPECT_EQ(0u, ReadRegString("LogLevel", text, sizeof text));
    EXPECT_STREQ("untouched", text);
    EXPECT_FALSE(WriteRegString("HKEY_CURRENT_USER:NoBackslash", "x", kRegClose));
    EXPECT_FALSE(DeleteRegValue("NoBackslash"));
}

TEST_F(RegistryTest, ReadRegStringTakesOnlyPlainStringsButTheStringListTakesExpandStrings) {
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kKey, "Expand", "%SystemRoot%\\x", REG_EXPAND_SZ));
    char text[64] = "untouched";
    EXPECT_EQ(0u, ReadRegString(Path("Expand").c_str(), text, sizeof text));
    EXPECT_STREQ("untouched", text);
    RegistryStringList list(Path("Expand").c_str());
    const char* first = list.next();
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ("%SystemRoot%\\x", first);
    EXPECT_EQ(nullptr, list.next());
}

TEST_F(RegistryTest, StringWithoutItsNulIsTerminatedOrRefused) {
    ASSERT_TRUE(SetRaw("Bare", REG_SZ, "abcX", 3));
    std::string stored;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Bare", &stored));
    ASSERT_EQ("abc", stored);
    char text[8];
    memset(text, 'x', sizeof text);
    EXPECT_EQ(4u, ReadRegString(Path("Bare").c_str(), text, sizeof text));
    EXPECT_STREQ("abc", text);
    // Three bytes of room hold the text but not its end: refused, buffer as it was.
    char tight[3] = {'q', 'q', 'q'};
    EXPECT_EQ(0u, ReadRegString(Path("Bare").c_str(), tight, sizeof tight));
    EXPECT_EQ('q', tight[0]);
}

TEST_F(RegistryTest, ReadIntoTooSmallBufferFailsWithoutReading) {
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kKey, "Long", std::string(300, 'L')));
    char text[260] = "untouched";
    EXPECT_EQ(0u, ReadRegString(Path("Long").c_str(), text, sizeof text));
    EXPECT_STREQ("untouched", text);
    char raw[16] = "untouched";
    DWORD type = 0;
    EXPECT_EQ(0u, ReadRegValue(Path("Long").c_str(), raw, sizeof raw, &type));
    EXPECT_STREQ("untouched", raw);
    char whole[400];
    EXPECT_EQ(301u, ReadRegValue(Path("Long").c_str(), whole, sizeof whole, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
}

TEST_F(RegistryTest, DwordReadChecksTypeAndSize) {
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Short", REG_DWORD, std::string("\x01\x02", 2)));
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Binary", REG_BINARY, std::string("\x01\x02\x03\x04", 4)));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kKey, "Text", "12"));
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Huge", REG_DWORD, std::string(1000, '\x7f')));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kKey, "Good", 0x12345678));
    for (const char* name : {"Short", "Binary", "Text", "Huge", "Missing"}) {
        DWORD value = 0xCAFE;
        EXPECT_FALSE(ReadRegDword(Path(name).c_str(), &value)) << name;
        EXPECT_EQ(0xCAFEu, value) << name;
    }
    DWORD value = 0;
    EXPECT_TRUE(ReadRegDword(Path("Good").c_str(), &value));
    EXPECT_EQ(0x12345678u, value);
}

TEST_F(RegistryTest, MultiStringReadEndsTheListEvenWhenTheValueDoesNot) {
    ASSERT_TRUE(SetRaw("Open", REG_MULTI_SZ, "a\0bcX", 4));
    char list[16];
    memset(list, 'x', sizeof list);
    EXPECT_EQ(4u, ReadRegMultiString(Path("Open").c_str(), list, sizeof list));
    EXPECT_EQ(std::string("a\0bc\0\0", 6), std::string(list, 6));

    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Proper", REG_MULTI_SZ, std::string("a\0b\0\0", 5)));
    char exact[5] = {'q', 'q', 'q', 'q', 'q'};
    // The data fill the buffer and leave no byte for the extra NUL.
    EXPECT_EQ(0u, ReadRegMultiString(Path("Proper").c_str(), exact, sizeof exact));
    EXPECT_EQ('q', exact[0]);
    char room[6];
    EXPECT_EQ(5u, ReadRegMultiString(Path("Proper").c_str(), room, sizeof room));
    EXPECT_EQ(std::string("a\0b\0\0\0", 6), std::string(room, 6));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kKey, "Plain", "a"));
    EXPECT_EQ(0u, ReadRegMultiString(Path("Plain").c_str(), room, sizeof room));
}

TEST_F(RegistryTest, WriteCreatesMissingParentKeysWithEitherCloseFlag) {
    EXPECT_TRUE(WriteRegString(Path("A\\B\\C\\Name").c_str(), "deep", kRegClose));
    EXPECT_TRUE(WriteRegExpandString(Path("A\\B\\C\\Expand").c_str(), "%TEMP%", kRegFlush));
    EXPECT_TRUE(WriteRegDword("HKEY_CURRENT_USER:Software\\VrkTest\\N\\Count", 3, kRegFlush));
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, Path("A\\B\\C"), "Name", &bytes, &type));
    EXPECT_EQ(std::string("deep\0", 5), bytes);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, Path("A\\B\\C"), "Expand", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    ASSERT_TRUE(GetRegValue(HKEY_CURRENT_USER, "Software\\VrkTest\\N", "Count", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(std::string("\x03\0\0\0", 4), bytes);
}

TEST_F(RegistryTest, MultiStringOfSizeZeroIsCountedUpToTheFirstEmptyString) {
    ASSERT_TRUE(WriteRegMultiString(Path("List").c_str(), "a\0b\0\0", kRegClose, 0));
    std::string bytes;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "List", &bytes));
    EXPECT_EQ(std::string("a\0b\0\0", 5), bytes);
    ASSERT_TRUE(WriteRegMultiString(Path("Empty").c_str(), "\0", kRegClose, 0));
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Empty", &bytes));
    EXPECT_EQ(std::string(1, '\0'), bytes);
    ASSERT_TRUE(WriteRegMultiString(Path("Sized").c_str(), "a\0bX", kRegClose, 3));
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Sized", &bytes));
    EXPECT_EQ(std::string("a\0b", 3), bytes);
}

TEST_F(RegistryTest, EnumRegSubkeysMeasuresAndCopiesOnlyWhatFits) {
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Keys\\A"), "v", "1"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Keys\\BC"), "v", "1"));
    EXPECT_EQ(6u, EnumRegSubkeys(Path("Keys").c_str(), nullptr, 0));
    char list[16];
    memset(list, 'x', sizeof list);
    EXPECT_EQ(6u, EnumRegSubkeys(Path("Keys").c_str(), list, 6));
    EXPECT_EQ(std::string("A\0BC\0\0", 6), std::string(list, 6));
    memset(list, 'x', sizeof list);
    EXPECT_EQ(6u, EnumRegSubkeys(Path("Keys").c_str(), list, 5));
    EXPECT_EQ(std::string("A\0\0", 3), std::string(list, 3));
    EXPECT_EQ(0u, EnumRegSubkeys(Path("Missing").c_str(), nullptr, 0));
    EXPECT_EQ(1u, EnumRegSubkeys(Path("Keys\\A").c_str(), nullptr, 0));
}

TEST_F(RegistryTest, DeleteRegTreeRemovesKeysWhoseSubkeysHaveSubkeys) {
    for (const char* leaf : {"T\\a\\b\\c", "T\\a\\d", "T\\e\\f\\g\\h", "T\\i"})
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path(leaf), "v", "1"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Keep"), "v", "1"));
    EXPECT_TRUE(DeleteRegTree(Path("T").c_str()));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, Path("T")));
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, Path("Keep")));

    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, "Software\\VrkTest\\U\\x\\y", "v", "1"));
    EXPECT_TRUE(DeleteRegTree("HKEY_CURRENT_USER:Software\\VrkTest", "U"));
    EXPECT_FALSE(RegKeyPresent(HKEY_CURRENT_USER, "Software\\VrkTest\\U"));
    EXPECT_TRUE(RegKeyPresent(HKEY_CURRENT_USER, "Software\\VrkTest"));
    EXPECT_FALSE(DeleteRegTree(Path("NeverThere").c_str()));
}

TEST_F(RegistryTest, CopyRegTreeCopiesKeysAndValuesOfEveryType) {
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src"), "Name", "top"));
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, Path("Src\\Sub\\Deeper"), "Blob", REG_BINARY,
                            std::string("\x00\x01\x02\xff", 4)));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Path("Src\\Sub"), "Count", 9));
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, Path("Src\\Sub"), "List", REG_MULTI_SZ, std::string("x\0y\0\0", 5)));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src\\Empty\\Leaf"), "", "default value"));
    EXPECT_TRUE(CopyRegTree(Path("Src").c_str(), "HKEY_CURRENT_USER:Software\\VrkTest\\Dst"));

    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(GetRegValue(HKEY_CURRENT_USER, "Software\\VrkTest\\Dst", "Name", &bytes, &type));
    EXPECT_EQ(std::string("top\0", 4), bytes);
    ASSERT_TRUE(GetRegValue(HKEY_CURRENT_USER, "Software\\VrkTest\\Dst\\Sub\\Deeper", "Blob", &bytes, &type));
    EXPECT_EQ(std::string("\x00\x01\x02\xff", 4), bytes);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    ASSERT_TRUE(GetRegValue(HKEY_CURRENT_USER, "Software\\VrkTest\\Dst\\Sub", "List", &bytes, &type));
    EXPECT_EQ(std::string("x\0y\0\0", 5), bytes);
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    ASSERT_TRUE(GetRegValue(HKEY_CURRENT_USER, "Software\\VrkTest\\Dst\\Empty\\Leaf", "", &bytes));
    EXPECT_EQ(std::string("default value\0", 14), bytes);
    EXPECT_FALSE(CopyRegTree(Path("Missing").c_str(), Path("Dst2").c_str()));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, Path("Dst2")));
}

TEST_F(RegistryTest, CopyRegTreeRecreatesOnlyKeysThatBearValues) {
    // Keys without values: made with a value that is deleted again.
    for (const char* hollow : {"Src\\Hollow\\Deeper", "Src\\Hollow", "Bare"}) {
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path(hollow), "Gone", "x"));
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, Path(hollow), "Gone");
    }
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src\\Full\\Leaf"), "V", "kept"));

    EXPECT_TRUE(CopyRegTree(Path("Src").c_str(), Path("Dst").c_str()));
    std::string bytes;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Dst\\Full\\Leaf"), "V", &bytes));
    EXPECT_EQ(std::string("kept\0", 5), bytes);
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, Path("Dst\\Hollow")));

    // A source that holds nothing at all is copied without a trace, and that is no failure.
    EXPECT_TRUE(CopyRegTree(Path("Bare").c_str(), Path("BareCopy").c_str()));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, Path("BareCopy")));
    EXPECT_TRUE(CopyRegTree(Path("Src\\Hollow").c_str(), Path("HollowCopy").c_str()));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, Path("HollowCopy")));
}

TEST_F(RegistryTest, CopyRegTreeTakesValuesOfAnySizeAndNamesAPathCannotHoldStayBehind) {
    std::string big(10000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    const std::string longName(300, 'n');
    const std::string longSpelled = std::string(150, 'a') + "\\" + std::string(150, 'b');
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, Path("Src"), "Big", REG_BINARY, big));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src"), longName, "too long"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src"), "After", "after the long one"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src\\Spelled"), longSpelled, "stays"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src\\Spelled"), "", "unnamed"));

    // A name no path can hold makes the copy incomplete; the values around it arrive all the same.
    EXPECT_FALSE(CopyRegTree(Path("Src").c_str(), Path("Dst").c_str()));
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Dst"), "Big", &bytes, &type));
    EXPECT_EQ(big, bytes);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Dst"), "After", &bytes));
    EXPECT_EQ(std::string("after the long one\0", 19), bytes);
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Dst"), longName, nullptr));
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Dst\\Spelled"), "", &bytes));
    EXPECT_EQ(std::string("unnamed\0", 8), bytes);
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Dst\\Spelled"), longSpelled, nullptr));

    // A long name that holds "\" is one no value path could address: it stays, and that is no failure.
    EXPECT_TRUE(CopyRegTree(Path("Src\\Spelled").c_str(), Path("SpelledCopy").c_str()));
}

TEST_F(RegistryTest, CopyRegValueKeepsTypeAndSize) {
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Odd", 0x1234, std::string("\x05\x00\x07", 3)));
    EXPECT_TRUE(CopyRegValue(Path("Odd").c_str(), Path("New\\Key\\Odd").c_str(), kRegClose));
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, Path("New\\Key"), "Odd", &bytes, &type));
    EXPECT_EQ(std::string("\x05\x00\x07", 3), bytes);
    EXPECT_EQ(0x1234u, type);
    EXPECT_FALSE(CopyRegValue(Path("Missing").c_str(), Path("New\\Missing").c_str(), kRegClose));
}

TEST_F(RegistryTest, DeleteRegValueAndKeyExistence) {
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("K"), "V", "1"));
    EXPECT_TRUE(RegKeyExists(Path("K").c_str()));
    EXPECT_FALSE(RegKeyExists(Path("L").c_str()));
    EXPECT_TRUE(DeleteRegValue(Path("K").c_str(), "V"));
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, Path("K"), "V", nullptr));
    EXPECT_FALSE(DeleteRegValue(Path("K\\V").c_str()));
}

TEST_F(RegistryTest, RemoveFromRegMultiStringDropsEveryEqualEntryWithoutRegardToCase) {
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "Group", REG_MULTI_SZ,
                            std::string("Base\0VrkMpr\0NDIS\0vrkmpr\0Extended Base\0\0", 39)));
    EXPECT_TRUE(RemoveFromRegMultiString(Path("Group").c_str(), "VRKMPR"));
    std::string bytes;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Group", &bytes));
    EXPECT_EQ(std::string("Base\0NDIS\0Extended Base\0\0", 25), bytes);
    // Nothing to remove: written back all the same, unchanged.
    EXPECT_TRUE(RemoveFromRegMultiString(Path("Group").c_str(), "absent"));
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Group", &bytes));
    EXPECT_EQ(std::string("Base\0NDIS\0Extended Base\0\0", 25), bytes);

    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kKey, "One", REG_MULTI_SZ, std::string("only\0\0", 6)));
    EXPECT_TRUE(RemoveFromRegMultiString(Path("One").c_str(), "ONLY"));
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "One", &bytes));
    EXPECT_EQ(std::string(1, '\0'), bytes);
    EXPECT_FALSE(RemoveFromRegMultiString(Path("Missing").c_str(), "x"));
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, kKey, "Missing", nullptr));
}

TEST_F(RegistryTest, OverlongPathsFailInsteadOfNamingAnotherKey) {
    const std::string longPath = Path(std::string(300, 'k') + "\\Value");
    EXPECT_FALSE(WriteRegString(longPath.c_str(), "x", kRegClose));
    char text[16] = "untouched";
    EXPECT_EQ(0u, ReadRegString(longPath.c_str(), text, sizeof text));
    EXPECT_STREQ("untouched", text);
    EXPECT_FALSE(RegKeyExists(longPath.c_str()));
    EXPECT_FALSE(DeleteRegTree(longPath.c_str()));
}

// A key and a value name may hold ":" or "%": walks hand such names on, and what is acted on must
// be the entry of that name, never the key or value its text would name as a path.
TEST_F(RegistryTest, NamesTakenFromTheRegistryAreActedOnAsTheyAre) {
    const std::string other = Path("Other");
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, "VrkVictim\\Below", "v", "victim"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, other, "v", "victim"));
    ASSERT_TRUE(SetEnvironmentVariableA("VRKVICTIM", ("X:" + other).c_str()));
    const char* const keys[] = {"Vrk:VrkVictim", "Vrk%VRKVICTIM%"};
    for (const char* name : keys) ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Walk\\") + name, "v", "mine"));

    RegistrySubkeyList walk(Path("Walk").c_str());
    int read = 0;
    for (const char* key; (key = walk.nextPath()) != nullptr; ++read) {
        char text[16] = "";
        const std::string value = std::string(key) + "\\v";
        EXPECT_GT(ReadRegString(value.c_str(), text, sizeof text), 0u) << value;
        EXPECT_STREQ("mine", text) << value;
    }
    EXPECT_EQ(2, read);
    for (const char* name : keys) {
        EXPECT_TRUE(DeleteRegTree(Path("Walk").c_str(), name)) << name;
        EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, Path("Walk\\") + name)) << name;
    }
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, "VrkVictim\\Below"));

    // Value names may hold "\" as well: one that spells another value's path.
    const std::string spelled = "x:" + other + "\\v";
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Values"), spelled, "mine"));
    EXPECT_TRUE(DeleteRegValue(Path("Values").c_str(), spelled.c_str()));
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Values"), spelled, nullptr));
    EXPECT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, other, "v", nullptr));

    // The copy takes both kinds of name; a value name holding "\" stays behind, as it always did.
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src\\k:VrkVictim"), "a:b", "deep"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src"), "c:%VRKVICTIM%", "top"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Path("Src"), "in\\side", "skipped"));
    EXPECT_TRUE(CopyRegTree(Path("Src").c_str(), Path("Dst").c_str()));
    std::string bytes;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Dst\\k:VrkVictim"), "a:b", &bytes));
    EXPECT_EQ(std::string("deep\0", 5), bytes);
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Dst"), "c:%VRKVICTIM%", &bytes));
    EXPECT_EQ(std::string("top\0", 4), bytes);
    EXPECT_FALSE(GetRegValue(HKEY_LOCAL_MACHINE, Path("Dst"), "in\\side", nullptr));
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "VrkVictim");
}

struct JoinCase {
    const char* key;
    const char* name;
    const char* joined;  // null: refused
};

TEST_F(RegistryTest, TheJoinerMakesTheRootExplicitOnlyWhereANameWouldBeReadAsOne) {
    const std::string longKey(250, 'k');
    const JoinCase cases[] = {
        {"SOFTWARE\\X", "plain", "SOFTWARE\\X\\plain"},
        {"SOFTWARE\\X", "%SystemRoot%", "SOFTWARE\\X\\%SystemRoot%"},
        {"SOFTWARE\\X", "a:b", "HKEY_LOCAL_MACHINE:SOFTWARE\\X\\a:b"},
        {"HKEY_CURRENT_USER:Software\\X", "a:b", "HKEY_CURRENT_USER:Software\\X\\a:b"},
        {"FOO:SOFTWARE\\X", "a:b", "FOO:SOFTWARE\\X\\a:b"},
        {"SOFTWARE\\X", "", "SOFTWARE\\X\\"},
        {"SOFTWARE\\X", "a\\b", nullptr},
        {longKey.c_str(), "name", "k"},  // fits: checked by length below
        {longKey.c_str(), "a:long", nullptr},
    };
    for (const JoinCase& c : cases) {
        char out[kPathSize] = "untouched";
        const BOOL joined = JoinRegistryPath(c.key, c.name, out);
        if (!c.joined) {
            EXPECT_FALSE(joined) << c.name;
            EXPECT_STREQ("", out) << c.name;
        } else if (c.key == longKey.c_str()) {
            EXPECT_TRUE(joined);
            EXPECT_EQ(longKey + "\\name", out);
        } else {
            EXPECT_TRUE(joined) << c.name;
            EXPECT_STREQ(c.joined, out) << c.name;
        }
    }
}

}  // namespace
