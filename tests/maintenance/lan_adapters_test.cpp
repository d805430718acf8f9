// The LAN adapter table against the machine's NWLink IPX linkage and network cards.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "machine.h"
#include "maintenance/lan_adapters.h"

using namespace testing_machine;

namespace {

const char kLinkage[] = "SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage";
const char kDisabled[] = "SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage\\Disabled";
const char kCards[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetWorkCards";
const char kExport[] = "\\Device\\NWlnkIPX";

using List = std::vector<std::string>;

void SetList(const char* key, const char* name, const List& entries) {
    std::string block;
    for (const std::string& e : entries) block += e + std::string(1, '\0');
    block += std::string(1, '\0');
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, key, name, REG_MULTI_SZ, block));
}

std::string Raw(const char* key, const char* name) {
    std::string bytes;
    DWORD type = 0;
    EXPECT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, key, name, &bytes, &type)) << key << "\\" << name;
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type) << name;
    return bytes;
}

List GetList(const char* key, const char* name) {
    const std::string bytes = Raw(key, name);
    List entries;
    for (size_t at = 0; at < bytes.size() && bytes[at];) {
        const size_t end = bytes.find('\0', at);
        entries.push_back(bytes.substr(at, end - at));
        at = end == std::string::npos ? bytes.size() : end + 1;
    }
    return entries;
}

// The six lists at once; export and route of each side given explicitly.
void SetBindings(const List& bind, const List& route, const List& disabledBind, const List& disabledRoute) {
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kLinkage);
    SetList(kLinkage, "Bind", bind);
    SetList(kLinkage, "export", List(bind.size(), kExport));
    SetList(kLinkage, "route", route);
    SetList(kDisabled, "Bind", disabledBind);
    SetList(kDisabled, "export", List(disabledBind.size(), kExport));
    SetList(kDisabled, "route", disabledRoute);
}

void AddCard(int number, const char* serviceName, const char* description) {
    const std::string key = std::string(kCards) + "\\" + std::to_string(number);
    if (serviceName) SetRegString(HKEY_LOCAL_MACHINE, key, "ServiceName", serviceName);
    if (description) SetRegString(HKEY_LOCAL_MACHINE, key, "Description", description);
}

struct Seen {
    std::string serviceName;
    std::string description;
    bool owned;
    bool operator==(const Seen& o) const {
        return serviceName == o.serviceName && description == o.description && owned == o.owned;
    }
};

std::vector<Seen> Table() {
    std::vector<Seen> seen;
    for (DWORD i = 0; i < LanAdapterCount(); ++i) {
        const LanAdapterEntry* e = LanAdapterAt(i);
        seen.push_back({e->serviceName, e->description, e->routerOwned != 0});
    }
    EXPECT_EQ(nullptr, LanAdapterAt(LanAdapterCount()));
    return seen;
}

void PrintTo(const Seen& s, std::ostream* os) { *os << s.serviceName << "/" << s.description << "/" << s.owned; }

class LanAdapterTableTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kCards); }
};

TEST_F(LanAdapterTableTest, TheMachinesOwnBindingsGiveOneEthernetAdapter) {
    // The template machine: one Ethernet card, bound together with the WAN miniport.
    AddCard(1, "El59x1", "3Com Fast EtherLink PCI 10/100BASE-T Adapter (3C595)");
    AddCard(2, "VrkMpr1", "VARNEK ISDN Multiprotocol Router Adapter");
    List bind = GetList(kLinkage, "Bind");
    bind.push_back("\\Device\\VrkMpr1");
    SetList(kLinkage, "Bind", bind);
    LoadLanAdapterTable();
    EXPECT_EQ((std::vector<Seen>{{"EL59X1", "3Com Fast EtherLink PCI 10/100BASE-T Adapter (3C595)", false}}), Table());
}

TEST_F(LanAdapterTableTest, AnAdapterBoundInBothListsIsTakenFromTheEnabledOnes) {
    SetBindings({"\\Device\\El59x1", "\\Device\\NdisWan5", "\\Device\\VrkLv1", "NoDevice"}, {"r1", "r2", "r3", "r4"},
                {"\\Device\\EL59X1", "\\Device\\E100B1"}, {"d1", "d2"});
    AddCard(1, nullptr, "a card without a service name");
    AddCard(2, "E100B1", nullptr);
    AddCard(3, "el59x1", "3Com");
    LoadLanAdapterTable();
    EXPECT_EQ((std::vector<Seen>{{"EL59X1", "3Com", false}, {"E100B1", "", true}}), Table());
}

