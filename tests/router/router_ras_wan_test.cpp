// The remote-access line's WAN configuration (controller strings, TAPI addresses in the volatile
// device map) and both exports of VRKSUDLL.DLL called as the INF setup engine calls them.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/language.h"
#include "lang/resource.h"
#include "router/controller_table.h"
#include "router/wan_config.h"
#include "router_fixture.h"
#include "wan_fixture.h"

using namespace dialog_robot;
using namespace router_test;
using namespace testing_machine;

namespace {

constexpr ProductId kRas = kProductRemoteAccess;
const char kSetupLog[] = "c:\\temp\\setup.log";

class RouterRasWanTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(MachineWithDriver("one-card")); }
    void SetUp() override {
        ASSERT_TRUE(testing_capi::ProvisionShape("one-card"));
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kRasParameters);
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kTapiKey);
        ASSERT_TRUE(AttachLanguageModule());
        ASSERT_TRUE(OpenRouterLog());
    }
    HWND Wan() { return WaitForDialog(LanguageModule(), IDD_WAN_CONFIG); }
    // An existing TAPI key, made the only way HKLM\HARDWARE allows: volatile.
    void MakeTapiKey() {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTapiKey, 0, nullptr, REG_OPTION_VOLATILE,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegSetValueExA(key, "Media Type", 0, REG_SZ, reinterpret_cast<const BYTE*>("ISDN"), 5);
        RegCloseKey(key);
    }
};

TEST_F(RouterRasWanTest, TheRemoteAccessLineGetsOneTapiAddressPerChannel) {
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kRasParameters, "AdapterNumber", 3));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, std::string(kX31Parameters) + "\\TEI4", "VrkMprEnabled", 1));
    WanOutcome outcome;
    auto call = StartWan(kRas, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    EXPECT_EQ(CaptionOf(kRas, IDS_WAN_CAPTION), WindowText(wan));
    for (int id : {IDC_WAN_X31_LABEL, IDC_WAN_X31, IDC_WAN_MODEM}) EXPECT_FALSE(IsControlVisible(wan, id)) << id;
    DoubleClickListEntry(wan, IDC_WAN_LIST, 0);
    HWND controller = WaitForDialog(LanguageModule(), IDD_CONTROLLER);
    ASSERT_NE(nullptr, controller);
    SetControlText(controller, IDC_CONTROLLER_IN_USE, "1");
    Click(controller, IDOK);
    ASSERT_TRUE(WaitUntilGone(controller));
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_STREQ("OK", outcome.result);
    // Channels, not the channels in use.
    EXPECT_EQ((std::vector<std::string>{"3-0-0", "3-1-0"}), Strings(kTapiKey, "Address"));
    EXPECT_EQ("ISDN", Text(kTapiKey, "Media Type"));
    EXPECT_EQ(std::vector<std::string>{"CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;1;0"}, Strings(kRasParameters, "Controllers"));
    DWORD value = 99;
    EXPECT_TRUE(Dword(ControllerKey(1, 1), "VrkRasEnabled", &value));
    EXPECT_EQ(1u, value);
    EXPECT_FALSE(Dword(ControllerKey(1, 1), "VrkRasCapiPlus", &value));
    EXPECT_TRUE(Dword(kMprWanParameters, "Modem", &value)) << "written also where the box is hidden";
    EXPECT_EQ(0u, value);
    EXPECT_TRUE(Dword(std::string(kX31Parameters) + "\\TEI4", "VrkMprEnabled", &value));
    EXPECT_EQ(1u, value) << "the remote-access line leaves X.31 alone";
    EXPECT_EQ("(missing)", RawValue(kMprWanParameters, "Controllers"));

    // No controller in use: the addresses go with their key.
    call = StartWan(kRas, &outcome);
    wan = Wan();
    ASSERT_NE(nullptr, wan);
    Click(wan, IDC_WAN_DISABLE);
    WaitForLine(wan, 0, [](const std::string& l) { return l[0] == '\t'; });
    Click(wan, IDOK);
    AnswerMessageBox(IDNO);
    ASSERT_TRUE(call->Wait());
    EXPECT_STREQ("NOT_ANY_CONTROLLER", outcome.result);
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kTapiKey));
    EXPECT_EQ(std::string(1, '\0'), RawValue(kRasParameters, "Controllers"));
}

TEST_F(RouterRasWanTest, NoControllerDeletesTheTapiKey) {
    MakeTapiKey();
    ASSERT_TRUE(testing_capi::ProvisionShape("none"));
    WanOutcome outcome;
    auto call = StartWan(kRas, &outcome);
    EXPECT_EQ(LanguageText(IDS_WAN_NO_CONTROLLER), AnswerMessageBox(IDOK).text);
    ASSERT_TRUE(call->Wait());
    EXPECT_TRUE(outcome.returned);
    EXPECT_STREQ("NOT_ANY_CONTROLLER", outcome.result);
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kTapiKey));
    EXPECT_EQ(std::string(1, '\0'), RawValue(kRasParameters, "Controllers"));
}

