// Dialog 118 driven like a person over the machine's network shapes, the registry read afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "lang/resource.h"
#include "network_fixture.h"
#include "winhelp_observer.h"

using namespace dialog_robot;
using namespace router_test;

namespace {

const char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMpr1\\Parameters\\Tcpip";
const char kLanTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\E100B1\\Parameters\\Tcpip";
const char kRouterKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\router";
const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
const char kIpxParameters[] = "SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Parameters";

class IpIpxDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_machine::DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr");
        testing_machine::DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSetupKey, "ISDNIPMapping");
        testing_machine::DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSetupKey, "DefaultGatewaySet");
    }

    HWND Open() {
        HWND dialog = WaitForDialog(RobotLanguageModule(), IDD_IPIPX_CONFIG);
        if (dialog) {
            EXPECT_EQ(kGermanMachine ? "IP/IPX-Konfiguration des ISDN-Routers" : "IP/IPX configuration of the ISDN router",
                      WindowText(dialog));
        }
        return dialog;
    }

    void ExpectMappingShown(HWND dialog, bool mapping) {
        for (int id : {IDC_IPIPX_LAN_ADDRESSES, IDC_IPIPX_LAN_LABEL, IDC_IPIPX_MAPPED_ADDRESS, IDC_IPIPX_MAPPED_MASK})
            EXPECT_EQ(mapping, IsControlVisible(dialog, id)) << id;
        for (int id : {IDC_IPIPX_ADDRESS, IDC_IPIPX_MASK}) EXPECT_EQ(!mapping, IsControlVisible(dialog, id)) << id;
    }

    SetupDll dll_;
};

TEST_F(IpIpxDialogTest, DerivedAddressWithTheIsdnInterfaceAsGateway) {
    ProvisionNetwork("one-card");
    // The setup engine's window, given as hexadecimal text with upper-case digits.
    HWND engine = CreateWindowA("STATIC", "setup", WS_POPUP | WS_VISIBLE, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, engine);
    char handle[32];
    snprintf(handle, sizeof handle, "%lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(engine)));
    char logged[32];
    snprintf(logged, sizeof logged, "%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(engine)));
    SetupCall call(dll_, "VrkMprIPIPXConfig", {handle});
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(engine, GetWindow(dialog, GW_OWNER));
    for (int id : {IDC_IPIPX_NET_LABEL, IDC_IPIPX_NET_HINT, IDC_IPIPX_NET_NUMBER, IDC_IPIPX_NEW_NUMBER})
        EXPECT_TRUE(IsControlVisible(dialog, id)) << id;
    const std::string proposed = ControlText(dialog, IDC_IPIPX_NET_NUMBER);
    EXPECT_FALSE(proposed.empty());
    EXPECT_EQ(std::string::npos, proposed.find_first_not_of("0123456789abcdef")) << proposed;

    EXPECT_TRUE(IsControlVisible(dialog, IDC_IPIPX_MAPPING));
    EXPECT_TRUE(IsChecked(dialog, IDC_IPIPX_MAPPING));
    ExpectMappingShown(dialog, true);
    EXPECT_EQ(List{"192.168.0.5"}, ComboEntries(dialog, IDC_IPIPX_LAN_ADDRESSES));
    EXPECT_EQ("192.168.1.1", ControlText(dialog, IDC_IPIPX_MAPPED_ADDRESS));
    EXPECT_EQ("255.255.255.0", ControlText(dialog, IDC_IPIPX_MAPPED_MASK));
    // The adapter's address is still 0.0.0.0: the typed fields show the defaults.
    EXPECT_EQ("192.168.111.111", ControlText(dialog, IDC_IPIPX_ADDRESS));
    EXPECT_EQ("255.255.255.0", ControlText(dialog, IDC_IPIPX_MASK));
    EXPECT_TRUE(IsChecked(dialog, IDC_IPIPX_GATEWAY));

    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");

    EXPECT_EQ(proposed, ReadString(kRouterKey, "ipx_net"));
    EXPECT_EQ(strtoul(proposed.c_str(), nullptr, 16), ReadDword(kIpxParameters, "VirtualNetworkNumber"));
    EXPECT_EQ("192.168.0.5", ReadString(kRouterKey, "ip_router_id"));
    EXPECT_EQ(List{"192.168.1.1"}, ReadList(kTcpip, "IPAddress"));
    EXPECT_EQ(List{"255.255.255.0"}, ReadList(kTcpip, "SubnetMask"));
    EXPECT_EQ(List{"192.168.1.2"}, ReadList(kTcpip, "DefaultGateway"));
    for (const char* name : {"EnableDHCP", "IPInterfaceContext", "UseZeroBroadcast"})
        EXPECT_EQ(0u, ReadDword(kTcpip, name)) << name;
    EXPECT_EQ("", ReadString(kTcpip, "LLInterface"));
    EXPECT_EQ(1u, ReadDword(kSetupKey, "ISDNIPMapping"));
    EXPECT_EQ(1u, ReadDword(kSetupKey, "DefaultGatewaySet"));

    const List log = LogMessages();
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), std::string("VrkMprIPIPXConfig ENTER; wnd=") + logged));
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "VrkMprIPIPXConfig LEAVE; OK"));
    DestroyWindow(engine);
}

