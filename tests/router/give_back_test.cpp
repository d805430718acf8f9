// The router's removal gives back what its configuration took from the machine: the LAN
// gateways, NWLink IPX's network number and the adapters' IPX bindings in their order, and the SNMP
// service it stopped; it leaves alone what it did not take, and adds no IPX keys where IPX is not.
#include <gtest/gtest.h>

#include "lang/resource.h"
#include "network_fixture.h"
#include "services.h"

using namespace dialog_robot;
using namespace router_test;

namespace {

const char kIpx[] = "SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx";
const char kIpxParameters[] = "SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Parameters";
const char kLinkage[] = "SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Linkage";
const char kDisabled[] = "SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Linkage\\Disabled";
const char kLanTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\El59x1\\Parameters\\Tcpip";
// Another line stays installed: the router's removal then leaves the package's shared files.
const char kOtherLine[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas";
constexpr DWORD kCleanUpMs = 60000;

class GiveBackTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_machine::DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr");
        ASSERT_TRUE(testing_machine::SetRegDword(HKEY_LOCAL_MACHINE, kOtherLine, "Type", 1));
    }

    // The IP/IPX dialog confirmed with the ISDN interface as the default gateway, the LAN's
    // gateway replaced when there is one.
    void ConfigureIpIpx(bool lanGateway) {
        SetupCall call(dll_, "VrkMprIPIPXConfig");
        HWND dialog = WaitForDialog(RobotLanguageModule(), IDD_IPIPX_CONFIG);
        ASSERT_NE(nullptr, dialog);
        SetChecked(dialog, IDC_IPIPX_GATEWAY, true);
        Click(dialog, IDOK);
        if (lanGateway) AnswerMessageBox(IDOK);
        ExpectClosedWith(&call, dialog, "OK");
    }

    void ConfigureLanForInstall() {
        SetupCall call(dll_, "VrkMprLanConfig", {"0", "INSTALL"});
        HWND dialog = WaitForDialog(RobotLanguageModule(), IDD_LAN_CONFIG);
        ASSERT_NE(nullptr, dialog);
        Click(dialog, IDOK);
        ExpectClosedWith(&call, dialog, "OK");
    }

    void CleanUp() {
        SetupCall call(dll_, "VrkMprCleanUp");
        ASSERT_TRUE(call.Finish(kCleanUpMs));
        EXPECT_EQ("OK", call.result());
    }

    SetupDll dll_;
};

TEST_F(GiveBackTest, TheGatewayTheNetworkNumberAndTheTakenAdapterComeBackWhereTheyWere) {
    ProvisionNetwork("one-card");
    WriteList(kLanTcpip, "DefaultGateway", {"192.168.0.1"});
    // The card stands behind the WAN miniport: its place in the order is kept.
    WriteList(kLinkage, "Bind", {"\\Device\\NdisWan5", "\\Device\\El59x1", "\\Device\\VrkMpr1"});
    WriteList(kLinkage, "Route", {"\"NdisWan\" \"NdisWan5\"", "\"El59x\" \"El59x1\"", "\"VrkMpr\" \"VrkMpr1\""});
    ConfigureIpIpx(true);
    ASSERT_EQ(List{}, ReadList(kLanTcpip, "DefaultGateway"));
    ASSERT_NE(0u, ReadDword(kIpxParameters, "VirtualNetworkNumber"));
    ConfigureLanForInstall();
    ASSERT_EQ(List{"\\Device\\El59x1"}, ReadList(kDisabled, "Bind"));

    CleanUp();
    EXPECT_EQ(List{"192.168.0.1"}, ReadList(kLanTcpip, "DefaultGateway"));
    EXPECT_EQ(0u, ReadDword(kIpxParameters, "VirtualNetworkNumber"));
    // The router's own adapter is gone, and its binding with it.
    EXPECT_EQ((List{"\\Device\\NdisWan5", "\\Device\\El59x1"}), ReadList(kLinkage, "Bind"));
    EXPECT_EQ((List{"\"NdisWan\" \"NdisWan5\"", "\"El59x\" \"El59x1\""}), ReadList(kLinkage, "Route"));
    EXPECT_EQ(2u, ReadList(kLinkage, "Export").size());
    EXPECT_EQ(List{}, ReadList(kDisabled, "Bind"));
}

