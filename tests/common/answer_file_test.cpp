// The answer file: its plain values, the file the registry names, and the profile reads with their
// limits, on the machine's real registry and profile functions.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "common/answer_file.h"
#include "common/answer_values.h"
#include "common/setup_log.h"
#include "common_fixture.h"
#include "machine.h"

using namespace testing_machine;

namespace {

struct NumberCase {
    const char* text;
    long minimum, maximum;
    bool ok;
    long value;  // when ok
};

TEST(AnswerValuesTest, NumbersAreDecimalOrHexWithBlanksAroundAndWithinTheirRange) {
    const NumberCase cases[] = {
        {"5", 0, 10, true, 5},
        {"  7\t", 0, 10, true, 7},
        {"0x1F", 0, 100, true, 31},
        {"0XfF", 0, 255, true, 255},
        {"-3", -5, 5, true, -3},
        {"+4", 0, 5, true, 4},
        {"0010", 0, 100, true, 10},
        {"11", 0, 10, false, 0},
        {"-1", 0, 10, false, 0},
        {"", 0, 10, false, 0},
        {"  ", 0, 10, false, 0},
        {"0x", 0, 10, false, 0},
        {"-", 0, 10, false, 0},
        {"-0x5", -10, 10, false, 0},
        {"1x", 0, 10, false, 0},
        {"1 2", 0, 100, false, 0},
        {"1.5", 0, 10, false, 0},
        {"abc", 0, 10, false, 0},
        {"12a", 0, 1000, false, 0},
        // Digits past what a long holds never wrap around into range.
        {"18446744073709551617", 0, LONG_MAX, false, 0},
        {"0x100000000000000001", 0, LONG_MAX, false, 0},
        {"2147483647", 0, 2147483647L, true, 2147483647L},
        {"-2147483648", -2147483647L - 1, 0, true, -2147483647L - 1},
    };
    for (const NumberCase& c : cases) {
        long value = -99;
        EXPECT_EQ(c.ok, ParseAnswerNumber(c.text, c.minimum, c.maximum, &value)) << '"' << c.text << '"';
        EXPECT_EQ(c.ok ? c.value : -99, value) << '"' << c.text << '"';
    }
    // A NUL ends a value for every other reader of the file: nothing behind it is taken.
    long value = -99;
    EXPECT_FALSE(ParseAnswerNumber(std::string("5\0" "1", 3), 0, 100, &value));
    EXPECT_EQ(-99, value);
}

TEST(AnswerValuesTest, YesNoListsAndUnknownKeys) {
    const struct {
        const char* text;
        bool ok, yes;
    } answers[] = {{"yes", true, true}, {"YES", true, true},   {" No ", true, false}, {"1", true, true},
                   {"0", true, false},  {"True", true, true},  {"FALSE", true, false}, {"y", false, false},
                   {"", false, false},  {"2", false, false},   {"yess", false, false}, {"ja", false, false}};
    for (const auto& a : answers) {
        bool yes = !a.yes;
        EXPECT_EQ(a.ok, ParseAnswerYesNo(a.text, &yes)) << a.text;
        if (a.ok) {
            EXPECT_EQ(a.yes, yes) << a.text;
        }
    }
    bool untouched = true;
    EXPECT_FALSE(ParseAnswerYesNo("nope", &untouched));
    EXPECT_TRUE(untouched);

    EXPECT_EQ((std::vector<std::string>{"a", "b c", "d"}), SplitAnswerList(" a ,b c,, \t,d,"));
    EXPECT_EQ(std::vector<std::string>{}, SplitAnswerList(""));
    EXPECT_EQ(std::vector<std::string>{}, SplitAnswerList(" , ,"));
    EXPECT_EQ(std::vector<std::string>{"x"}, SplitAnswerList("x"));

    EXPECT_EQ((std::vector<std::string>{"Nickname2", "x"}),
              UnknownAnswerKeys({"enabled", "Nickname2", "PHONE", "x"}, {"Enabled", "Phone"}));
    EXPECT_EQ(std::vector<std::string>{}, UnknownAnswerKeys({}, {"Enabled"}));
}

class AnswerFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = FreshDirectory("answers");
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, common_test::kSetupKey, "AnswerFile");
    }
    void TearDown() override {
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, common_test::kSetupKey, "AnswerFile");
        CloseSetupLog();
    }
    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = directory_ + "\\" + name;
        EXPECT_TRUE(WriteFileBytes(path, text));
        return path;
    }
    std::string directory_;
};