TEST_F(LanAdapterTableTest, GivingBackMovesOnlyTheTakenBindingsToTheirPlaces) {
    // The router took E100B1 from the second place of Bind; the administrator disabled El59x1.
    SetBindings({"\\Device\\NdisWan5", "\\Device\\VrkMpr1"}, {"\"NdisWan\" \"NdisWan5\"", "\"VrkMpr\" \"VrkMpr1\""},
                {"\\Device\\El59x1", "\\Device\\E100B1"}, {"\"El59x\" \"El59x1\"", "\"E100B\" \"E100B1\""});
    GiveBackLanAdapters({{"E100B1", 1}}, "VrkMpr1");
    EXPECT_EQ((List{"\\Device\\NdisWan5", "\\Device\\E100B1"}), GetList(kLinkage, "Bind"));
    EXPECT_EQ((List{kExport, kExport}), GetList(kLinkage, "export"));
    EXPECT_EQ((List{"\"NdisWan\" \"NdisWan5\"", "\"E100B\" \"E100B1\""}), GetList(kLinkage, "route"));
    EXPECT_EQ(List{"\\Device\\El59x1"}, GetList(kDisabled, "Bind"));
    EXPECT_EQ(List{kExport}, GetList(kDisabled, "export"));
    EXPECT_EQ(List{"\"El59x\" \"El59x1\""}, GetList(kDisabled, "route"));

    // Without NWLink IPX neither the removal nor the LAN configuration writes a binding list.
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kLinkage);
    GiveBackLanAdapters({{"E100B1", 0}}, "VrkMpr1");
    SaveLanAdapterTable();
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, kLinkage));
}

TEST_F(LanAdapterTableTest, OwningMovesTheBindingOfThatAdapterOnly) {
    // EL59X1 is owned; EL59X10, a different adapter whose name begins the same, stays bound.
    SetBindings({"\\Device\\EL59X10", "\\Device\\NdisWan5", "\\Device\\El59x1"}, {"r10", "rwan", "r1"}, {}, {});
    LoadLanAdapterTable();
    ASSERT_EQ(2u, LanAdapterCount());
    ASSERT_STREQ("EL59X1", LanAdapterAt(1)->serviceName);
    LanAdapterAt(1)->routerOwned = 1;
    EXPECT_TRUE(SaveLanAdapterTable());
    EXPECT_EQ((List{"\\Device\\EL59X10", "\\Device\\NdisWan5"}), GetList(kLinkage, "Bind"));
    EXPECT_EQ((List{"r10", "rwan"}), GetList(kLinkage, "route"));
    EXPECT_EQ((List{kExport, kExport}), GetList(kLinkage, "export"));
    EXPECT_EQ((List{"\\Device\\El59x1"}), GetList(kDisabled, "Bind"));
    EXPECT_EQ((List{"r1"}), GetList(kDisabled, "route"));
    EXPECT_EQ((List{kExport}), GetList(kDisabled, "export"));
    // A save does not change the table; loading again reads the moved binding as router-owned.
    EXPECT_NE(0, LanAdapterAt(1)->routerOwned);
    LoadLanAdapterTable();
    EXPECT_EQ((std::vector<Seen>{{"EL59X10", "", false}, {"EL59X1", "", true}}), Table());
}

TEST_F(LanAdapterTableTest, TheRoutersOwnBindingNeverStaysDisabled) {
    SetBindings({"\\Device\\El59x1"}, {"r1"}, {"\\Device\\VrkMpr1", "\\Device\\VrkMpr2"}, {"rv1", "rv2"});
    for (int save = 0; save < 2; ++save) {
        LoadLanAdapterTable();
        EXPECT_TRUE(SaveLanAdapterTable());
    }
    // One such binding per save.
    EXPECT_EQ((List{"\\Device\\El59x1", "\\Device\\VrkMpr1", "\\Device\\VrkMpr2"}), GetList(kLinkage, "Bind"));
    EXPECT_EQ((List{"r1", "rv1", "rv2"}), GetList(kLinkage, "route"));
    EXPECT_EQ(List{}, GetList(kDisabled, "Bind"));
}

TEST_F(LanAdapterTableTest, SixteenAdaptersAtMostTheOthersStayWhereTheyAre) {
    List bind, route;
    for (int i = 0; i < 20; ++i) {
        bind.push_back("\\Device\\Card" + std::to_string(i));
        route.push_back("route" + std::to_string(i));
    }
    SetBindings(bind, route, {}, {});
    LoadLanAdapterTable();
    ASSERT_EQ(16u, LanAdapterCount());
    EXPECT_STREQ("CARD15", LanAdapterAt(15)->serviceName);
    for (DWORD i = 0; i < LanAdapterCount(); ++i) LanAdapterAt(i)->routerOwned = 1;
    SaveLanAdapterTable();
    EXPECT_EQ(List(bind.begin() + 16, bind.end()), GetList(kLinkage, "Bind"));
    EXPECT_EQ(List(route.begin() + 16, route.end()), GetList(kLinkage, "route"));
    EXPECT_EQ(List(bind.begin(), bind.begin() + 16), GetList(kDisabled, "Bind"));
    EXPECT_EQ(List(16, kExport), GetList(kDisabled, "export"));
}

