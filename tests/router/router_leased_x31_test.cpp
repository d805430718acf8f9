// The leased-line path of a CAPI+ card and the X.31 dialog, driven by the robot: the controller
// dialog's leased-line box, the switch-over of the driver with its exact bytes, a failing read,
// X.31 switched on and off, and a second controller taking X.31 over.
#include <gtest/gtest.h>

#include "common/language.h"
#include "lang/resource.h"
#include "router/wan_config.h"
#include "router_fixture.h"
#include "wan_fixture.h"
#include "winhelp_observer.h"

using namespace dialog_robot;
using namespace router_test;
using namespace testing_machine;
using testing_capi::CapiControl;

namespace {

constexpr ProductId kRouter = kProductMultiprotocolRouter;

std::string Tei(const std::string& name) { return std::string(kX31Parameters) + "\\" + name; }

std::string LastColumn(const std::string& line) { return Columns(line).back(); }

class RouterLeasedLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MachineWithDriver("capi-plus"));
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kMprWanParameters);
        ASSERT_TRUE(AttachLanguageModule());
        ASSERT_TRUE(OpenRouterLog());
    }
    HWND Wan() { return WaitForDialog(LanguageModule(), IDD_WAN_CONFIG); }
    HWND Controller() { return WaitForDialog(LanguageModule(), IDD_CONTROLLER); }
    // The set requests the driver took, in order.
    std::vector<std::string> SetRequests() {
        std::vector<std::string> sets;
        for (const testing_capi::CapiRequest& r : testing_capi::Requests())
            if (r.what == "write" && r.bytes.size() == 52) sets.push_back(r.result + " " + r.bytes);
        return sets;
    }
    void ExpectNothingOpen() {
        capi_device_state state;
        Eventually([&] { return control.State(0, &state) && state.open_now == 0; }, 2000);
        ASSERT_TRUE(control.State(0, &state));
        EXPECT_EQ(0u, state.open_now);
        EXPECT_EQ(0u, state.registered_now);
        EXPECT_EQ(state.opens, state.closes);
    }
    CapiControl control;
};