TEST_F(AnswerFileTest, TheRegistryNamesTheFileOnlyWithANonEmptyString) {
    EXPECT_FALSE(AnswerFile::FromRegistry().IsNamed());
    SetRegString(HKEY_LOCAL_MACHINE, common_test::kSetupKey, "AnswerFile", "");
    EXPECT_FALSE(AnswerFile::FromRegistry().IsNamed());
    SetRegDword(HKEY_LOCAL_MACHINE, common_test::kSetupKey, "AnswerFile", 1);
    EXPECT_FALSE(AnswerFile::FromRegistry().IsNamed());
    SetRegBytes(HKEY_LOCAL_MACHINE, common_test::kSetupKey, "AnswerFile", REG_MULTI_SZ, std::string("C:\\a.ini\0\0", 10));
    EXPECT_FALSE(AnswerFile::FromRegistry().IsNamed());

    const std::string path = Write("a.ini", "[S]\r\nk=v\r\n");
    SetEnvironmentVariableA("VRK_ANSWERS", directory_.c_str());
    for (DWORD type : {static_cast<DWORD>(REG_SZ), static_cast<DWORD>(REG_EXPAND_SZ)}) {
        SetRegString(HKEY_LOCAL_MACHINE, common_test::kSetupKey, "AnswerFile", "%VRK_ANSWERS%\\a.ini", type);
        const AnswerFile file = AnswerFile::FromRegistry();
        EXPECT_TRUE(file.IsNamed());
        EXPECT_EQ(path, file.Path());
        EXPECT_TRUE(file.Exists());
        std::string text;
        EXPECT_TRUE(file.Text("S", "k", &text));
        EXPECT_EQ("v", text);
    }
    SetEnvironmentVariableA("VRK_ANSWERS", nullptr);

    // A name without a folder is the current directory's file, not one in the Windows directory.
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    SetCurrentDirectoryA(directory_.c_str());
    const AnswerFile relative = AnswerFile::AtPath("a.ini");
    SetCurrentDirectoryA(current);
    EXPECT_EQ(path, relative.Path());
    EXPECT_TRUE(relative.HasSection("S"));
}

TEST_F(AnswerFileTest, AFileThatCannotBeReadHasNoSectionsAndNoKeys) {
    for (const std::string& path : {directory_ + "\\missing.ini", directory_, "C:\\" + std::string(300, 'x') + ".ini"}) {
        const AnswerFile file = AnswerFile::AtPath(path);
        EXPECT_TRUE(file.IsNamed()) << path;
        EXPECT_FALSE(file.Exists()) << path;
        EXPECT_FALSE(file.HasSection("S")) << path;
        EXPECT_TRUE(file.Keys("S").empty()) << path;
        std::string text = "x";
        EXPECT_FALSE(file.Text("S", "k", &text)) << path;
        EXPECT_EQ("", text);
    }
    EXPECT_FALSE(AnswerFile::AtPath("").IsNamed());
}

