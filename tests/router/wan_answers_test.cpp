// VrkMprWanConfig and VrkRasWanConfig taking their answers from an answer file: the controller
// settings, the X.31 settings reached from the WAN dialog, the questions answered by keys, and
// every answer the dialogs would refuse, each with its logged text and the result of a Cancel.
#include <gtest/gtest.h>

#include "answers_fixture.h"
#include "capi_driver.h"
#include "dialog_robot.h"
#include "lang/resource.h"

using namespace router_test;
using namespace testing_machine;

namespace {

const char kWanParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprWan\\Parameters";
const char kRasParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters";
const char kX31Parameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprX31\\Parameters";
const char kTapiKey[] = "HARDWARE\\DEVICEMAP\\TAPI DEVICES\\VrkRas";
const char kMpr[] = "VrkMprWanConfig";
const char kRas[] = "VrkRasWanConfig";
const char kMprEnter[] = "VrkMprWanConfig ENTER; wnd=0";
const char kRasEnter[] = "VrkRasWanConfig ENTER; wnd=0";

std::string Controller(int card, int index) {
    return "SOFTWARE\\CAPI20\\" + std::to_string(card) + "\\" + std::to_string(index);
}

// Nothing of the WAN configuration was saved.
void NothingSaved() {
    EXPECT_FALSE(HasValue(kWanParameters, "Controllers"));
    EXPECT_FALSE(HasValue(kWanParameters, "Modem"));
    EXPECT_FALSE(HasValue(Controller(1, 1), "VrkMprEnabled"));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kX31Parameters));
}

class WanAnswersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(testing_capi::ProvisionShape("two-cards"));
        ASSERT_TRUE(testing_capi::StartDriver());
    }
    void Fresh(const char* shape) {
        ASSERT_TRUE(testing_capi::ProvisionShape(shape));
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kWanParameters);
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kRasParameters);
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kX31Parameters);
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kTapiKey);
    }
};

