// Dialog 143 driven like a person: the records it writes, entry numbers after existing ones, the
// password and its confirmation, and phone numbers the records cannot carry.
#include <gtest/gtest.h>

#include <algorithm>

#include "lang/resource.h"
#include "network_fixture.h"
#include "winhelp_observer.h"

using namespace dialog_robot;
using namespace router_test;

namespace {

const char kIsdnKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\ISDN";
const char kLinkKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\Link";
const char kRoutingKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Ip\\IP_routing";
const char kAsterisks[] = "****************";

// Field n (from 1) of a comma-separated record.
std::string Field(const std::string& record, int n) {
    size_t at = 0;
    for (int i = 1; i < n; ++i) {
        at = record.find(',', at);
        if (at == std::string::npos) return "<missing>";
        ++at;
    }
    return record.substr(at, record.find(',', at) - at);
}

size_t FieldCount(const std::string& record) { return std::count(record.begin(), record.end(), ',') + 1; }

class FirstLinkTest : public ::testing::Test {
protected:
    void SetUp() override { testing_machine::DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr"); }

    HWND Open() {
        HWND dialog = WaitForDialog(RobotLanguageModule(), IDD_FIRST_LINK);
        if (dialog) {
            EXPECT_EQ(kGermanMachine ? "Erste Verbindung zu Ihrem Internet-Anbieter"
                                     : "First link to your Internet provider",
                      WindowText(dialog));
        }
        return dialog;
    }

    void ExpectStopMessage(UINT textId) {
        const MessageBoxSeen seen = AnswerMessageBox(IDOK);
        EXPECT_EQ(LanguageString(textId), seen.text);
        EXPECT_EQ(LanguageString(IDS_MESSAGE_CAPTION), seen.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), seen.icon);
        EXPECT_EQ(static_cast<UINT>(MB_OK), seen.buttons);
    }

    SetupDll dll_;
};

TEST_F(FirstLinkTest, FirstCallWritesEntryOneOfEachRecord) {
    SetupCall call(dll_, "VrkMprConfigureFirstLink", {"0"});
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("", ControlText(dialog, IDC_FIRSTLINK_PHONE));
    EXPECT_TRUE(IsChecked(dialog, IDC_FIRSTLINK_NO_PROTOCOL));
    EXPECT_EQ("", ControlText(dialog, IDC_FIRSTLINK_USER));
    EXPECT_EQ(kAsterisks, ControlText(dialog, IDC_FIRSTLINK_PASSWORD));
    EXPECT_EQ(kAsterisks, ControlText(dialog, IDC_FIRSTLINK_CONFIRM));
    for (const auto& limit : {std::make_pair(IDC_FIRSTLINK_PHONE, 47), std::make_pair(IDC_FIRSTLINK_USER, 31),
                              std::make_pair(IDC_FIRSTLINK_PASSWORD, 31), std::make_pair(IDC_FIRSTLINK_CONFIRM, 31)})
        EXPECT_EQ(limit.second, SendDlgItemMessageA(dialog, limit.first, EM_GETLIMITTEXT, 0, 0)) << limit.first;

    SetControlText(dialog, IDC_FIRSTLINK_PHONE, "1234567");
    Click(dialog, IDC_FIRSTLINK_V110);
    SetControlText(dialog, IDC_FIRSTLINK_USER, "abc");
    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");

    EXPECT_EQ("1,1234567^B_V110,1234567,10000,0x2008,,0,,-1,-1,2,0", ReadString(kIsdnKey, "1"));
    const std::string link = ReadString(kLinkKey, "1");
    EXPECT_EQ("Provider,1,1,0x2854,21610000,7200000,100,0,3,10000,0,0,2,300000,4294967295,0.0.0.0,Internet,,,"
              "oC\\[,,10000,,,255",
              link);
    EXPECT_EQ(25u, FieldCount(link));
    EXPECT_EQ("", Field(link, 21)) << "untouched asterisks on the first call store an empty password";
    EXPECT_EQ("-1,1,1,1,0", ReadString(kRoutingKey, "0.0.0.0,0.0.0.0"));
    const List log = LogMessages();
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "VrkMprConfigureFirstLink ENTER; 0"));
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "VrkMprConfigureFirstLink LEAVE; OK"));
}

TEST_F(FirstLinkTest, NewEntriesFollowTheExistingNumbers) {
    for (const char* name : {"1", "3", "x"}) testing_machine::SetRegString(HKEY_LOCAL_MACHINE, kLinkKey, name, "old");
    // The largest number there is: the next one would wrap to 0; a free one is taken instead.
    for (const char* name : {"1", "4294967295"}) testing_machine::SetRegString(HKEY_LOCAL_MACHINE, kIsdnKey, name, "old");

    SetupCall call(dll_, "VrkMprConfigureFirstLink");
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    SetControlText(dialog, IDC_FIRSTLINK_PHONE, "030 123456");
    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");

    const std::string isdn = ReadString(kIsdnKey, "2");
    EXPECT_EQ("4", Field(isdn, 1));
    EXPECT_EQ("030 123456", Field(isdn, 2));
    EXPECT_EQ("0x8008", Field(isdn, 5));
    EXPECT_EQ("2", Field(ReadString(kLinkKey, "4"), 3));
    EXPECT_EQ("-1,4,1,1,0", ReadString(kRoutingKey, "0.0.0.0,0.0.0.0"));
    for (const char* name : {"1", "3", "x"}) EXPECT_EQ("old", ReadString(kLinkKey, name));
    EXPECT_EQ("old", ReadString(kIsdnKey, "4294967295"));
    EXPECT_FALSE(HasValue(kIsdnKey, "0"));
}

