// The WAN dialog driven like a person would: its list lines, enabling and disabling, the
// controller dialog with its limits, the messages when no controller is there or none is in
// use, Cancel, help and the result texts. Built for an English and a German machine.
#include <gtest/gtest.h>

#include "common/language.h"
#include "lang/resource.h"
#include "router/controller_table.h"
#include "router/wan_config.h"
#include "router_fixture.h"
#include "wan_fixture.h"
#include "winhelp_observer.h"

using namespace dialog_robot;
using namespace router_test;
using namespace testing_machine;

namespace {

constexpr ProductId kRouter = kProductMultiprotocolRouter;

class RouterWanTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(MachineWithDriver("two-cards")); }
    void SetUp() override {
        ASSERT_TRUE(testing_capi::ProvisionShape("two-cards"));
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kMprWanParameters);
        ASSERT_TRUE(AttachLanguageModule());
        ASSERT_TRUE(OpenRouterLog());
    }
    HWND Wan() { return WaitForDialog(LanguageModule(), IDD_WAN_CONFIG); }
    HWND Controller() { return WaitForDialog(LanguageModule(), IDD_CONTROLLER); }
};

TEST_F(RouterWanTest, TheListShowsEveryControllerAndOkWritesTheControllerStrings) {
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    EXPECT_EQ(CaptionOf(kRouter, IDS_WAN_CAPTION), WindowText(wan));
    EXPECT_EQ(0, ListSelection(wan, IDC_WAN_LIST));
    EXPECT_TRUE(IsControlVisible(wan, IDC_WAN_X31));
    EXPECT_TRUE(IsControlEnabled(wan, IDC_WAN_X31));
    EXPECT_TRUE(IsControlVisible(wan, IDC_WAN_MODEM));
    EXPECT_FALSE(IsChecked(wan, IDC_WAN_MODEM));
    const std::vector<std::string> lines = ListEntries(wan, IDC_WAN_LIST);
    ASSERT_EQ(3u, lines.size());
    const std::vector<std::string> first = Columns(lines[0]);
    ASSERT_EQ(8u, first.size()) << lines[0];
    EXPECT_EQ("-->\tCAPI1\t  1\t 2/ 2\t", lines[0].substr(0, 20));
    // The manufacturer column lies between the tab stops 134 and 224 and ends before the nickname's.
    const int manufacturerRoom = RoomBefore(wan, 134, 224);
    ExpectCut(GetDlgItem(wan, IDC_WAN_LIST), "Varnek Systems ISDN S0 card", first[4], manufacturerRoom);
    EXPECT_EQ("\t\t0\t", lines[0].substr(20 + first[4].size()));
    const std::vector<std::string> second = Columns(lines[1]);
    ASSERT_EQ(8u, second.size()) << lines[1];
    EXPECT_EQ("-->", second[0]);
    EXPECT_EQ("CAPI2", second[1]);
    EXPECT_EQ("  1", second[2]);
    EXPECT_EQ(" 2/ 2", second[3]);
    ExpectCut(GetDlgItem(wan, IDC_WAN_LIST), "Kamell Software GmbH twin S0 adapter", second[4], manufacturerRoom);
    EXPECT_EQ("Zentrale", second[5]);
    EXPECT_EQ("0301234", second[6]);
    EXPECT_EQ("", second[7]);
    EXPECT_EQ("  2", Columns(lines[2])[2]);

    SelectListEntry(wan, IDC_WAN_LIST, 2);
    Click(wan, IDC_WAN_DISABLE);
    EXPECT_EQ("\tCAPI2\t  2\t 0/ 2",
              WaitForLine(wan, 2, [](const std::string& l) { return l[0] == '\t'; }).substr(0, 16));
    EXPECT_EQ(2, ListSelection(wan, IDC_WAN_LIST));
    SelectListEntry(wan, IDC_WAN_LIST, 0);
    Click(wan, IDC_WAN_DISABLE);
    WaitForLine(wan, 0, [](const std::string& l) { return l[0] == '\t'; });
    Click(wan, IDC_WAN_ENABLE);
    EXPECT_EQ("-->\tCAPI1\t  1\t 2/ 2",
              WaitForLine(wan, 0, [](const std::string& l) { return l[0] == '-'; }).substr(0, 19));
    SetChecked(wan, IDC_WAN_MODEM, true);
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_TRUE(outcome.returned);
    EXPECT_STREQ("OK", outcome.result);

    // The card of the maker whose drivers want IRP_GP has it in its controller string.
    const std::vector<std::string> expected = {"CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;2;0",
                                               "CAPI2;Zentrale;IRP_GP;2.0;2;1;2;0301234"};
    EXPECT_EQ(expected, Strings(kMprWanParameters, "Controllers"));
    DWORD value = 99;
    EXPECT_TRUE(Dword(kMprWanParameters, "Modem", &value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(Dword(ControllerKey(2, 2), "VrkMprEnabled", &value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ("IRP_GP", Text(ControllerKey(2, 2), "VrkMprInterface"));
    EXPECT_EQ("IRP_RW", Text(ControllerKey(1, 1), "VrkMprInterface"));
}

TEST_F(RouterWanTest, TheControllerDialogEditsNicknamePhoneAndChannelsWithinTheirLimits) {
    winhelp_observer::WinHelpObserver help;
    ASSERT_TRUE(help.ready());
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);

    const struct {
        const char* inUse;
        const char* phone;
        const char* shownInUse;
        const char* storedPhone;
    } cases[] = {{"5", "030111", " 2/ 2", "030111"},
                 {"-3", "", " 2/ 2", "0"},
                 {"1", "0301", " 1/ 2", "0301"},
                 {"abc", "0302", " 0/ 2", "0302"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inUse);
        DoubleClickListEntry(wan, IDC_WAN_LIST, 0);
        HWND controller = Controller();
        ASSERT_NE(nullptr, controller);
        EXPECT_EQ(CaptionOf(kRouter, IDS_CONTROLLER_CAPTION), WindowText(controller));
        EXPECT_EQ("CAPI1", ControlText(controller, IDC_CONTROLLER_DEVICE));
        EXPECT_EQ("Varnek Systems ISDN S0 card", ControlText(controller, IDC_CONTROLLER_MANUFACTURER));
        EXPECT_EQ("2", ControlText(controller, IDC_CONTROLLER_CHANNELS));
        EXPECT_FALSE(IsControlVisible(controller, IDC_CONTROLLER_LEASED_LINE)) << "the driver is no CAPI+ driver";
        SetControlText(controller, IDC_CONTROLLER_NICKNAME, "Berlin Mitte");
        SetControlText(controller, IDC_CONTROLLER_PHONE, c.phone);
        SetControlText(controller, IDC_CONTROLLER_IN_USE, c.inUse);
        Click(controller, IDOK);
        ASSERT_TRUE(WaitUntilGone(controller));
        const std::string line =
            WaitForLine(wan, 0, [&](const std::string& l) { return Columns(l)[3] == c.shownInUse; });
        EXPECT_EQ(c.shownInUse, Columns(line)[3]);
        EXPECT_EQ("Berlin Mitte", Columns(line)[5]);
        EXPECT_EQ(c.storedPhone, Columns(line)[6]);
    }

    // A ";" would split the controller string: refused, and the dialog stays.
    for (int field : {IDC_CONTROLLER_NICKNAME, IDC_CONTROLLER_PHONE}) {
        SelectListEntry(wan, IDC_WAN_LIST, 1);
        Click(wan, IDC_WAN_EDIT);
        HWND controller = Controller();
        ASSERT_NE(nullptr, controller);
        EXPECT_EQ("Zentrale", ControlText(controller, IDC_CONTROLLER_NICKNAME));
        EXPECT_EQ("0301234", ControlText(controller, IDC_CONTROLLER_PHONE));
        SetControlText(controller, field, "a;b");
        Click(controller, IDOK);
        const MessageBoxSeen box = AnswerMessageBox(IDOK);
        EXPECT_EQ(LanguageText(IDS_ROUTER_NO_SEMICOLON), box.text);
        EXPECT_EQ(LanguageText(IDS_MESSAGE_CAPTION), box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), box.icon);
        EXPECT_TRUE(IsWindow(controller));
        SetControlText(controller, field, "a,b");
        if (field == IDC_CONTROLLER_PHONE) {
            Click(controller, IDHELP);
            ASSERT_TRUE(help.WaitForCalls(1));
        }
        Click(controller, IDCANCEL);
        ASSERT_TRUE(WaitUntilGone(controller));
    }
    EXPECT_EQ("Zentrale", Columns(ListEntries(wan, IDC_WAN_LIST)[1])[5]) << "Cancel keeps the entry";
    Click(wan, IDHELP);
    ASSERT_TRUE(help.WaitForCalls(2));
    const std::vector<winhelp_observer::HelpCall> calls = help.Calls();
    EXPECT_EQ(static_cast<ULONG_PTR>(IDH_CONTROLLER), calls[0].data);
    EXPECT_EQ(static_cast<ULONG_PTR>(IDH_WAN_CONFIG), calls[1].data);

    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_STREQ("OK", outcome.result);
    DWORD value = 99;
    EXPECT_TRUE(Dword(ControllerKey(1, 1), "VrkMprEnabled", &value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ("Berlin Mitte", Text(ControllerKey(1, 1), "VrkMprNickname"));
    EXPECT_EQ("0302", Text(ControllerKey(1, 1), "VrkMprPhone"));
    EXPECT_EQ("Zentrale", Text(ControllerKey(2, 1), "VrkMprNickname"));
}

TEST_F(RouterWanTest, WithNoControllerInUseOkAsksWhetherToGoBack) {
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    for (int i = 0; i < 3; ++i) {
        SelectListEntry(wan, IDC_WAN_LIST, i);
        Click(wan, IDC_WAN_DISABLE);
        WaitForLine(wan, i, [](const std::string& l) { return l[0] == '\t'; });
    }
    Click(wan, IDOK);
    MessageBoxSeen box = AnswerMessageBox(IDYES);
    EXPECT_EQ(LanguageText(IDS_WAN_NONE_IN_USE), box.text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), box.buttons);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), box.icon);
    // Back in the dialog, the table as it was left.
    wan = Wan();
    ASSERT_NE(nullptr, wan);
    EXPECT_EQ('\t', ListEntries(wan, IDC_WAN_LIST)[0][0]);
    Click(wan, IDOK);
    AnswerMessageBox(IDNO);
    ASSERT_TRUE(call->Wait());
    EXPECT_TRUE(outcome.returned);
    EXPECT_STREQ("NOT_ANY_CONTROLLER", outcome.result);
    DWORD value = 99;
    EXPECT_TRUE(Dword(ControllerKey(1, 1), "VrkMprEnabled", &value)) << "the table is saved all the same";
    EXPECT_EQ(0u, value);
    EXPECT_EQ(std::string(1, '\0'), RawValue(kMprWanParameters, "Controllers"));

    // Back again, this time a controller is enabled before OK.
    call = StartWan(kRouter, &outcome);
    wan = Wan();
    ASSERT_NE(nullptr, wan);
    Click(wan, IDOK);
    AnswerMessageBox(IDYES);
    wan = Wan();
    ASSERT_NE(nullptr, wan);
    SelectListEntry(wan, IDC_WAN_LIST, 1);
    Click(wan, IDC_WAN_ENABLE);
    WaitForLine(wan, 1, [](const std::string& l) { return l[0] == '-'; });
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_STREQ("OK", outcome.result);
    EXPECT_EQ(std::vector<std::string>{"CAPI2;Zentrale;IRP_GP;2.0;2;1;2;0301234"},
              Strings(kMprWanParameters, "Controllers"));
}

TEST_F(RouterWanTest, CancelSavesNothing) {
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kMprWanParameters, "Modem", 1));
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    EXPECT_TRUE(IsChecked(wan, IDC_WAN_MODEM));
    SetChecked(wan, IDC_WAN_MODEM, false);
    Click(wan, IDC_WAN_DISABLE);
    WaitForLine(wan, 0, [](const std::string& l) { return l[0] == '\t'; });
    Click(wan, IDCANCEL);
    ASSERT_TRUE(call->Wait());
    EXPECT_TRUE(outcome.returned);
    EXPECT_STREQ("USER_CANCEL", outcome.result);
    DWORD value = 99;
    EXPECT_TRUE(Dword(kMprWanParameters, "Modem", &value));
    EXPECT_EQ(1u, value);
    EXPECT_FALSE(Dword(ControllerKey(1, 1), "VrkMprEnabled", &value));
    EXPECT_EQ("(missing)", RawValue(kMprWanParameters, "Controllers"));
}