TEST_F(WanAnswersTest, TheRouterTakesItsAnswersOrRefusesThemAsTheDialogsWould) {
    const std::string noSemicolon = MessageLine(IDS_ROUTER_NO_SEMICOLON);
    const AnswerCase cases[] = {
        {"good",
         "[VrkMprWanConfig]\r\nModem=yes\r\nController1.1.Nickname=Berlin\r\nController1.1.Phone=0301\r\n"
         "Controller1.1.Channels=1\r\nController2.2.Channels=0\r\nX31Controller=1.1\r\nX31Enabled=yes\r\n"
         "X31Address=4500\r\nX31HighestTwoWayChannel=8\r\nX31TEI=5\r\nX31WindowSize=5\r\n",
         "OK",
         {"[VrkMprWanConfig] answers taken from <file>"},
         [] {
             EXPECT_EQ((List{"CAPI1;Berlin;IRP_RW;2.0;1;1;1;0301", "CAPI2;Zentrale;IRP_GP;2.0;2;1;2;0301234"}),
                       ReadList(kWanParameters, "Controllers"));
             EXPECT_EQ(1u, ReadDword(kWanParameters, "Modem"));
             EXPECT_EQ(0u, ReadDword(Controller(2, 2), "VrkMprEnabled"));
             const std::string tei = std::string(kX31Parameters) + "\\TEI5";
             EXPECT_EQ("4500", ReadString(tei, "X25Address"));
             EXPECT_EQ(8u, ReadDword(tei, "Ch_HTC"));
             // The maximum window size follows the size while it is not negotiated.
             EXPECT_EQ(5u, ReadDword(tei, "WinSize"));
             EXPECT_EQ(5u, ReadDword(tei, "WinSizeMax"));
             EXPECT_EQ(1u, ReadDword(tei, "VrkMprEnabled"));
             EXPECT_EQ(List{"CAPI1;Berlin;IRP_RW;2.0;1;1;8;5;4500"}, ReadList(kX31Parameters, "TEIs"));
         }},
        // An empty section takes the dialog's OK on what the machine has (controller 2.2 has the
        // nickname and phone of 2.1, as the table loads a card's second controller).
        {"empty",
         "[VrkMprWanConfig]\r\n",
         "OK",
         {"[VrkMprWanConfig] answers taken from <file>"},
         [] {
             EXPECT_EQ((List{"CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;2;0", "CAPI2;Zentrale;IRP_GP;2.0;2;1;2;0301234",
                              "CAPI2;Zentrale;IRP_GP;2.0;2;2;2;0301234"}),
                       ReadList(kWanParameters, "Controllers"));
             EXPECT_EQ(0u, ReadDword(kWanParameters, "Modem"));
         }},
        {"unknown",
         "[VrkMprWanConfig]\r\nColour=red\r\nController1.1.Colour=blue\r\nController1.1.Channels=0\r\n",
         "OK",
         {"[VrkMprWanConfig] answers taken from <file>", "[VrkMprWanConfig] Colour: unknown key, ignored",
          "[VrkMprWanConfig] Controller1.1.Colour: unknown key, ignored"},
         [] { EXPECT_EQ(2u, ReadList(kWanParameters, "Controllers").size()); }},
        {"semicolon",
         "[VrkMprWanConfig]\r\nController2.1.Nickname=Zentrale;Nord\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "Controller2.1.Nickname", noSemicolon)},
         NothingSaved},
        {"phone-semicolon",
         "[VrkMprWanConfig]\r\nController1.1.Phone=1;2\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>", Refused(kMpr, "Controller1.1.Phone", noSemicolon)},
         NothingSaved},
        {"range",
         "[VrkMprWanConfig]\r\nController1.1.Channels=3\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "Controller1.1.Channels", "not a number from 0 to 2")},
         NothingSaved},
        {"long",
         "[VrkMprWanConfig]\r\nController1.1.Nickname=" + std::string(32, 'n') + "\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "Controller1.1.Nickname", "value longer than 31 characters")},
         NothingSaved},
        {"toolong",
         "[VrkMprWanConfig]\r\nX31Address=" + std::string(1200, '4') + "\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "X31Address", "X31Controller names no controller")},
         NothingSaved},
        {"lacking",
         "[VrkMprWanConfig]\r\nController3.1.Channels=1\r\nController1.1.Channels=1\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "Controller3.1.Channels", "no such controller on this machine")},
         NothingSaved},
        {"x31-lacking",
         "[VrkMprWanConfig]\r\nX31Controller=2.3\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "X31Controller", "no such controller on this machine")},
         NothingSaved},
        {"leased",
         "[VrkMprWanConfig]\r\nController1.1.LeasedLine=yes\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "Controller1.1.LeasedLine", "the controller's driver offers no leased line")},
         NothingSaved},
        {"packet",
         "[VrkMprWanConfig]\r\nX31Controller=1.1\r\nX31Enabled=yes\r\nX31HighestTwoWayChannel=2\r\n"
         "X31PacketSize=256\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "X31PacketSize", "offered only with X31PacketSizeNegotiation = yes")},
         NothingSaved},
        {"packet-negotiated",
         "[VrkMprWanConfig]\r\nX31Controller=1.1\r\nX31Enabled=yes\r\nX31HighestTwoWayChannel=100\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "X31HighestTwoWayChannel", "not a number from 0 to 63")},
         NothingSaved},
        {"sizes",
         "[VrkMprWanConfig]\r\nX31Controller=2.1\r\nX31Enabled=yes\r\nX31HighestTwoWayChannel=3\r\n"
         "X31PacketSizeNegotiation=yes\r\nX31PacketSize=256\r\nX31WindowSizeNegotiation=yes\r\n"
         "X31WindowSize=6\r\nX31WindowSizeMax=4\r\nX31TEI=0x3F\r\n",
         "OK",
         {"[VrkMprWanConfig] answers taken from <file>"},
         [] {
             const std::string tei = std::string(kX31Parameters) + "\\TEI63";
             // A packet size raises its maximum; a lower maximum window size lowers the size.
             EXPECT_EQ(256u, ReadDword(tei, "PacketSize"));
             EXPECT_EQ(256u, ReadDword(tei, "PacketSizeMax"));
             EXPECT_EQ(4u, ReadDword(tei, "WinSize"));
             EXPECT_EQ(4u, ReadDword(tei, "WinSizeMax"));
             EXPECT_EQ(List{"CAPI2;Zentrale;IRP_GP;2.0;2;1;3;63;"}, ReadList(kX31Parameters, "TEIs"));
         }},
        {"size-value",
         "[VrkMprWanConfig]\r\nX31Controller=1.1\r\nX31PacketSizeNegotiation=yes\r\nX31PacketSize=200\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>", Refused(kMpr, "X31PacketSize", "not one of 128 and 256")},
         NothingSaved},
        {"x31-no-channels",
         "[VrkMprWanConfig]\r\nX31Controller=1.1\r\nX31Enabled=yes\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "X31SwitchOffWithoutChannels", MessageLine(IDS_X31_NO_CHANNELS))},
         NothingSaved},
        {"x31-switched-off",
         "[VrkMprWanConfig]\r\nX31Controller=1.1\r\nX31Enabled=yes\r\nX31SwitchOffWithoutChannels=yes\r\n",
         "OK",
         {"[VrkMprWanConfig] answers taken from <file>"},
         [] {
             EXPECT_EQ(0u, ReadDword(std::string(kX31Parameters) + "\\TEI1", "VrkMprEnabled"));
             EXPECT_EQ(List{}, ReadList(kX31Parameters, "TEIs"));
         }},
        {"none-in-use",
         "[VrkMprWanConfig]\r\nController1.1.Channels=0\r\nController2.1.Channels=0\r\n"
         "Controller2.2.Channels=0\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>",
          Refused(kMpr, "SaveWithoutController", MessageLine(IDS_WAN_NONE_IN_USE))},
         [] {
             // The WAN dialog's OK writes the modem flag before the question comes.
             EXPECT_EQ(0u, ReadDword(kWanParameters, "Modem"));
             EXPECT_FALSE(HasValue(kWanParameters, "Controllers"));
             EXPECT_FALSE(HasValue(Controller(1, 1), "VrkMprEnabled"));
         }},
        {"none-in-use-saved",
         "[VrkMprWanConfig]\r\nController1.1.Channels=0\r\nController2.1.Channels=0\r\n"
         "Controller2.2.Channels=0\r\nSaveWithoutController=yes\r\n",
         "NOT_ANY_CONTROLLER",
         {"[VrkMprWanConfig] answers taken from <file>"},
         [] {
             EXPECT_EQ(List{}, ReadList(kWanParameters, "Controllers"));
             EXPECT_EQ(0u, ReadDword(Controller(1, 1), "VrkMprEnabled"));
         }},
        {"bad-yes",
         "[VrkMprWanConfig]\r\nModem=perhaps\r\n",
         "USER_CANCEL",
         {"[VrkMprWanConfig] answers taken from <file>", Refused(kMpr, "Modem", "not yes or no")},
         NothingSaved},
        {"missing", "", "USER_CANCEL",
         {"Answer file <file> cannot be read; [VrkMprWanConfig] ends as if cancelled"}, NothingSaved},
    };
    for (const AnswerCase& c : cases) {
        Fresh("two-cards");
        RunAnswerCase("VrkMprWanConfig", kMprEnter, c);
    }
}

