#include "answers_fixture.h"

#include <gtest/gtest.h>

namespace router_test {

using namespace testing_machine;

namespace {

const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";

bool IsAnswerLine(const std::string& line) { return line.rfind("[", 0) == 0 || line.rfind("Answer file ", 0) == 0; }

}  // namespace

void RunAnswerCase(const char* procedure, const char* enterLine, const AnswerCase& c, const List& arguments) {
    SCOPED_TRACE(c.name);
    CreateDirectoryA(kAnswersDirectory, nullptr);
    const std::string path = std::string(kAnswersDirectory) + "\\" + c.name + ".ini";
    DeleteFileA(path.c_str());
    if (!c.ini.empty()) {
        ASSERT_TRUE(WriteFileBytes(path, c.ini));
    }
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "AnswerFile", path));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", 2));
    {
        SetupDll dll;
        SetupCall call(dll, procedure, arguments);
        ASSERT_TRUE(call.Finish()) << "the procedure showed something and waits";
        EXPECT_TRUE(call.returned());
        EXPECT_EQ(c.result, call.result());
    }
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSetupKey, "AnswerFile");
    const List log = LogMessages();
    List answerLines;
    bool entered = false, left = false;
    for (const std::string& line : log) {
        if (IsAnswerLine(line)) answerLines.push_back(line);
        if (line == enterLine) entered = true;
        if (line == std::string(procedure) + " LEAVE; " + c.result) left = true;
    }
    EXPECT_TRUE(entered) << enterLine;
    EXPECT_TRUE(left) << procedure << " LEAVE";
    List expected = c.logged;
    for (std::string& line : expected) {
        const size_t at = line.find("<file>");
        if (at != std::string::npos) line.replace(at, 6, path);
    }
    EXPECT_EQ(expected, answerLines);
    c.check();
}

std::string Refused(const char* section, const char* key, const std::string& reason) {
    return std::string("[") + section + "] " + key + ": " + reason + "; ends as if cancelled";
}

std::string MessageLine(UINT id) {
    std::string line;
    for (char c : LanguageString(id)) {
        if (c == '\r' || c == '\n') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace router_test
