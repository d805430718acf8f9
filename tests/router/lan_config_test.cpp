// Dialog 109 driven like a person: marks, OK and Cancel in both modes, and no adapter at all.
#include <gtest/gtest.h>

#include <algorithm>

#include "lang/resource.h"
#include "network_fixture.h"
#include "winhelp_observer.h"

using namespace dialog_robot;
using namespace router_test;

namespace {

const char kLinkage[] = "SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage";
const char kDisabled[] = "SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage\\Disabled";
const char kLanParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprLan\\Parameters";
const char kEl59x[] = "EL59X1\t3Com Fast EtherLink PCI 10/100BASE-T Adapter (3C595)";
const char kE100b[] = "E100B1\tIntel EtherExpress PRO/100B PCI Adapter";

std::string Marked(const char* line) { return std::string("-->\t") + line; }
std::string Unmarked(const char* line) { return std::string("\t") + line; }

bool Logged(const std::string& message) {
    const List log = LogMessages();
    return std::find(log.begin(), log.end(), message) != log.end();
}

class LanConfigTest : public ::testing::Test {
protected:
    HWND Open() {
        HWND dialog = WaitForDialog(RobotLanguageModule(), IDD_LAN_CONFIG);
        if (dialog) {
            EXPECT_EQ(kGermanMachine ? "LAN-Konfiguration des ISDN-Routers" : "LAN configuration of the ISDN router",
                      WindowText(dialog));
        }
        return dialog;
    }

    // Lets the dialog take a posted click before the list is read.
    void Settle() { Pump(100); }

    SetupDll dll_;
};

TEST_F(LanConfigTest, MarksChangedByButtonsAndDoubleClicksAreSavedOnOk) {
    ProvisionNetwork("two-cards");
    SetupCall call(dll_, "VrkMprLanConfig", {"0", "INSTALLX"});
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    // E100B1's binding is among the disabled ones: the router owns it already.
    EXPECT_EQ((List{Unmarked(kEl59x), Marked(kE100b)}), ListEntries(dialog, IDC_LAN_LIST));
    EXPECT_EQ(0, ListSelection(dialog, IDC_LAN_LIST));

    DoubleClickListEntry(dialog, IDC_LAN_LIST, 1);
    Settle();
    EXPECT_EQ(Unmarked(kE100b), ListEntries(dialog, IDC_LAN_LIST)[1]);
    EXPECT_EQ(1, ListSelection(dialog, IDC_LAN_LIST));
    DoubleClickListEntry(dialog, IDC_LAN_LIST, 1);
    Settle();
    EXPECT_EQ(Marked(kE100b), ListEntries(dialog, IDC_LAN_LIST)[1]) << "two double clicks leave it marked";

    SelectListEntry(dialog, IDC_LAN_LIST, 0);
    Click(dialog, IDC_LAN_OWN);
    Settle();
    Click(dialog, IDC_LAN_OWN);
    Settle();
    EXPECT_EQ(Marked(kEl59x), ListEntries(dialog, IDC_LAN_LIST)[0]);
    SelectListEntry(dialog, IDC_LAN_LIST, 1);
    Click(dialog, IDC_LAN_RELEASE);
    Settle();
    EXPECT_EQ((List{Marked(kEl59x), Unmarked(kE100b)}), ListEntries(dialog, IDC_LAN_LIST));
    EXPECT_EQ(1, ListSelection(dialog, IDC_LAN_LIST));

    winhelp_observer::WinHelpObserver help;
    ASSERT_TRUE(help.ready());
    Click(dialog, IDHELP);
    ASSERT_TRUE(help.WaitForCalls(1));
    EXPECT_EQ(2002u, help.Calls()[0].data);

    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");
    EXPECT_EQ(List{"EL59X1"}, ReadList(kLanParameters, "Controllers"));
    EXPECT_EQ((List{"\\Device\\NdisWan5", "\\Device\\VrkMpr1", "\\Device\\E100B1"}), ReadList(kLinkage, "Bind"));
    EXPECT_EQ((List{"\"NdisWan\" \"NdisWan5\"", "\"VrkMpr\" \"VrkMpr1\"", "\"E100B\" \"E100B1\""}),
              ReadList(kLinkage, "route"));
    EXPECT_EQ(List(3, "\\Device\\NWlnkIPX"), ReadList(kLinkage, "export"));
    EXPECT_EQ(List{"\\Device\\El59x1"}, ReadList(kDisabled, "Bind"));
    EXPECT_EQ(List{"\"El59x\" \"El59x1\""}, ReadList(kDisabled, "route"));
    EXPECT_TRUE(Logged("VrkMprLanConfig ENTER; wnd=0"));
    EXPECT_TRUE(Logged("VrkMprLanConfig LEAVE; OK"));
}

TEST_F(LanConfigTest, InstallModeMarksEveryAdapterAndCancelStillSaves) {
    ProvisionNetwork("two-cards");
    SetupCall call(dll_, "VrkMprLanConfig", {"0", "install"});
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ((List{Marked(kEl59x), Marked(kE100b)}), ListEntries(dialog, IDC_LAN_LIST));
    Click(dialog, IDCANCEL);
    ExpectClosedWith(&call, dialog, "USER_CANCEL");
    EXPECT_EQ((List{"EL59X1", "E100B1"}), ReadList(kLanParameters, "Controllers"));
    EXPECT_EQ((List{"\\Device\\NdisWan5", "\\Device\\VrkMpr1"}), ReadList(kLinkage, "Bind"));
    EXPECT_EQ((List{"\\Device\\E100B1", "\\Device\\El59x1"}), ReadList(kDisabled, "Bind"));
    EXPECT_EQ(List(2, "\\Device\\NWlnkIPX"), ReadList(kDisabled, "export"));
    EXPECT_TRUE(Logged("VrkMprLanConfig ENTER; wnd=0; Installmode"));
    EXPECT_TRUE(Logged("VrkMprLanConfig LEAVE; USER_CANCEL"));
}

TEST_F(LanConfigTest, UnmarkingEveryAdapterWritesAnEmptyControllerList) {
    ProvisionNetwork("two-cards");
    SetupCall call(dll_, "VrkMprLanConfig");
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    for (int line = 0; line < 2; ++line) {
        SelectListEntry(dialog, IDC_LAN_LIST, line);
        Click(dialog, IDC_LAN_RELEASE);
        Settle();
    }
    EXPECT_EQ((List{Unmarked(kEl59x), Unmarked(kE100b)}), ListEntries(dialog, IDC_LAN_LIST));
    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(testing_machine::GetRegValue(HKEY_LOCAL_MACHINE, kLanParameters, "Controllers", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    EXPECT_EQ(std::string(1, '\0'), bytes);
    EXPECT_EQ((List{"\\Device\\El59x1", "\\Device\\NdisWan5", "\\Device\\VrkMpr1", "\\Device\\E100B1"}),
              ReadList(kLinkage, "Bind"));
    EXPECT_EQ(List{}, ReadList(kDisabled, "Bind"));
}

TEST_F(LanConfigTest, WithoutAdapterNothingIsShownOrWritten) {
    ProvisionNetwork("no-card");
    WriteList(kLanParameters, "Controllers", {"OLD1"});
    SetupCall call(dll_, "VrkMprLanConfig", {"0", "INSTALL"});
    ASSERT_TRUE(call.Finish());
    EXPECT_TRUE(call.returned());
    EXPECT_EQ("OK", call.result());
    EXPECT_EQ(List{"OLD1"}, ReadList(kLanParameters, "Controllers"));
}

}  // namespace