TEST_F(IpIpxDialogTest, TypedAddressThroughTheKeyboardFilters) {
    ProvisionNetwork("one-card");
    SetupCall call(dll_, "VrkMprIPIPXConfig");
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    SetChecked(dialog, IDC_IPIPX_MAPPING, false);
    ExpectMappingShown(dialog, false);

    SetControlText(dialog, IDC_IPIPX_ADDRESS, "");
    TypeInto(dialog, IDC_IPIPX_ADDRESS, "192..168x.1.3000.5");
    EXPECT_EQ("192.168.1.30", ControlText(dialog, IDC_IPIPX_ADDRESS));
    TypeInto(dialog, IDC_IPIPX_ADDRESS, "\b\b1");
    EXPECT_EQ("192.168.1.1", ControlText(dialog, IDC_IPIPX_ADDRESS));
    SetControlText(dialog, IDC_IPIPX_MASK, "");
    TypeInto(dialog, IDC_IPIPX_MASK, "255.255.0.0.");
    EXPECT_EQ("255.255.0.0", ControlText(dialog, IDC_IPIPX_MASK));
    SetControlText(dialog, IDC_IPIPX_NET_NUMBER, "");
    TypeInto(dialog, IDC_IPIPX_NET_NUMBER, "1gA.f 2345678");
    EXPECT_EQ("1Af23456", ControlText(dialog, IDC_IPIPX_NET_NUMBER));

    SetChecked(dialog, IDC_IPIPX_GATEWAY, false);
    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");

    EXPECT_EQ("1af23456", ReadString(kRouterKey, "ipx_net"));
    EXPECT_EQ("0.0.0.0", ReadString(kRouterKey, "ip_router_id"));
    EXPECT_EQ(List{"192.168.1.1"}, ReadList(kTcpip, "IPAddress"));
    EXPECT_EQ(List{"255.255.0.0"}, ReadList(kTcpip, "SubnetMask"));
    EXPECT_EQ(List{}, ReadList(kTcpip, "DefaultGateway"));
    EXPECT_EQ(0u, ReadDword(kSetupKey, "ISDNIPMapping"));
    EXPECT_EQ(0u, ReadDword(kSetupKey, "DefaultGatewaySet"));
}