TEST_F(AnswerFileTest, SectionsKeysAndValuesWithTheirLimits) {
    const std::string longest(kAnswerTextMax, 'a');
    const std::string path = Write("b.ini",
                                   "[Empty]\r\n"
                                   "[Values]\r\n"
                                   "Zeta = last but one \r\n"
                                   "alpha=\r\n"
                                   "Longest=" + longest + "\r\n"
                                   "TooLong=" + longest + "b\r\n"
                                   "Quoted=\"a b\"\r\n"
                                   "[other]\r\nalpha=other\r\n");
    const AnswerFile file = AnswerFile::AtPath(path);
    EXPECT_TRUE(file.HasSection("Empty"));
    EXPECT_TRUE(file.HasSection("VALUES"));
    EXPECT_FALSE(file.HasSection("Value"));
    EXPECT_TRUE(file.Keys("Empty").empty());
    EXPECT_EQ((std::vector<std::string>{"Zeta", "alpha", "Longest", "TooLong", "Quoted"}), file.Keys("Values"));

    std::string text;
    EXPECT_TRUE(file.Text("values", "zeta", &text));
    EXPECT_EQ("last but one", text);
    EXPECT_TRUE(file.Text("Values", "alpha", &text));
    EXPECT_EQ("", text);
    EXPECT_TRUE(file.Text("Values", "Longest", &text));
    EXPECT_EQ(longest, text);
    text = "x";
    EXPECT_FALSE(file.Text("Values", "TooLong", &text));
    EXPECT_EQ("", text);
    EXPECT_EQ(AnswerRead::TooLong, file.Read("Values", "TooLong", &text));
    EXPECT_EQ(AnswerRead::Absent, file.Read("Values", "beta", &text));
    EXPECT_EQ(AnswerRead::Absent, file.Read("Empty", "alpha", &text));
    EXPECT_TRUE(file.Text("Values", "Quoted", &text));
    EXPECT_EQ("a b", text);
}

TEST_F(AnswerFileTest, TheModeAndEveryRefusalAreLoggedWithSectionAndKey) {
    const std::string log = directory_ + "\\setup.log";
    ASSERT_TRUE(common_test::OpenTestLog(log, 2));
    const std::string path = Write("c.ini", "[Proc]\r\nCount=12\r\nName=abcdef\r\nFlag=maybe\r\nColour=red\r\n"
                                            "Big=" + std::string(kAnswerTextMax + 1, 'z') + "\r\n");
    EXPECT_EQ(AnswerMode::Interactive, AnswerModeFor(AnswerFile::AtPath(""), "Proc"));
    EXPECT_EQ(AnswerMode::Interactive, AnswerModeFor(AnswerFile::AtPath(path), "Other"));
    EXPECT_EQ(AnswerMode::Unreadable, AnswerModeFor(AnswerFile::AtPath(directory_ + "\\none.ini"), "Proc"));
    const AnswerFile file = AnswerFile::AtPath(path);
    EXPECT_EQ(AnswerMode::Answered, AnswerModeFor(file, "Proc"));

    SectionAnswers answers(file, "Proc", {"Count", "Name", "Flag", "Big", "Missing"});
    EXPECT_FALSE(answers.refused());
    long count = -1;
    std::string name = "kept";
    bool flag = true;
    EXPECT_FALSE(answers.Number("Missing", 0, 10, &count));
    EXPECT_FALSE(answers.refused());
    EXPECT_FALSE(answers.Number("Count", 0, 10, &count));
    EXPECT_EQ(-1, count);
    EXPECT_TRUE(answers.refused());
    EXPECT_FALSE(answers.Text("Name", 5, &name));
    EXPECT_EQ("kept", name);
    EXPECT_FALSE(answers.YesNo("Flag", &flag));
    EXPECT_FALSE(answers.Text("Big", 2000, &name));
    EXPECT_TRUE(answers.Text("Name", 6, &name));
    EXPECT_EQ("abcdef", name);
    CloseSetupLog();

    EXPECT_EQ((std::vector<std::string>{
                  "Answer file " + directory_ + "\\none.ini cannot be read; [Proc] ends as if cancelled",
                  "[Proc] answers taken from " + path,
                  "[Proc] Colour: unknown key, ignored",
                  "[Proc] Count: not a number from 0 to 10; ends as if cancelled",
                  "[Proc] Name: value longer than 5 characters; ends as if cancelled",
                  "[Proc] Flag: not yes or no; ends as if cancelled",
                  "[Proc] Big: value too long; ends as if cancelled",
              }),
              common_test::LogMessages(log));
}

}  // namespace