TEST_F(GiveBackTest, WhatTheAdministratorChangedSinceStaysAsItIs) {
    ProvisionNetwork("one-card");
    WriteList(kLanTcpip, "DefaultGateway", {"192.168.0.1"});
    ConfigureIpIpx(true);
    // A new gateway and network number of the administrator's own after the router's installation.
    WriteList(kLanTcpip, "DefaultGateway", {"192.168.0.254"});
    ASSERT_TRUE(testing_machine::SetRegDword(HKEY_LOCAL_MACHINE, kIpxParameters, "VirtualNetworkNumber", 0x1234));
    CleanUp();
    EXPECT_EQ(List{"192.168.0.254"}, ReadList(kLanTcpip, "DefaultGateway"));
    EXPECT_EQ(0x1234u, ReadDword(kIpxParameters, "VirtualNetworkNumber"));
}

TEST_F(GiveBackTest, BindingsTheRouterDidNotDisableStayDisabled) {
    // E100B1's binding was disabled by the administrator, not by the router's LAN configuration.
    ProvisionNetwork("two-cards");
    const List disabled = ReadList(kDisabled, "Bind");
    ASSERT_EQ(List{"\\Device\\E100B1"}, disabled);
    CleanUp();
    EXPECT_EQ(disabled, ReadList(kDisabled, "Bind"));
    EXPECT_EQ((List{"\\Device\\El59x1", "\\Device\\NdisWan5"}), ReadList(kLinkage, "Bind"));
}

TEST_F(GiveBackTest, WithoutIpxTheRemovalLeavesNoIpxKeysAndTheDialogKnowsIt) {
    ProvisionNetwork("no-card");
    ConfigureIpIpx(false);
    CleanUp();
    EXPECT_FALSE(testing_machine::RegKeyPresent(HKEY_LOCAL_MACHINE, kIpx));
    // A new installation finds no IPX: the number stays hidden.
    SetupCall call(dll_, "VrkMprIPIPXConfig");
    HWND dialog = WaitForDialog(RobotLanguageModule(), IDD_IPIPX_CONFIG);
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(IsControlVisible(dialog, IDC_IPIPX_NET_NUMBER));
    Click(dialog, IDCANCEL);
    ExpectClosedWith(&call, dialog, "USER_CANCEL");
}

TEST_F(GiveBackTest, TheSnmpServiceTheRouterStoppedRunsAgainAfterItsRemoval) {
    ProvisionNetwork("one-card");
    ASSERT_TRUE(testing_services::InstallService("SNMP", SERVICE_WIN32_OWN_PROCESS,
                                                 "C:\\testbed\\stopservice.exe prompt"));
    ASSERT_TRUE(testing_services::StartNamedService("SNMP"));
    ASSERT_TRUE(testing_services::WaitForServiceState("SNMP", SERVICE_RUNNING));
    {
        SetupCall call(dll_, "VrkMprStopProcesses");
        ASSERT_TRUE(call.Finish(kCleanUpMs));
    }
    ASSERT_TRUE(testing_services::WaitForServiceState("SNMP", SERVICE_STOPPED));
    CleanUp();
    EXPECT_TRUE(testing_services::WaitForServiceState("SNMP", SERVICE_RUNNING));
    testing_services::StopNamedService("SNMP");

    // A service that was not running when the router stopped its services stays stopped.
    {
        SetupCall call(dll_, "VrkMprStopProcesses");
        ASSERT_TRUE(call.Finish(kCleanUpMs));
    }
    CleanUp();
    SERVICE_STATUS status = {};
    ASSERT_TRUE(testing_services::QueryNamedService("SNMP", &status));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), status.dwCurrentState);
    testing_services::RemoveService("SNMP");
}

}  // namespace