TEST_F(IpIpxDialogTest, ALanGatewayIsReplacedOnlyWhenTheUserAgrees) {
    ProvisionNetwork("two-cards");
    SetupCall call(dll_, "VrkMprIPIPXConfig");
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    // Public addresses first; the first entry is selected when ip_router_id names none.
    EXPECT_EQ((List{"130.10.20.30", "192.168.0.5"}), ComboEntries(dialog, IDC_IPIPX_LAN_ADDRESSES));
    EXPECT_EQ("172.16.111.1", ControlText(dialog, IDC_IPIPX_MAPPED_ADDRESS));
    EXPECT_EQ("255.255.0.0", ControlText(dialog, IDC_IPIPX_MAPPED_MASK));
    EXPECT_FALSE(IsChecked(dialog, IDC_IPIPX_GATEWAY)) << "a LAN adapter has the default gateway";
    SelectComboEntry(dialog, IDC_IPIPX_LAN_ADDRESSES, "192.168.0.5");
    Pump(100);
    EXPECT_EQ("192.168.1.1", ControlText(dialog, IDC_IPIPX_MAPPED_ADDRESS));
    EXPECT_EQ("255.255.255.0", ControlText(dialog, IDC_IPIPX_MAPPED_MASK));

    SetChecked(dialog, IDC_IPIPX_GATEWAY, true);
    Click(dialog, IDOK);
    MessageBoxSeen question = AnswerMessageBox(IDCANCEL);
    EXPECT_EQ(LanguageString(IDS_IPIPX_REPLACE_GATEWAYS), question.text);
    EXPECT_EQ(LanguageString(IDS_MESSAGE_CAPTION), question.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONQUESTION), question.icon);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL), question.buttons);
    EXPECT_TRUE(IsWindow(dialog)) << "Cancel keeps the dialog open";
    // The address settings are written, the gateways are not touched.
    EXPECT_EQ("192.168.0.5", ReadString(kRouterKey, "ip_router_id"));
    EXPECT_EQ(List{"192.168.1.1"}, ReadList(kTcpip, "IPAddress"));
    EXPECT_EQ(List{}, ReadList(kTcpip, "DefaultGateway"));
    EXPECT_EQ(List{"130.10.0.1"}, ReadList(kLanTcpip, "DefaultGateway"));

    Click(dialog, IDOK);
    question = AnswerMessageBox(IDOK);
    EXPECT_EQ(LanguageString(IDS_IPIPX_REPLACE_GATEWAYS), question.text);
    ExpectClosedWith(&call, dialog, "OK");
    EXPECT_EQ(List{}, ReadList(kLanTcpip, "DefaultGateway"));
    EXPECT_EQ(List{"192.168.1.2"}, ReadList(kTcpip, "DefaultGateway"));
    EXPECT_EQ(1u, ReadDword(kSetupKey, "DefaultGatewaySet"));
}

TEST_F(IpIpxDialogTest, ABadAddressKeepsTheDialogOpenWithTheIpxNumberWritten) {
    ProvisionNetwork("one-card");
    SetupCall call(dll_, "VrkMprIPIPXConfig");
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    SetChecked(dialog, IDC_IPIPX_MAPPING, false);
    SetControlText(dialog, IDC_IPIPX_NET_NUMBER, "");
    SetControlText(dialog, IDC_IPIPX_ADDRESS, "300.1.1.1");  // pasted past the filter
    Click(dialog, IDOK);
    const MessageBoxSeen bad = AnswerMessageBox(IDOK);
    EXPECT_EQ(LanguageString(IDS_IPIPX_BAD_ADDRESS), bad.text);
    EXPECT_EQ(LanguageString(IDS_MESSAGE_CAPTION), bad.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), bad.icon);
    EXPECT_EQ(static_cast<UINT>(MB_OK), bad.buttons);
    ASSERT_TRUE(IsWindow(dialog));
    // An empty IPX field stores 1, also as the virtual network number that was 0.
    EXPECT_EQ("1", ReadString(kRouterKey, "ipx_net"));
    EXPECT_EQ(1u, ReadDword(kIpxParameters, "VirtualNetworkNumber"));
    EXPECT_FALSE(HasValue(kRouterKey, "ip_router_id"));

    Click(dialog, IDCANCEL);
    ExpectClosedWith(&call, dialog, "USER_CANCEL");
    EXPECT_FALSE(HasValue(kRouterKey, "ip_router_id"));
    EXPECT_EQ(List{"0.0.0.0"}, ReadList(kTcpip, "SubnetMask")) << "the adapter keeps its values";
}

TEST_F(IpIpxDialogTest, AnAddressWithoutProposalLeavesTheTypedFieldsAndCanBeConfirmed) {
    ProvisionNetwork("unusable-address");
    testing_machine::SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "ISDNIPMapping", 1);
    SetupCall call(dll_, "VrkMprIPIPXConfig");
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(ComboEntries(dialog, IDC_IPIPX_LAN_ADDRESSES).empty());
    EXPECT_FALSE(IsControlVisible(dialog, IDC_IPIPX_MAPPING));
    ExpectMappingShown(dialog, false);
    SetControlText(dialog, IDC_IPIPX_ADDRESS, "10.20.30.40");
    SetControlText(dialog, IDC_IPIPX_MASK, "255.255.255.0");
    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");
    EXPECT_EQ("0.0.0.0", ReadString(kRouterKey, "ip_router_id"));
    EXPECT_EQ(List{"10.20.30.40"}, ReadList(kTcpip, "IPAddress"));
    EXPECT_EQ(0u, ReadDword(kSetupKey, "ISDNIPMapping"));
}