TEST_F(RouterLeasedLineTest, LeasedLinesAreChosenInTheControllerDialogAndSwitchedOverOnOk) {
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    std::vector<std::string> lines = ListEntries(wan, IDC_WAN_LIST);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(LeasedLine(), Columns(lines[0])[6]);
    EXPECT_EQ("", LastColumn(lines[0]));
    EXPECT_EQ("0", Columns(lines[1])[6]);
    EXPECT_FALSE(IsControlEnabled(wan, IDC_WAN_X31)) << "the first controller, in the edit buffer, is a leased line";

    DoubleClickListEntry(wan, IDC_WAN_LIST, 1);
    HWND controller = Controller();
    ASSERT_NE(nullptr, controller);
    EXPECT_TRUE(IsControlVisible(controller, IDC_CONTROLLER_LEASED_LINE));
    EXPECT_FALSE(IsChecked(controller, IDC_CONTROLLER_LEASED_LINE));
    EXPECT_TRUE(IsControlEnabled(controller, IDC_CONTROLLER_PHONE));
    EXPECT_EQ("0", ControlText(controller, IDC_CONTROLLER_PHONE));
    EXPECT_EQ("2", ControlText(controller, IDC_CONTROLLER_IN_USE));
    SetChecked(controller, IDC_CONTROLLER_LEASED_LINE, true);
    EXPECT_TRUE(Eventually([&] { return ControlText(controller, IDC_CONTROLLER_PHONE) == LeasedLine(); }));
    EXPECT_FALSE(IsControlEnabled(controller, IDC_CONTROLLER_PHONE));
    EXPECT_EQ("1", ControlText(controller, IDC_CONTROLLER_IN_USE));
    SetChecked(controller, IDC_CONTROLLER_LEASED_LINE, false);
    EXPECT_TRUE(Eventually([&] { return ControlText(controller, IDC_CONTROLLER_PHONE) == "0"; }));
    EXPECT_TRUE(IsControlEnabled(controller, IDC_CONTROLLER_PHONE));
    EXPECT_EQ("2", ControlText(controller, IDC_CONTROLLER_IN_USE));
    SetChecked(controller, IDC_CONTROLLER_LEASED_LINE, true);
    Click(controller, IDOK);
    ASSERT_TRUE(WaitUntilGone(controller));
    const std::string line = WaitForLine(wan, 1, [](const std::string& l) { return Columns(l)[3] == " 1/ 2"; });
    EXPECT_EQ(LeasedLine(), Columns(line)[6]);
    EXPECT_FALSE(IsControlEnabled(wan, IDC_WAN_X31));

    // The first controller shows its leased line; unchecked, its own number and channels come back.
    DoubleClickListEntry(wan, IDC_WAN_LIST, 0);
    controller = Controller();
    ASSERT_NE(nullptr, controller);
    EXPECT_TRUE(IsChecked(controller, IDC_CONTROLLER_LEASED_LINE));
    EXPECT_EQ(LeasedLine(), ControlText(controller, IDC_CONTROLLER_PHONE));
    EXPECT_FALSE(IsControlEnabled(controller, IDC_CONTROLLER_PHONE));
    EXPECT_EQ("1", ControlText(controller, IDC_CONTROLLER_IN_USE));
    SetChecked(controller, IDC_CONTROLLER_LEASED_LINE, false);
    EXPECT_TRUE(Eventually([&] { return ControlText(controller, IDC_CONTROLLER_PHONE) == "0"; }));
    EXPECT_EQ("2", ControlText(controller, IDC_CONTROLLER_IN_USE));
    Click(controller, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(controller));

    testing_journal::ClearJournal();
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_STREQ("OK", outcome.result);
    const std::vector<std::string> sets = {"ok 1A0000001800010000000000000000000102040000000F000000",
                                           "ok 1A0000001800010000000000000000000202040000000F000000"};
    Eventually([&] { return SetRequests() == sets; }, 3000);
    EXPECT_EQ(sets, SetRequests()) << "both controllers, flags 15, the protocol of the accepted query";
    ExpectNothingOpen();
    const std::vector<std::string> controllers = {"CAPIP1;Standleitung;IRP_RW;CapiPlus;1;1;2;0",
                                                  "CAPIP1;Standleitung;IRP_RW;CapiPlus;1;2;1;0"};
    EXPECT_EQ(controllers, Strings(kMprWanParameters, "Controllers"));
    DWORD value = 99;
    EXPECT_TRUE(Dword(ControllerKey(1, 2), "VrkMprCapiPlus", &value));
    EXPECT_EQ(1u, value);
    EXPECT_EQ("0", Text(ControllerKey(1, 2), "VrkMprPhone")) << "the own number stays as it was";
}

TEST_F(RouterLeasedLineTest, AFailingReadStillSwitchesOverWithProtocolOne) {
    ASSERT_TRUE(control.SetFaults(0, CAPI_FAIL_READ));
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    testing_journal::ClearJournal();
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_TRUE(outcome.returned);
    EXPECT_STREQ("OK", outcome.result);
    const std::vector<std::string> sets = {"ok 1A0000001800010000000000000000000102040000000F000100"};
    Eventually([&] { return SetRequests() == sets; }, 3000);
    EXPECT_EQ(sets, SetRequests());
    EXPECT_NE(std::string::npos, RawLog().find("GetParams, read failed with: 21\n\r\n"));
    ExpectNothingOpen();
}

class RouterX31DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(MachineWithDriver("two-cards")); }
    void SetUp() override {
        ASSERT_TRUE(testing_capi::ProvisionShape("two-cards"));
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kX31Parameters);
        ASSERT_TRUE(AttachLanguageModule());
        ASSERT_TRUE(OpenRouterLog());
    }
    HWND Wan() { return WaitForDialog(LanguageModule(), IDD_WAN_CONFIG); }
    HWND X31() { return WaitForDialog(LanguageModule(), IDD_X31_CONFIG); }
    bool Shows(HWND x31, int id, const std::string& text) {
        return Eventually([&] { return ControlText(x31, id) == text; }, 3000);
    }
    void ExpectSettingsShown(HWND x31, bool shown) {
        for (int id : {IDC_X31_ADDRESS, IDC_X31_HIGHEST_TWO_WAY, IDC_X31_WIN_SIZE, IDC_X31_WIN_SIZE_MAX,
                       IDC_X31_PACKET_SIZE, IDC_X31_TEI, IDC_X31_PACKET_SIZE_MAX, IDC_X31_WIN_SIZE_NEG,
                       IDC_X31_PACKET_SIZE_NEG, 1082, 1083, 1084, 1085, 1086, 1087, 1088, 1089, 1090})
            EXPECT_EQ(shown, IsControlVisible(x31, id)) << id;
    }
};