TEST_F(LanAdapterTableTest, ListsBeyond512BytesAreMovedWhole) {
    // Long device names: each list holds more than 512 bytes, and moves make them longer still.
    List bind, route, disabled, disabledRoute;
    for (int i = 0; i < 12; ++i) {
        bind.push_back("\\Device\\EnabledEthernetAdapterWithAVeryLongName" + std::to_string(i));
        route.push_back("\"EnabledAdapterDriver\" \"EnabledEthernetAdapterWithAVeryLongName" + std::to_string(i) + "\"");
        disabled.push_back("\\Device\\DisabledEthernetAdapterWithAVeryLongName" + std::to_string(i));
        disabledRoute.push_back("\"DisabledAdapterDriver\" \"DisabledEthernetAdapterWithAVeryLongName" + std::to_string(i) + "\"");
    }
    SetBindings(bind, route, disabled, disabledRoute);
    ASSERT_GT(Raw(kLinkage, "Bind").size(), 512u);
    LoadLanAdapterTable();
    ASSERT_EQ(16u, LanAdapterCount());
    // The twelve enabled ones go to the router, the four disabled ones in the table come back.
    for (DWORD i = 0; i < LanAdapterCount(); ++i) LanAdapterAt(i)->routerOwned = i < 12 ? 1 : 0;
    SaveLanAdapterTable();

    List expectedBind(disabled.begin(), disabled.begin() + 4);
    List expectedRoute(disabledRoute.begin(), disabledRoute.begin() + 4);
    List expectedDisabled(disabled.begin() + 4, disabled.end());
    List expectedDisabledRoute(disabledRoute.begin() + 4, disabledRoute.end());
    expectedDisabled.insert(expectedDisabled.end(), bind.begin(), bind.end());
    expectedDisabledRoute.insert(expectedDisabledRoute.end(), route.begin(), route.end());
    EXPECT_EQ(expectedBind, GetList(kLinkage, "Bind"));
    EXPECT_EQ(expectedRoute, GetList(kLinkage, "route"));
    EXPECT_EQ(expectedDisabled, GetList(kDisabled, "Bind"));
    EXPECT_EQ(expectedDisabledRoute, GetList(kDisabled, "route"));
    EXPECT_EQ(List(20, kExport), GetList(kDisabled, "export"));
    EXPECT_GT(Raw(kDisabled, "route").size(), 1024u);
}

TEST_F(LanAdapterTableTest, AShorterRouteListLosesNothing) {
    SetBindings({"\\Device\\A1", "\\Device\\B1"}, {"ra"}, {}, {});
    LoadLanAdapterTable();
    LanAdapterAt(1)->routerOwned = 1;
    SaveLanAdapterTable();
    EXPECT_EQ((List{"\\Device\\A1"}), GetList(kLinkage, "Bind"));
    EXPECT_EQ((List{"ra"}), GetList(kLinkage, "route"));
    EXPECT_EQ((List{"\\Device\\B1"}), GetList(kDisabled, "Bind"));
    EXPECT_EQ(List{}, GetList(kDisabled, "route"));
}

TEST_F(LanAdapterTableTest, MissingListsAndDisabledKeyAreWrittenEmpty) {
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kLinkage);
    SetList(kLinkage, "Bind", {"\\Device\\El59x1"});
    LoadLanAdapterTable();
    ASSERT_EQ(1u, LanAdapterCount());
    SaveLanAdapterTable();
    EXPECT_EQ((List{kExport}), GetList(kLinkage, "export"));
    EXPECT_EQ(std::string(1, '\0'), Raw(kLinkage, "route"));
    for (const char* name : {"Bind", "export", "route"}) EXPECT_EQ(std::string(1, '\0'), Raw(kDisabled, name)) << name;

    // Without any binding the table stays empty.
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kLinkage);
    LoadLanAdapterTable();
    EXPECT_EQ(0u, LanAdapterCount());
    EXPECT_EQ(nullptr, LanAdapterAt(0));
}

TEST_F(LanAdapterTableTest, LongDescriptionsAreCutToTheEntry) {
    SetBindings({"\\Device\\El59x1"}, {"r"}, {}, {});
    const std::string description(300, 'D');
    AddCard(7, "El59x1", description.c_str());
    LoadLanAdapterTable();
    ASSERT_EQ(1u, LanAdapterCount());
    EXPECT_EQ(description.substr(0, 127), LanAdapterAt(0)->description);
}

}  // namespace