TEST_F(RouterWanTest, NoControllerIsToldAndWritesAnEmptyList) {
    ASSERT_TRUE(testing_capi::ProvisionShape("none"));
    ASSERT_TRUE(
        SetRegString(HKEY_LOCAL_MACHINE, kMprWanParameters, "Controllers", std::string("old\0", 4), REG_MULTI_SZ));
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    const MessageBoxSeen box = AnswerMessageBox(IDOK);
    EXPECT_EQ(LanguageText(IDS_WAN_NO_CONTROLLER), box.text);
    EXPECT_EQ(LanguageText(IDS_MESSAGE_CAPTION), box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), box.buttons);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), box.icon);
    ASSERT_TRUE(call->Wait());
    EXPECT_TRUE(outcome.returned);
    EXPECT_STREQ("NOT_ANY_CONTROLLER", outcome.result);
    EXPECT_EQ(std::string(1, '\0'), RawValue(kMprWanParameters, "Controllers"));
}

TEST_F(RouterWanTest, TheGatewayLineHasNoWanDialog) {
    WanOutcome outcome;
    auto call = StartWan(kProductGateway, &outcome);
    const MessageBoxSeen box = AnswerMessageBox(IDOK);
    char format[512] = "";
    LoadLanguageString(IDS_DIALOG_NOT_CREATED, format, sizeof format);
    char text[1024];
    snprintf(text, sizeof text, format, "WAN-CONFIGURE");
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), box.icon);
    EXPECT_TRUE(box.topmost);
    ASSERT_TRUE(call->Wait());
    EXPECT_FALSE(outcome.returned);
    EXPECT_STREQ("{\"ERROR\",\"ERROR_DLGBOX_NOT_CREATE(WAN-CONFIGURE)\"}", outcome.result);
    bool logged = false;
    for (const std::string& m : LogMessages())
        if (m == "Error DLG Box WAN-CONFIGURE") logged = true;
    EXPECT_TRUE(logged);
}

TEST_F(RouterWanTest, AnOwnerThatIsNoWindowStillShowsTheDialog) {
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome, reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1a2b)));
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    Click(wan, IDCANCEL);
    ASSERT_TRUE(call->Wait());
    EXPECT_STREQ("USER_CANCEL", outcome.result);
}

}  // namespace