TEST_F(RouterX31DialogTest, X31IsSwitchedOnWithItsRulesAndOffAgain) {
    winhelp_observer::WinHelpObserver help;
    ASSERT_TRUE(help.ready());
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    Click(wan, IDC_WAN_X31);
    HWND x31 = X31();
    ASSERT_NE(nullptr, x31);
    EXPECT_FALSE(IsChecked(x31, IDC_X31_ENABLED));
    ExpectSettingsShown(x31, false);
    EXPECT_EQ(63u, ComboEntries(x31, IDC_X31_TEI).size());
    EXPECT_EQ("63", ComboEntries(x31, IDC_X31_TEI).back());
    EXPECT_EQ((std::vector<std::string>{"128", "256"}), ComboEntries(x31, IDC_X31_PACKET_SIZE_MAX));
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}), ComboEntries(x31, IDC_X31_WIN_SIZE));
    EXPECT_EQ("1", ControlText(x31, IDC_X31_TEI));
    EXPECT_EQ("0", ControlText(x31, IDC_X31_HIGHEST_TWO_WAY));

    SetChecked(x31, IDC_X31_ENABLED, true);
    ASSERT_TRUE(Eventually([&] { return IsControlVisible(x31, IDC_X31_TEI); }));
    ExpectSettingsShown(x31, true);
    EXPECT_FALSE(IsControlEnabled(x31, IDC_X31_PACKET_SIZE));
    EXPECT_FALSE(IsControlEnabled(x31, IDC_X31_PACKET_SIZE_MAX));
    EXPECT_FALSE(IsControlEnabled(x31, IDC_X31_WIN_SIZE_MAX));
    EXPECT_TRUE(IsControlEnabled(x31, IDC_X31_WIN_SIZE));

    // Without negotiation the maximum window follows the window size.
    SelectComboEntry(x31, IDC_X31_WIN_SIZE, "5");
    EXPECT_TRUE(Shows(x31, IDC_X31_WIN_SIZE_MAX, "5"));
    SetChecked(x31, IDC_X31_WIN_SIZE_NEG, true);
    EXPECT_TRUE(Eventually([&] { return IsControlEnabled(x31, IDC_X31_WIN_SIZE_MAX); }));
    SelectComboEntry(x31, IDC_X31_WIN_SIZE_MAX, "3");
    EXPECT_TRUE(Shows(x31, IDC_X31_WIN_SIZE, "3"));
    SelectComboEntry(x31, IDC_X31_WIN_SIZE, "6");
    EXPECT_TRUE(Shows(x31, IDC_X31_WIN_SIZE_MAX, "6"));

    SetChecked(x31, IDC_X31_PACKET_SIZE_NEG, true);
    EXPECT_TRUE(Eventually([&] { return IsControlEnabled(x31, IDC_X31_PACKET_SIZE); }));
    EXPECT_TRUE(IsControlEnabled(x31, IDC_X31_PACKET_SIZE_MAX));
    SelectComboEntry(x31, IDC_X31_PACKET_SIZE, "256");
    EXPECT_TRUE(Shows(x31, IDC_X31_PACKET_SIZE_MAX, "256"));
    SelectComboEntry(x31, IDC_X31_PACKET_SIZE_MAX, "128");
    EXPECT_TRUE(Shows(x31, IDC_X31_PACKET_SIZE, "128"));
    SelectComboEntry(x31, IDC_X31_PACKET_SIZE, "256");
    EXPECT_TRUE(Shows(x31, IDC_X31_PACKET_SIZE_MAX, "256"));

    SelectComboEntry(x31, IDC_X31_TEI, "12");
    SetControlText(x31, IDC_X31_HIGHEST_TWO_WAY, "100");
    SetControlText(x31, IDC_X31_ADDRESS, "4500;1");
    Click(x31, IDOK);
    const MessageBoxSeen box = AnswerMessageBox(IDOK);
    EXPECT_EQ(LanguageText(IDS_ROUTER_NO_SEMICOLON), box.text);
    EXPECT_TRUE(IsWindow(x31));
    SetControlText(x31, IDC_X31_ADDRESS, "45001234");
    Click(x31, IDHELP);
    ASSERT_TRUE(help.WaitForCalls(1));
    EXPECT_EQ(static_cast<ULONG_PTR>(IDH_X31_CONFIG), help.Calls()[0].data);
    Click(x31, IDOK);
    ASSERT_TRUE(WaitUntilGone(x31));
    EXPECT_EQ("x", LastColumn(WaitForLine(wan, 0, [](const std::string& l) { return LastColumn(l) == "x"; })));
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_STREQ("OK", outcome.result);

    EXPECT_EQ(std::vector<std::string>{"CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;63;12;45001234"},
              Strings(kX31Parameters, "TEIs"));
    const struct {
        const char* name;
        DWORD value;
    } values[] = {{"Ch_HTC", 63},    {"PacketSizeNeg", 1}, {"PacketSize", 256}, {"PacketSizeMax", 256},
                  {"WinSizeNeg", 1}, {"WinSize", 6},       {"WinSizeMax", 6},   {"VrkMprEnabled", 1}};
    for (const auto& v : values) {
        DWORD value = 99;
        EXPECT_TRUE(Dword(Tei("TEI12"), v.name, &value)) << v.name;
        EXPECT_EQ(v.value, value) << v.name;
    }
    EXPECT_EQ("45001234", Text(Tei("TEI12"), "X25Address"));

    // The next run shows the record again; switched off, the active line is emptied.
    call = StartWan(kRouter, &outcome);
    wan = Wan();
    ASSERT_NE(nullptr, wan);
    EXPECT_EQ("x", LastColumn(ListEntries(wan, IDC_WAN_LIST)[0]));
    Click(wan, IDC_WAN_X31);
    x31 = X31();
    ASSERT_NE(nullptr, x31);
    EXPECT_TRUE(IsChecked(x31, IDC_X31_ENABLED));
    EXPECT_EQ("12", ControlText(x31, IDC_X31_TEI));
    EXPECT_EQ("63", ControlText(x31, IDC_X31_HIGHEST_TWO_WAY));
    EXPECT_EQ("45001234", ControlText(x31, IDC_X31_ADDRESS));
    EXPECT_EQ("6", ControlText(x31, IDC_X31_WIN_SIZE_MAX));
    SetChecked(x31, IDC_X31_ENABLED, false);
    ASSERT_TRUE(Eventually([&] { return !IsControlVisible(x31, IDC_X31_TEI); }));
    ExpectSettingsShown(x31, false);
    Click(x31, IDOK);
    ASSERT_TRUE(WaitUntilGone(x31));
    EXPECT_EQ("", LastColumn(WaitForLine(wan, 0, [](const std::string& l) { return LastColumn(l).empty(); })));
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_EQ(std::string(1, '\0'), RawValue(kX31Parameters, "TEIs"));
    DWORD value = 99;
    EXPECT_TRUE(Dword(Tei("TEI12"), "VrkMprEnabled", &value));
    EXPECT_EQ(0u, value);
}