TEST_F(WanAnswersTest, X31MovesToAnotherControllerOnlyWhenTheQuestionIsAnsweredYes) {
    const std::string tei3 = std::string(kX31Parameters) + "\\TEI3";
    auto withRecord = [&] {
        Fresh("two-cards");
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, tei3, "DeviceName", "CAPI2"));
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, tei3, "Ch_HTC", 4));
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, tei3, "VrkMprEnabled", 1));
    };
    const std::string answers = "[VrkMprWanConfig]\r\nX31Controller=1.1\r\nX31Enabled=yes\r\n"
                                "X31HighestTwoWayChannel=2\r\nX31TEI=7\r\n";
    // Unanswered, the question gets No: the record stays with controller 2.1, the rest is saved.
    withRecord();
    RunAnswerCase("VrkMprWanConfig", kMprEnter,
                  {"keep", answers, "OK",
                   {"[VrkMprWanConfig] answers taken from <file>",
                    "[VrkMprWanConfig] X31TakeOver: " + MessageLine(IDS_WAN_X31_TAKE_OVER) + "; not answered"},
                   [&] {
                       EXPECT_EQ(List{"CAPI2;Zentrale;IRP_GP;2.0;2;1;4;3;"}, ReadList(kX31Parameters, "TEIs"));
                       EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kX31Parameters) + "\\TEI7"));
                   }});
    withRecord();
    RunAnswerCase("VrkMprWanConfig", kMprEnter,
                  {"take", answers + "X31TakeOver=yes\r\n", "OK",
                   {"[VrkMprWanConfig] answers taken from <file>"},
                   [&] {
                       EXPECT_EQ(List{"CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;2;7;"}, ReadList(kX31Parameters, "TEIs"));
                       EXPECT_EQ(0u, ReadDword(tei3, "VrkMprEnabled"));
                   }});
}

