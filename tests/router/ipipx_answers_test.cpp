// VrkMprIPIPXConfig taking its answers from an answer file: the derived and the typed address, the
// IPX number an installation fixes, the gateway question, and what the dialog would refuse.
#include <gtest/gtest.h>

#include "answers_fixture.h"
#include "lang/resource.h"

using namespace router_test;
using namespace testing_machine;

namespace {

const char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMpr1\\Parameters\\Tcpip";
const char kLanTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\El59x1\\Parameters\\Tcpip";
const char kRouterKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\router";
const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
const char kIpxParameters[] = "SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Parameters";
const char kSection[] = "VrkMprIPIPXConfig";
const char kEnter[] = "VrkMprIPIPXConfig ENTER; wnd=0";

void NothingWritten() {
    EXPECT_FALSE(HasValue(kRouterKey, "ipx_net"));
    EXPECT_FALSE(HasValue(kRouterKey, "ip_router_id"));
    EXPECT_EQ(List{"0.0.0.0"}, ReadList(kTcpip, "IPAddress"));
}

TEST(IpIpxAnswersTest, TheAddressesComeFromTheAnswersOrAreRefusedAsTheDialogWould) {
    const std::string taken = "[VrkMprIPIPXConfig] answers taken from <file>";
    const struct {
        const char* shape;
        bool lanGateway;
        AnswerCase answer;
    } cases[] = {
        {"one-card", false,
         {"derived", "[VrkMprIPIPXConfig]\r\nIPXNetworkNumber=1A2B\r\nDefaultGateway=yes\r\n", "OK", {taken}, [] {
              EXPECT_EQ("1a2b", ReadString(kRouterKey, "ipx_net"));
              EXPECT_EQ(0x1a2bu, ReadDword(kIpxParameters, "VirtualNetworkNumber"));
              EXPECT_EQ("192.168.0.5", ReadString(kRouterKey, "ip_router_id"));
              EXPECT_EQ(List{"192.168.1.1"}, ReadList(kTcpip, "IPAddress"));
              EXPECT_EQ(List{"255.255.255.0"}, ReadList(kTcpip, "SubnetMask"));
              EXPECT_EQ(List{"192.168.1.2"}, ReadList(kTcpip, "DefaultGateway"));
              EXPECT_EQ(1u, ReadDword(kSetupKey, "ISDNIPMapping"));
              EXPECT_EQ(1u, ReadDword(kSetupKey, "DefaultGatewaySet"));
          }}},
        {"one-card", false,
         {"typed",
          "[VrkMprIPIPXConfig]\r\nIPXNetworkNumber=\r\nDeriveFromLanAdapter=no\r\nAddress=10.1.2.3\r\n"
          "SubnetMask=255.0.0.0\r\nDefaultGateway=no\r\n",
          "OK", {taken}, [] {
              // An empty IPX field stores 1, as the dialog's does.
              EXPECT_EQ("1", ReadString(kRouterKey, "ipx_net"));
              EXPECT_EQ("0.0.0.0", ReadString(kRouterKey, "ip_router_id"));
              EXPECT_EQ(List{"10.1.2.3"}, ReadList(kTcpip, "IPAddress"));
              EXPECT_EQ(List{"255.0.0.0"}, ReadList(kTcpip, "SubnetMask"));
              EXPECT_EQ(List{}, ReadList(kTcpip, "DefaultGateway"));
              EXPECT_EQ(0u, ReadDword(kSetupKey, "ISDNIPMapping"));
              EXPECT_EQ(0u, ReadDword(kSetupKey, "DefaultGatewaySet"));
          }}},
        {"one-card", false,
         {"hidden-field", "[VrkMprIPIPXConfig]\r\nAddress=10.1.2.3\r\nColour=red\r\n", "USER_CANCEL",
          {taken, "[VrkMprIPIPXConfig] Colour: unknown key, ignored",
           Refused(kSection, "Address", "offered only with DeriveFromLanAdapter = no")},
          NothingWritten}},
        {"one-card", false,
         {"untypeable", "[VrkMprIPIPXConfig]\r\nDeriveFromLanAdapter=no\r\nSubnetMask=255..0.0\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "SubnetMask", "not a dotted address")}, NothingWritten}},
        // Typeable, but no address: the dialog's message, after the IPX number is written.
        {"one-card", false,
         {"short-address", "[VrkMprIPIPXConfig]\r\nIPXNetworkNumber=ff\r\nDeriveFromLanAdapter=no\r\nAddress=10.1.2\r\n",
          "USER_CANCEL", {taken, Refused(kSection, "Address", MessageLine(IDS_IPIPX_BAD_ADDRESS))}, [] {
              EXPECT_EQ("ff", ReadString(kRouterKey, "ipx_net"));
              EXPECT_FALSE(HasValue(kRouterKey, "ip_router_id"));
          }}},
        {"one-card", false,
         {"lan-lacking", "[VrkMprIPIPXConfig]\r\nLanAddress=10.9.9.9\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "LanAddress", "no LAN address 10.9.9.9 offered on this machine")},
          NothingWritten}},
        {"one-card", false,
         {"ipx-letters", "[VrkMprIPIPXConfig]\r\nIPXNetworkNumber=12g4\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "IPXNetworkNumber", "not a hexadecimal number")}, NothingWritten}},
        {"one-card", false,
         {"ipx-long", "[VrkMprIPIPXConfig]\r\nIPXNetworkNumber=123456789\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "IPXNetworkNumber", "value longer than 8 characters")}, NothingWritten}},
        // The LAN's gateway is kept unless the question is answered: the addresses are written all
        // the same, as the dialog writes them before it asks.
        {"one-card", true,
         {"gateway-kept", "[VrkMprIPIPXConfig]\r\nIPXNetworkNumber=7\r\nDefaultGateway=yes\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "ReplaceLanGateways", MessageLine(IDS_IPIPX_REPLACE_GATEWAYS))}, [] {
              EXPECT_EQ(List{"192.168.0.1"}, ReadList(kLanTcpip, "DefaultGateway"));
              EXPECT_EQ(List{"192.168.1.1"}, ReadList(kTcpip, "IPAddress"));
              EXPECT_EQ(List{}, ReadList(kTcpip, "DefaultGateway"));
          }}},
        {"one-card", true,
         {"gateway-replaced",
          "[VrkMprIPIPXConfig]\r\nIPXNetworkNumber=7\r\nDefaultGateway=yes\r\nReplaceLanGateways=yes\r\n", "OK",
          {taken}, [] {
              EXPECT_EQ(List{}, ReadList(kLanTcpip, "DefaultGateway"));
              EXPECT_EQ(List{"192.168.1.2"}, ReadList(kTcpip, "DefaultGateway"));
          }}},
        {"no-card", false,
         {"no-ipx", "[VrkMprIPIPXConfig]\r\nIPXNetworkNumber=7\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "IPXNetworkNumber", "IPX is not installed on this machine")},
          [] { EXPECT_FALSE(HasValue(kRouterKey, "ipx_net")); }}},
        {"no-card", false,
         {"no-lan", "[VrkMprIPIPXConfig]\r\nDeriveFromLanAdapter=yes\r\n", "USER_CANCEL",
          {taken, Refused(kSection, "DeriveFromLanAdapter", "no LAN address to derive from on this machine")},
          [] { EXPECT_FALSE(HasValue(kRouterKey, "ipx_net")); }}},
        {"one-card", false,
         {"missing", "", "USER_CANCEL",
          {"Answer file <file> cannot be read; [VrkMprIPIPXConfig] ends as if cancelled"}, NothingWritten}},
    };
    for (const auto& c : cases) {
        ProvisionNetwork(c.shape);
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr");
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSetupKey, "ISDNIPMapping");
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSetupKey, "DefaultGatewaySet");
        if (c.lanGateway) WriteList(kLanTcpip, "DefaultGateway", {"192.168.0.1"});
        RunAnswerCase("VrkMprIPIPXConfig", kEnter, c.answer);
    }
}

}  // namespace
