// VrkMprConfigureFirstLink taking its answers from an answer file: the records it writes, and the
// phone numbers, passwords and choices the dialog would refuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answers_fixture.h"
#include "lang/resource.h"

using namespace router_test;
using namespace testing_machine;

namespace {

const char kIsdnKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\ISDN";
const char kLinkKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\Link";
const char kSection[] = "VrkMprConfigureFirstLink";
const char kEnter[] = "VrkMprConfigureFirstLink ENTER; 0";

// The comma-separated fields of a record, the first at index 0.
std::vector<std::string> Fields(const std::string& record) {
    std::vector<std::string> fields(1);
    for (char c : record) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

void NothingWritten() {
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kIsdnKey));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kLinkKey));
}

TEST(FirstLinkAnswersTest, TheRecordsComeFromTheAnswersOrNothingIsWritten) {
    const std::string taken = "[VrkMprConfigureFirstLink] answers taken from <file>";
    const AnswerCase cases[] = {
        {"good",
         "[VrkMprConfigureFirstLink]\r\nPhone=1234567\r\nProtocol=b_v110\r\nUser=abc\r\nPassword=secret\r\n",
         "OK",
         {taken},
         [] {
             EXPECT_EQ("1,1234567^B_V110,1234567,10000,0x2008,,0,,-1,-1,2,0", ReadString(kIsdnKey, "1"));
             const std::string link = ReadString(kLinkKey, "1");
             EXPECT_EQ(4u, Fields(link).at(19).size()) << link;
             EXPECT_EQ(8u, Fields(link).at(20).size()) << "six characters scrambled: " << link;
         }},
        // Without a password the stored one, empty on a first call, stays.
        {"no-password",
         "[VrkMprConfigureFirstLink]\r\nPhone=0301\r\nProtocol=none\r\nLanguage=de\r\n",
         "OK",
         {taken, "[VrkMprConfigureFirstLink] Language: unknown key, ignored"},
         [] {
             EXPECT_EQ("0301", Fields(ReadString(kIsdnKey, "1")).at(1));
             EXPECT_EQ("0x8008", Fields(ReadString(kIsdnKey, "1")).at(4));
             EXPECT_EQ("", Fields(ReadString(kLinkKey, "1")).at(20));
         }},
        {"bad-phone",
         "[VrkMprConfigureFirstLink]\r\nPhone=030^1\r\n",
         "USER_CANCEL",
         {taken, Refused(kSection, "Phone", MessageLine(IDS_FIRSTLINK_BAD_PHONE))},
         NothingWritten},
        {"mismatch",
         "[VrkMprConfigureFirstLink]\r\nPassword=secret\r\nConfirmPassword=secrex\r\n",
         "USER_CANCEL",
         {taken, Refused(kSection, "ConfirmPassword", MessageLine(IDS_FIRSTLINK_PASSWORD_MISMATCH))},
         NothingWritten},
        {"protocol",
         "[VrkMprConfigureFirstLink]\r\nProtocol=B_X25\r\n",
         "USER_CANCEL",
         {taken, Refused(kSection, "Protocol", "not none, B_X75 or B_V110")},
         NothingWritten},
        {"long-user",
         "[VrkMprConfigureFirstLink]\r\nUser=" + std::string(32, 'u') + "\r\n",
         "USER_CANCEL",
         {taken, Refused(kSection, "User", "value longer than 31 characters")},
         NothingWritten},
        {"long-phone",
         "[VrkMprConfigureFirstLink]\r\nPhone=" + std::string(48, '1') + "\r\n",
         "USER_CANCEL",
         {taken, Refused(kSection, "Phone", "value longer than 47 characters")},
         NothingWritten},
        {"missing", "", "USER_CANCEL",
         {"Answer file <file> cannot be read; [VrkMprConfigureFirstLink] ends as if cancelled"}, NothingWritten},
    };
    for (const AnswerCase& c : cases) {
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr");
        RunAnswerCase("VrkMprConfigureFirstLink", kEnter, c);
    }
}

}  // namespace