TEST_F(FirstLinkTest, APasswordIsTakenOnlyOnceItIsConfirmed) {
    {
        SetupCall call(dll_, "VrkMprConfigureFirstLink");
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        SetControlText(dialog, IDC_FIRSTLINK_PHONE, "0815");
        Click(dialog, IDC_FIRSTLINK_X75);
        SetControlText(dialog, IDC_FIRSTLINK_USER, "user");
        SetControlText(dialog, IDC_FIRSTLINK_PASSWORD, "secret");
        SetControlText(dialog, IDC_FIRSTLINK_CONFIRM, "secreT");
        Click(dialog, IDOK);
        ExpectStopMessage(IDS_FIRSTLINK_PASSWORD_MISMATCH);
        ASSERT_TRUE(IsWindow(dialog));
        Click(dialog, IDCANCEL);
        ExpectClosedWith(&call, dialog, "USER_CANCEL");
        EXPECT_FALSE(HasValue(kLinkKey, "1"));
    }
    {
        // The same process: what the first call took is shown, the unconfirmed password is not kept.
        SetupCall call(dll_, "VrkMprConfigureFirstLink");
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ("0815", ControlText(dialog, IDC_FIRSTLINK_PHONE));
        EXPECT_TRUE(IsChecked(dialog, IDC_FIRSTLINK_X75));
        EXPECT_EQ("user", ControlText(dialog, IDC_FIRSTLINK_USER));
        EXPECT_EQ(kAsterisks, ControlText(dialog, IDC_FIRSTLINK_PASSWORD));
        Click(dialog, IDOK);
        ExpectClosedWith(&call, dialog, "OK");
        const std::string link = ReadString(kLinkKey, "1");
        EXPECT_EQ("jBX]FG", Field(link, 20));
        EXPECT_EQ("", Field(link, 21));
        EXPECT_EQ("0815^B_X75", Field(ReadString(kIsdnKey, "1"), 2));
        EXPECT_EQ("0x1008", Field(ReadString(kIsdnKey, "1"), 5));
    }
    {
        SetupCall call(dll_, "VrkMprConfigureFirstLink");
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        SetControlText(dialog, IDC_FIRSTLINK_PASSWORD, "geheim");
        SetControlText(dialog, IDC_FIRSTLINK_CONFIRM, "geheim");
        Click(dialog, IDOK);
        ExpectClosedWith(&call, dialog, "OK");
        EXPECT_EQ("nc`PCQWj", Field(ReadString(kLinkKey, "2"), 21));
    }
    {
        // Asterisks left alone keep the confirmed password of the call before.
        SetupCall call(dll_, "VrkMprConfigureFirstLink");
        HWND dialog = Open();
        ASSERT_NE(nullptr, dialog);
        Click(dialog, IDOK);
        ExpectClosedWith(&call, dialog, "OK");
        EXPECT_EQ("nc`PCQWj", Field(ReadString(kLinkKey, "3"), 21));
        EXPECT_EQ("3", Field(ReadString(kLinkKey, "3"), 3));
    }
}

TEST_F(FirstLinkTest, PhoneNumbersWithRecordSeparatorsAreRefused) {
    SetupCall call(dll_, "VrkMprConfigureFirstLink");
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    for (const char* phone : {"0815,4711", "0815^B_X75"}) {
        SetControlText(dialog, IDC_FIRSTLINK_PHONE, phone);
        Click(dialog, IDOK);
        ExpectStopMessage(IDS_FIRSTLINK_BAD_PHONE);
        ASSERT_TRUE(IsWindow(dialog)) << phone;
    }
    EXPECT_FALSE(LanguageString(IDS_FIRSTLINK_BAD_PHONE).empty());
    // Texts longer than the fields, put there past the edit limits, are stored cut to the field.
    SetControlText(dialog, IDC_FIRSTLINK_PHONE, std::string(60, '7'));
    SetControlText(dialog, IDC_FIRSTLINK_USER, std::string(40, 'u'));

    winhelp_observer::WinHelpObserver help;
    ASSERT_TRUE(help.ready());
    Click(dialog, IDHELP);
    ASSERT_TRUE(help.WaitForCalls(1));
    EXPECT_EQ(2010u, help.Calls()[0].data);

    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");
    const std::string isdn = ReadString(kIsdnKey, "1");
    EXPECT_EQ(std::string(47, '7'), Field(isdn, 2));
    EXPECT_EQ(12u, FieldCount(isdn));
    EXPECT_EQ(42u, Field(ReadString(kLinkKey, "1"), 20).size()) << "31 characters scrambled";
}

}  // namespace