TEST_F(RouterRasWanTest, AFullTableWritesListsLongerThan1024BytesWhole) {
    ASSERT_TRUE(testing_capi::ProvisionShape("none"));
    for (int card = 1; card <= 32; ++card) {
        const std::string key = "SOFTWARE\\CAPI20\\" + std::to_string(card);
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, key, "DeviceName", "CAPI" + std::to_string(card)));
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, key, "NumberOfControllers", 1));
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(card, 1), "Channels", 30));
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, ControllerKey(card, 1), "VrkRasNickname",
                                 "Standort " + std::to_string(card)));
    }
    WanOutcome outcome;
    auto call = StartWan(kRas, &outcome);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    EXPECT_EQ(32u, ListEntries(wan, IDC_WAN_LIST).size());
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait(30000));
    const std::vector<std::string> controllers = Strings(kRasParameters, "Controllers");
    ASSERT_EQ(32u, controllers.size());
    EXPECT_NE(controllers.end(),
              std::find(controllers.begin(), controllers.end(), "CAPI32;Standort 32;IRP_RW;2.0;32;1;30;0"));
    EXPECT_GT(RawValue(kRasParameters, "Controllers").size(), 1024u);
    const std::vector<std::string> addresses = Strings(kTapiKey, "Address");
    ASSERT_EQ(960u, addresses.size());
    EXPECT_EQ("0-959-0", addresses.back());
}

// The exports in the setup engine's stand-in, in a process of their own.
class RouterWanExportTest : public RouterRasWanTest {
protected:
    void SetUp() override {
        RouterRasWanTest::SetUp();
        DeleteFileA(kSetupLog);
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kSetupKey);
    }
    std::unique_ptr<BackgroundCall> Host(const std::string& arguments, ProgramResult* result) {
        const std::string command = "C:\\testbed\\host.exe \"" + MakerDirectory() + "\\VRKSUDLL.DLL\" " + arguments;
        return std::make_unique<BackgroundCall>([=] {
            *result = RunProgram(command);
            return static_cast<INT_PTR>(result->exitCode);
        });
    }
    bool SetupLogHas(const std::string& message) {
        for (const std::string& line : SplitLines(ReadFileBytes(kSetupLog)))
            if (line.size() > 31 && line.substr(31) == message) return true;
        return false;
    }
};

TEST_F(RouterWanExportTest, BothExportsRunTheWanConfigurationWithTheirResultTexts) {
    ProgramResult r;
    auto call = Host("VrkMprWanConfig 1a2b", &r);
    HWND wan = Wan();
    ASSERT_NE(nullptr, wan);
    EXPECT_EQ(CaptionOf(kProductMultiprotocolRouter, IDS_WAN_CAPTION), WindowText(wan));
    Click(wan, IDCANCEL);
    ASSERT_TRUE(call->Wait(30000));
    EXPECT_EQ("VrkMprWanConfig returned TRUE; result USER_CANCEL\r\n", r.out);
    EXPECT_TRUE(SetupLogHas("VrkMprWanConfig ENTER; wnd=1a2b")) << ReadFileBytes(kSetupLog);
    EXPECT_TRUE(SetupLogHas("VrkMprWanConfig LEAVE; USER_CANCEL"));

    call = Host("VrkMprWanConfig 0", &r);
    wan = Wan();
    ASSERT_NE(nullptr, wan);
    Click(wan, IDOK);
    ASSERT_TRUE(call->Wait(30000));
    EXPECT_EQ("VrkMprWanConfig returned TRUE; result OK\r\n", r.out);
    EXPECT_EQ(std::vector<std::string>{"CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;2;0"},
              Strings(kMprWanParameters, "Controllers"));

    ASSERT_TRUE(testing_capi::ProvisionShape("none"));
    call = Host("VrkRasWanConfig 10", &r);
    EXPECT_EQ(LanguageText(IDS_WAN_NO_CONTROLLER), AnswerMessageBox(IDOK).text);
    ASSERT_TRUE(call->Wait(30000));
    EXPECT_EQ("VrkRasWanConfig returned TRUE; result NOT_ANY_CONTROLLER\r\n", r.out);
    EXPECT_TRUE(SetupLogHas("VrkRasWanConfig ENTER; wnd=10"));
    EXPECT_TRUE(SetupLogHas("VrkRasWanConfig LEAVE; NOT_ANY_CONTROLLER"));
}

// Gives the key the DACL; a null one lets everyone do everything again.
LONG SetKeyDacl(const char* keyPath, PACL dacl) {
    HKEY key = nullptr;
    LONG r = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, WRITE_DAC, &key);
    if (r != ERROR_SUCCESS) return r;
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, dacl, FALSE);
    r = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
    RegCloseKey(key);
    return r;
}

TEST_F(RouterRasWanTest, ATapiKeyThatCannotBeOpenedIsLoggedWithTheRegistrysOwnStatus) {
    // The TAPI key with a DACL of no entries: no one may open it for writing.
    MakeTapiKey();
    ACL none;
    ASSERT_TRUE(InitializeAcl(&none, sizeof none, ACL_REVISION));
    ASSERT_EQ(ERROR_SUCCESS, SetKeyDacl(kTapiKey, &none));
    HKEY made = nullptr;
    const LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTapiKey, 0, nullptr, REG_OPTION_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &made, nullptr);
    if (status == ERROR_SUCCESS) RegCloseKey(made);

    LoadControllerTable(kRas);
    ASSERT_EQ(1, ControllerCount());
    // A last error that the registry functions leave alone, as they always do.
    SetLastError(ERROR_INVALID_DATA);
    WriteControllerStrings(kRas);
    EXPECT_EQ(ERROR_SUCCESS, SetKeyDacl(kTapiKey, nullptr));
    ASSERT_NE(ERROR_SUCCESS, status);
    const std::string expected = "Can't create " + std::string(kTapiKey) + " (" + std::to_string(status) + ")";
    const std::vector<std::string> log = LogMessages();
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), expected)) << RawLog();
    EXPECT_EQ(std::vector<std::string>{"CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;2;0"}, Strings(kRasParameters, "Controllers"))
        << "the controller strings are written all the same";
}

}  // namespace