TEST_F(IpIpxDialogTest, WithoutIpxOrLanTheNumberIsHiddenAndStillStored) {
    ProvisionNetwork("no-card");
    SetupCall call(dll_, "VrkMprIPIPXConfig");
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    for (int id : {IDC_IPIPX_NET_LABEL, IDC_IPIPX_NET_HINT, IDC_IPIPX_NET_NUMBER, IDC_IPIPX_NEW_NUMBER,
                   IDC_IPIPX_MAPPING})
        EXPECT_FALSE(IsControlVisible(dialog, id)) << id;
    ExpectMappingShown(dialog, false);
    EXPECT_TRUE(IsChecked(dialog, IDC_IPIPX_GATEWAY));
    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");
    EXPECT_EQ("1", ReadString(kRouterKey, "ipx_net"));
    EXPECT_EQ(List{"192.168.111.111"}, ReadList(kTcpip, "IPAddress"));
    EXPECT_EQ(List{"192.168.111.112"}, ReadList(kTcpip, "DefaultGateway"));
}

TEST_F(IpIpxDialogTest, StoredValuesAreShownAndTheButtonDrawsNewNumbers) {
    ProvisionNetwork("two-cards");
    testing_machine::SetRegString(HKEY_LOCAL_MACHINE, kRouterKey, "ipx_net", "1a2b");
    testing_machine::SetRegString(HKEY_LOCAL_MACHINE, kRouterKey, "ip_router_id", "192.168.0.5");
    testing_machine::SetRegDword(HKEY_LOCAL_MACHINE, kIpxParameters, "VirtualNetworkNumber", 0x77);
    WriteList(kTcpip, "IPAddress", {"10.9.9.9"});
    WriteList(kTcpip, "SubnetMask", {"255.0.0.0"});
    testing_machine::SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "DefaultGatewaySet", 0);

    SetupCall call(dll_, "VrkMprIPIPXConfig");
    HWND dialog = Open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("1a2b", ControlText(dialog, IDC_IPIPX_NET_NUMBER));
    EXPECT_EQ("10.9.9.9", ControlText(dialog, IDC_IPIPX_ADDRESS));
    EXPECT_EQ("255.0.0.0", ControlText(dialog, IDC_IPIPX_MASK));
    EXPECT_EQ("192.168.1.1", ControlText(dialog, IDC_IPIPX_MAPPED_ADDRESS)) << "ip_router_id is selected";
    EXPECT_FALSE(IsChecked(dialog, IDC_IPIPX_GATEWAY));
    // ipx_net was there, so nothing seeded the generator: it goes on from 0 at load.
    Click(dialog, IDC_IPIPX_NEW_NUMBER);
    Pump(100);
    EXPECT_EQ("dda2", ControlText(dialog, IDC_IPIPX_NET_NUMBER));
    Click(dialog, IDC_IPIPX_NEW_NUMBER);
    Pump(100);
    EXPECT_EQ("185eb715", ControlText(dialog, IDC_IPIPX_NET_NUMBER));

    winhelp_observer::WinHelpObserver help;
    ASSERT_TRUE(help.ready());
    Click(dialog, IDHELP);
    ASSERT_TRUE(help.WaitForCalls(1));
    EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), help.Calls()[0].command);
    EXPECT_EQ(2000u, help.Calls()[0].data);
    EXPECT_NE(std::string::npos, help.Calls()[0].file.find(kGermanMachine ? "setupGER.hlp" : "setupENG.hlp"));

    Click(dialog, IDOK);
    ExpectClosedWith(&call, dialog, "OK");
    EXPECT_EQ("185eb715", ReadString(kRouterKey, "ipx_net"));
    EXPECT_EQ(0x77u, ReadDword(kIpxParameters, "VirtualNetworkNumber"));
    EXPECT_EQ(0u, ReadDword(kSetupKey, "DefaultGatewaySet"));
    EXPECT_EQ(List{}, ReadList(kTcpip, "DefaultGateway"));
    EXPECT_EQ(List{"130.10.0.1"}, ReadList(kLanTcpip, "DefaultGateway"));
}

}  // namespace