TEST_F(RouterX31DialogTest, AnotherControllerTakesX31OverOnlyWhenItsDialogEndsWithOk) {
    const std::string t5 = Tei("TEI5");
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, t5, "DeviceName", "CAPI1"));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, t5, "Ch_HTC", 4));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, t5, "VrkMprEnabled", 1));
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    EXPECT_EQ("x", LastColumn(ListEntries(wan, IDC_WAN_LIST)[0]));

    SelectListEntry(wan, IDC_WAN_LIST, 1);
    Click(wan, IDC_WAN_X31);
    MessageBoxSeen box = AnswerMessageBox(IDNO);
    EXPECT_EQ(LanguageText(IDS_WAN_X31_TAKE_OVER), box.text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), box.buttons);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), box.icon);
    Click(wan, IDC_WAN_X31);
    AnswerMessageBox(IDYES);
    HWND x31 = X31();
    ASSERT_NE(nullptr, x31);
    EXPECT_FALSE(IsChecked(x31, IDC_X31_ENABLED)) << "a new record, with the defaults";
    Click(x31, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(x31));
    Pump(200);
    std::vector<std::string> lines = ListEntries(wan, IDC_WAN_LIST);
    EXPECT_EQ("x", LastColumn(lines[0])) << "Cancel keeps the other controller's X.31 settings";
    EXPECT_EQ("", LastColumn(lines[1]));
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_EQ(std::vector<std::string>{"CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;4;5;"}, Strings(kX31Parameters, "TEIs"));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, Tei("TEI1")));

    // Taken over with OK: the new record switched off through message 25, the old one gone.
    call = StartWan(kRouter, &outcome);
    wan = Wan();
    ASSERT_NE(nullptr, wan);
    SelectListEntry(wan, IDC_WAN_LIST, 2);
    Click(wan, IDC_WAN_X31);
    AnswerMessageBox(IDYES);
    x31 = X31();
    ASSERT_NE(nullptr, x31);
    SetChecked(x31, IDC_X31_ENABLED, true);
    SetControlText(x31, IDC_X31_HIGHEST_TWO_WAY, "0");
    Click(x31, IDOK);
    box = AnswerMessageBox(IDYES);
    EXPECT_EQ(LanguageText(IDS_X31_NO_CHANNELS), box.text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), box.buttons);
    Pump(200);
    EXPECT_TRUE(IsWindow(x31)) << "Yes goes back to the dialog";
    Click(x31, IDOK);
    AnswerMessageBox(IDNO);
    ASSERT_TRUE(WaitUntilGone(x31));
    WaitForLine(wan, 0, [](const std::string& l) { return LastColumn(l).empty(); });
    lines = ListEntries(wan, IDC_WAN_LIST);
    EXPECT_EQ("", LastColumn(lines[0]));
    EXPECT_EQ("", LastColumn(lines[2])) << "switched off";
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_EQ(std::string(1, '\0'), RawValue(kX31Parameters, "TEIs"));
    DWORD value = 99;
    EXPECT_TRUE(Dword(Tei("TEI1"), "VrkMprEnabled", &value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ("CAPI2", Text(Tei("TEI1"), "DeviceName"));
    EXPECT_TRUE(Dword(Tei("TEI1"), "Controller", &value));
    EXPECT_EQ(2u, value);
    EXPECT_TRUE(Dword(t5, "VrkMprEnabled", &value));
    EXPECT_EQ(0u, value);
}

TEST_F(RouterX31DialogTest, StoredValuesOutsideTheListsSelectTheDefaults) {
    const std::string t9 = Tei("TEI9");
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, t9, "DeviceName", "CAPI1"));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, t9, "Ch_HTC", 4));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, t9, "VrkMprEnabled", 1));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, t9, "PacketSize", 512));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, t9, "PacketSizeMax", 1024));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, t9, "WinSize", 9));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, t9, "WinSizeMax", 9));
    WanOutcome outcome;
    auto call = StartWan(kRouter, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    Click(wan, IDC_WAN_X31);
    HWND x31 = X31();
    ASSERT_NE(nullptr, x31);
    EXPECT_EQ("9", ControlText(x31, IDC_X31_TEI));
    EXPECT_EQ("128", ControlText(x31, IDC_X31_PACKET_SIZE));
    EXPECT_EQ("128", ControlText(x31, IDC_X31_PACKET_SIZE_MAX));
    EXPECT_EQ("2", ControlText(x31, IDC_X31_WIN_SIZE));
    EXPECT_EQ("2", ControlText(x31, IDC_X31_WIN_SIZE_MAX));
    Click(x31, IDOK);
    ASSERT_TRUE(WaitUntilGone(x31));
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    DWORD value = 0;
    EXPECT_TRUE(Dword(t9, "PacketSize", &value));
    EXPECT_EQ(128u, value) << "OK stores what the dialog showed";
    EXPECT_TRUE(Dword(t9, "WinSizeMax", &value));
    EXPECT_EQ(2u, value);
}

}  // namespace