TEST_F(WanAnswersTest, ALeasedLineIsAnsweredOnlyWhereTheDriverOffersOne) {
    Fresh("capi-plus");
    ASSERT_TRUE(testing_capi::StartDriver());
    RunAnswerCase("VrkMprWanConfig", kMprEnter,
                  {"leased-phone", "[VrkMprWanConfig]\r\nController1.1.Phone=0301\r\n", "USER_CANCEL",
                   {"[VrkMprWanConfig] answers taken from <file>",
                    Refused(kMpr, "Controller1.1.Phone", "a leased line has no phone number")},
                   NothingSaved});
    Fresh("capi-plus");
    RunAnswerCase("VrkMprWanConfig", kMprEnter,
                  {"leased-off",
                   "[VrkMprWanConfig]\r\nController1.1.LeasedLine=no\r\nController1.1.Phone=0301\r\n"
                   "Controller1.2.LeasedLine=yes\r\nController1.2.Nickname=Strecke\r\n",
                   "OK",
                   {"[VrkMprWanConfig] answers taken from <file>"},
                   [] {
                       // Taken off the leased line, the controller shows the channels it had in use;
                       // put on one, it uses one.
                       EXPECT_EQ((List{"CAPIP1;Standleitung;IRP_RW;2.0;1;1;2;0301",
                                       "CAPIP1;Strecke;IRP_RW;CapiPlus;1;2;1;0"}),
                                 ReadList(kWanParameters, "Controllers"));
                   }});
    Fresh("two-cards");
    ASSERT_TRUE(testing_capi::StartDriver());
}

TEST_F(WanAnswersTest, TheRemoteAccessLineHasNeitherModemNorX31) {
    Fresh("two-cards");
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kRasParameters, "AdapterNumber", 3));
    RunAnswerCase("VrkRasWanConfig", kRasEnter,
                  {"ras",
                   "[VrkRasWanConfig]\r\nController1.1.Channels=1\r\nController2.1.Channels=0\r\n"
                   "Controller2.2.Channels=0\r\nModem=yes\r\nX31Controller=1.1\r\n",
                   "OK",
                   {"[VrkRasWanConfig] answers taken from <file>", "[VrkRasWanConfig] Modem: unknown key, ignored",
                    "[VrkRasWanConfig] X31Controller: unknown key, ignored"},
                   [] {
                       EXPECT_EQ(List{"CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;1;0"}, ReadList(kRasParameters, "Controllers"));
                       // One address per B channel of the controller, not per channel in use.
                       EXPECT_EQ((List{"3-0-0", "3-1-0"}), ReadList(kTapiKey, "Address"));
                       EXPECT_EQ(0u, ReadDword(kWanParameters, "Modem"));
                   }});
    // The router's section leaves the remote-access line's dialog alone, and the other way round.
    Fresh("none");
    RunAnswerCase("VrkRasWanConfig", kRasEnter,
                  {"ras-none", "[VrkRasWanConfig]\r\n", "NOT_ANY_CONTROLLER",
                   {"[VrkRasWanConfig] answers taken from <file>",
                    "[VrkRasWanConfig] " + MessageLine(IDS_WAN_NO_CONTROLLER)},
                   [] {
                       EXPECT_EQ(List{}, ReadList(kRasParameters, "Controllers"));
                       EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kTapiKey));
                   }});
}

TEST_F(WanAnswersTest, WithoutItsSectionTheDialogIsShown) {
    Fresh("two-cards");
    CreateDirectoryA(kAnswersDirectory, nullptr);
    const std::string path = std::string(kAnswersDirectory) + "\\other.ini";
    ASSERT_TRUE(WriteFileBytes(path, "[VrkRasWanConfig]\r\nController1.1.Channels=1\r\n"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "AnswerFile", path));
    {
        SetupDll dll;
        SetupCall call(dll, "VrkMprWanConfig");
        HWND dialog = dialog_robot::WaitForDialog(RobotLanguageModule(), IDD_WAN_CONFIG);
        ASSERT_NE(nullptr, dialog);
        dialog_robot::Click(dialog, IDCANCEL);
        ExpectClosedWith(&call, dialog, "USER_CANCEL");
    }
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "AnswerFile");
    for (const std::string& line : LogMessages()) EXPECT_EQ(std::string::npos, line.find("answers taken")) << line;
}

}  // namespace
