// The controller table and the X.31 records in the registry: loading for a product, the limits,
// saving with the product's value names, the leased-line switch-over and the TEI records.
#include <gtest/gtest.h>

#include <cstring>

#include "common/registry.h"
#include "router/controller_table.h"
#include "router/x31_settings.h"
#include "router_fixture.h"

using namespace router_test;
using namespace testing_machine;

namespace {

const char kCapi[] = "SOFTWARE\\CAPI20";

std::string Tei(const std::string& name) { return std::string(kX31Parameters) + "\\" + name; }

class RouterTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kX31Parameters);
        ASSERT_TRUE(OpenRouterLog());
    }
    void Shape(const std::string& shape) {
        ASSERT_TRUE(testing_capi::ProvisionShape(shape));
        testing_journal::ClearJournal();
    }
    bool Logged(const std::string& start) {
        for (const std::string& m : LogMessages())
            if (m.rfind(start, 0) == 0) return true;
        return false;
    }
};

TEST_F(RouterTableTest, NoOrEmptyCapiRegistryGivesNoController) {
    Shape("none");
    LoadControllerTable(kProductMultiprotocolRouter);
    EXPECT_EQ(0, ControllerCount());
    EXPECT_EQ(nullptr, ControllerAt(0));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, std::string(kCapi) + "\\Empty", "Note", "x"));
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, std::string(kCapi) + "\\Empty");
    ASSERT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, kCapi));
    LoadControllerTable(kProductRemoteAccess);
    EXPECT_EQ(0, ControllerCount());
}

TEST_F(RouterTableTest, ControllersOfEveryCardWithTheProductsValuesAndDefaults) {
    Shape("two-cards");
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(1, 1), "VrkRasEnabled", 1));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, ControllerKey(1, 1), "VrkRasProtocol", "1.1"));
    LoadControllerTable(kProductMultiprotocolRouter);
    ASSERT_EQ(3, ControllerCount());
    const ControllerEntry* a = ControllerAt(0);
    EXPECT_EQ(1u, a->card);
    EXPECT_EQ(1u, a->numberOfControllers);
    EXPECT_STREQ("CAPI1", a->deviceName);
    EXPECT_STREQ("Varnek Systems ISDN S0 card", a->manufacturer);
    EXPECT_EQ(1u, a->controller);
    EXPECT_EQ(2u, a->channels);
    EXPECT_EQ(2u, a->enabled) << "Enabled defaults to Channels";
    EXPECT_STREQ("IRP_RW", a->interfaceName);
    EXPECT_STREQ("2.0", a->protocol);
    EXPECT_STREQ("", a->nickname);
    EXPECT_STREQ("0", a->phone);
    EXPECT_EQ(0u, a->capiPlus);
    EXPECT_EQ(nullptr, a->x31);
    const ControllerEntry* b = ControllerAt(1);
    const ControllerEntry* c = ControllerAt(2);
    EXPECT_EQ(2u, b->card);
    EXPECT_EQ(2u, b->numberOfControllers);
    EXPECT_EQ(1u, b->controller);
    EXPECT_STREQ("Zentrale", b->nickname);
    EXPECT_EQ(2u, c->controller);
    // The second controller of a card keeps the strings read for the first.
    EXPECT_STREQ("Zentrale", c->nickname);
    EXPECT_STREQ("0301234", c->phone);
    EXPECT_EQ(nullptr, ControllerAt(3));

    LoadControllerTable(kProductRemoteAccess);
    ASSERT_EQ(3, ControllerCount());
    EXPECT_EQ(1u, ControllerAt(0)->enabled);
    EXPECT_STREQ("1.1", ControllerAt(0)->protocol);
    EXPECT_STREQ("", ControllerAt(1)->nickname);
}

TEST_F(RouterTableTest, CardsAndControllersThatCannotBeReadArePassedOver) {
    Shape("one-card");
    const struct {
        const char* card;
        bool deviceName, controllers;
    } cards[] = {{"0", true, true}, {"abc", true, true}, {"3", false, true}, {"4", true, false}};
    for (const auto& c : cards) {
        const std::string key = std::string(kCapi) + "\\" + c.card;
        if (c.deviceName) {
            ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, key, "DeviceName", "CAPI9"));
        }
        if (c.controllers) {
            ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, key, "NumberOfControllers", 1));
        }
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, key + "\\1", "Channels", 2));
    }
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, std::string(kCapi) + "\\5", "DeviceName", "CAPI5", REG_EXPAND_SZ));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, std::string(kCapi) + "\\5", "NumberOfControllers", 1));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(5, 1), "Channels", 2));
    // Card 1 gets a second controller without Channels and a third with values out of bounds.
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, std::string(kCapi) + "\\1", "NumberOfControllers", 3));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, ControllerKey(1, 1), "VrkMprNickname", "Erster"));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(1, 3), "Channels", 30));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, ControllerKey(1, 3), "VrkMprNickname", std::string(32, 'n')));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, ControllerKey(1, 3), "VrkMprEnabled", "12"));
    LoadControllerTable(kProductMultiprotocolRouter);
    ASSERT_EQ(2, ControllerCount());
    EXPECT_EQ(1u, ControllerAt(0)->controller);
    EXPECT_EQ(3u, ControllerAt(1)->controller);
    EXPECT_STREQ("Erster", ControllerAt(1)->nickname) << "a nickname of 32 characters is not loaded";
    EXPECT_EQ(30u, ControllerAt(1)->enabled) << "an Enabled that is no REG_DWORD is not loaded";
}

TEST_F(RouterTableTest, TheTableStopsAtThirtyTwoAndNoCardClaimsMoreThan127Controllers) {
    Shape("none");
    const std::string card = std::string(kCapi) + "\\1";
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, card, "DeviceName", "CAPI1"));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, card, "NumberOfControllers", 0xFFFFFFFF));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(1, 1), "Channels", 2));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(1, 128), "Channels", 2));
    DWORD start = GetTickCount();
    LoadControllerTable(kProductMultiprotocolRouter);
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_EQ(1, ControllerCount());
    EXPECT_EQ(0xFFFFFFFFu, ControllerAt(0)->numberOfControllers);
    EXPECT_TRUE(Logged("CAPI card 1 claims 4294967295 controllers; only controllers 1 to 127 are read"));

    for (int c = 2; c <= 40; ++c) ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(1, c), "Channels", 2));
    const std::string second = std::string(kCapi) + "\\2";
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, second, "DeviceName", "CAPI2"));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, second, "NumberOfControllers", 1));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(2, 1), "Channels", 2));
    ASSERT_TRUE(OpenRouterLog());
    LoadControllerTable(kProductMultiprotocolRouter);
    ASSERT_EQ(kControllerTableSize, ControllerCount());
    EXPECT_EQ(32u, ControllerAt(31)->controller);
    EXPECT_EQ(nullptr, ControllerAt(32));
    EXPECT_TRUE(Logged("Controller table full (32 entries): card 1 controller 33 and all after it are not loaded"));
}

TEST_F(RouterTableTest, OnlyAControllerWithItsOwnValueIsALeasedLine) {
    ASSERT_TRUE(MachineWithDriver("capi-plus"));
    LoadControllerTable(kProductMultiprotocolRouter);
    ASSERT_EQ(2, ControllerCount());
    EXPECT_EQ(1u, ControllerAt(0)->driverCapiPlus);
    EXPECT_EQ(1u, ControllerAt(0)->capiPlus);
    EXPECT_EQ(1u, ControllerAt(1)->driverCapiPlus);
    EXPECT_EQ(0u, ControllerAt(1)->capiPlus) << "the flag of the controller before is not carried over";
    EXPECT_STREQ("Standleitung", ControllerAt(1)->nickname);

    // A driver without CAPI+ clears the flag read from the registry.
    ASSERT_TRUE(testing_capi::CapiControl().SetManufacturer(0, "Varnek Systems ISDN card"));
    LoadControllerTable(kProductMultiprotocolRouter);
    EXPECT_EQ(0u, ControllerAt(0)->driverCapiPlus);
    EXPECT_EQ(0u, ControllerAt(0)->capiPlus);
    ASSERT_TRUE(testing_capi::CapiControl().Reset());
}

TEST_F(RouterTableTest, SaveWritesTheProductsValuesOnly) {
    Shape("two-cards");
    LoadControllerTable(kProductMultiprotocolRouter);
    ControllerAt(0)->enabled = 1;
    strcpy(ControllerAt(0)->nickname, "Berlin");
    strcpy(ControllerAt(0)->phone, "030987");
    strcpy(ControllerAt(2)->interfaceName, "IRP_GP");
    ControllerAt(2)->enabled = 0;
    EXPECT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
    DWORD value = 99;
    EXPECT_TRUE(Dword(ControllerKey(1, 1), "VrkMprEnabled", &value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(Dword(ControllerKey(1, 1), "VrkMprCapiPlus", &value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ("Berlin", Text(ControllerKey(1, 1), "VrkMprNickname"));
    EXPECT_EQ("030987", Text(ControllerKey(1, 1), "VrkMprPhone"));
    EXPECT_EQ("IRP_RW", Text(ControllerKey(1, 1), "VrkMprInterface"));
    EXPECT_EQ("2.0", Text(ControllerKey(1, 1), "VrkMprProtocol"));
    EXPECT_TRUE(Dword(ControllerKey(2, 2), "VrkMprEnabled", &value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ("IRP_GP", Text(ControllerKey(2, 2), "VrkMprInterface"));
    EXPECT_EQ("Zentrale", Text(ControllerKey(2, 2), "VrkMprNickname"));
    EXPECT_EQ("(missing)", Text(ControllerKey(1, 1), "VrkRasNickname"));

    LoadControllerTable(kProductRemoteAccess);
    ControllerAt(1)->enabled = 1;
    EXPECT_TRUE(SaveControllerTable(kProductRemoteAccess));
    EXPECT_TRUE(Dword(ControllerKey(2, 1), "VrkRasEnabled", &value));
    EXPECT_EQ(1u, value);
    EXPECT_FALSE(Dword(ControllerKey(2, 1), "VrkRasCapiPlus", &value)) << "the remote-access line has no leased lines";
    EXPECT_EQ("", Text(ControllerKey(2, 1), "VrkRasNickname"));
    EXPECT_TRUE(Dword(ControllerKey(2, 1), "VrkMprEnabled", &value));
    EXPECT_EQ(2u, value) << "the router's values stay";
}

TEST_F(RouterTableTest, SavingALeasedLineSwitchesItsDriverOver) {
    ASSERT_TRUE(MachineWithDriver("capi-plus"));
    testing_capi::CapiControl control;
    LoadControllerTable(kProductMultiprotocolRouter);
    testing_journal::ClearJournal();
    EXPECT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
    std::vector<std::string> lines;
    const std::vector<std::string> expected = {
        "create ok -",
        "register ok 0004020008008000",
        "write ok 1A0000001800010000000000000000000102000000000000040000000000",
        "read ok 1E0001001801010000000000000000000102000000000000000000000000",
        "release ok -",
        "close ok -",
        "create ok -",
        "register ok 0004020008008000",
        "write ok 1A0000001800010000000000000000000102040000000F000000",
        "release ok -",
        "close ok -",
    };
    Eventually([&] { return (lines = testing_capi::RequestLines()).size() >= expected.size(); }, 3000);
    EXPECT_EQ(expected, lines) << "controller 1 only, with flags 15 and the protocol the query gave";

    // A query that is not accepted hands protocol 1 to the set request.
    ASSERT_TRUE(control.Change(0, [](capi_device_config& c) { c.info = 0x3001; }));
    testing_journal::ClearJournal();
    EXPECT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
    Eventually([&] { return (lines = testing_capi::RequestLines()).size() >= expected.size(); }, 3000);
    ASSERT_EQ(expected.size(), lines.size());
    EXPECT_EQ("write ok 1A0000001800010000000000000000000102040000000F000100", lines[8]);
    capi_device_state state;
    ASSERT_TRUE(control.State(0, &state));
    EXPECT_EQ(0u, state.open_now);
    ASSERT_TRUE(control.Reset());
}

class RouterX31Test : public RouterTableTest {
protected:
    void Record(const std::string& name, const std::string& device, DWORD highest, DWORD card = 0,
                DWORD controller = 0) {
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Tei(name), "DeviceName", device));
        ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei(name), "Ch_HTC", highest));
        if (card) {
            ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei(name), "Card", card));
            ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei(name), "Controller", controller));
        }
    }
    int Holder() {
        int holder = -1;
        for (int i = 0; i < ControllerCount(); ++i)
            if (ControllerAt(i)->x31) {
                EXPECT_EQ(-1, holder) << "two entries hold X.31 settings";
                holder = i;
            }
        return holder;
    }
};

TEST_F(RouterX31Test, TheRecordSwitchedOnIsLoadedWithItsValuesElseTheFirstUsable) {
    Shape("two-cards");
    Record("TEI5", "capi1", 4);
    Record("TEI12", "CAPI1", 6);
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI5"), "PacketSize", 256));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI5"), "PacketSizeMax", 128));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI5"), "WinSizeMax", 7));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI5"), "VrkMprEnabled", 1));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Tei("TEI5"), "X25Address", "4500"));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI12"), "PacketSize", 256));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI12"), "PacketSizeMax", 256));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI12"), "VrkMprEnabled", 0));
    // TEI12 comes first in enumeration order, but TEI5 is the one switched on.
    LoadControllerTable(kProductMultiprotocolRouter);
    ASSERT_EQ(0, Holder());
    const X31Settings* x = ControllerAt(0)->x31;
    EXPECT_EQ(5u, x->tei);
    EXPECT_EQ(4u, x->highestTwoWay);
    EXPECT_EQ(128u, x->packetSize) << "PacketSize is at most PacketSizeMax";
    EXPECT_EQ(128u, x->packetSizeMax);
    EXPECT_EQ(2u, x->winSize);
    EXPECT_EQ(7u, x->winSizeMax);
    EXPECT_EQ(1u, x->enabled);
    EXPECT_STREQ("4500", x->x25Address);
    EXPECT_EQ(1u, x->lowestTwoWay);

    // None switched on: enumeration order decides.
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI5"), "VrkMprEnabled", 0));
    char first[64] = "";
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kX31Parameters, 0, KEY_READ, &key));
        DWORD size = sizeof first;
        RegEnumKeyExA(key, 0, first, &size, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
    }
    LoadControllerTable(kProductMultiprotocolRouter);
    ASSERT_EQ(0, Holder());
    x = ControllerAt(0)->x31;
    EXPECT_EQ(std::string(first) == "TEI5" ? 5u : 12u, x->tei);
    EXPECT_EQ(0u, x->enabled);

    LoadControllerTable(kProductRemoteAccess);
    EXPECT_EQ(-1, Holder()) << "the remote-access line has no X.31";
}

TEST_F(RouterX31Test, ChangingTheTeiOrTheControllerKeepsX31OnRunAfterRun) {
    Shape("two-cards");
    const struct {
        int entry;
        DWORD tei;
        const char* line;
    } runs[] = {
        {0, 1, "CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;5;1;"},
        {0, 2, "CAPI1;NO_NICKNAME;IRP_RW;2.0;1;1;5;2;"},
        {1, 12, "CAPI2;Zentrale;IRP_RW;2.0;2;1;5;12;"},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE("TEI " + std::to_string(run.tei));
        LoadControllerTable(kProductMultiprotocolRouter);
        X31Settings* x = nullptr;
        for (int i = 0; i < ControllerCount(); ++i)
            if (ControllerAt(i)->x31) std::swap(x, ControllerAt(i)->x31);
        if (!x) {
            x = new X31Settings;
            x->highestTwoWay = 5;
            x->enabled = 1;
        }
        x->tei = run.tei;
        ControllerAt(run.entry)->x31 = x;
        ASSERT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
        EXPECT_EQ(std::vector<std::string>{run.line}, Strings(kX31Parameters, "TEIs"));

        // The next run finds the TEI it saved, switched on, and saves it so again.
        LoadControllerTable(kProductMultiprotocolRouter);
        ASSERT_EQ(run.entry, Holder());
        EXPECT_EQ(run.tei, ControllerAt(run.entry)->x31->tei);
        EXPECT_EQ(1u, ControllerAt(run.entry)->x31->enabled);
        ASSERT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
        EXPECT_EQ(std::vector<std::string>{run.line}, Strings(kX31Parameters, "TEIs"));
        DWORD value = 0;
        EXPECT_TRUE(Dword(Tei("TEI" + std::to_string(run.tei)), "VrkMprEnabled", &value));
        EXPECT_EQ(1u, value);
    }
}

TEST_F(RouterX31Test, RecordsOfControllersGoneOrUnusedAreSwitchedOffAndBadNamesSkipped) {
    Shape("two-cards");
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(1, 1), "VrkMprEnabled", 0));
    Record("TEI3", "CAPI1", 5);    // its controller is not in use
    Record("TEI4", "GONE", 5);     // its device is not there
    Record("TEI", "CAPI2", 5);     // no number: skipped, untouched
    Record("TEI100", "CAPI2", 5);  // out of range
    Record("TEI6", "CAPI2", 0);    // no channel: skipped, untouched
    LoadControllerTable(kProductMultiprotocolRouter);
    EXPECT_EQ(-1, Holder());
    DWORD value = 99;
    for (const char* off : {"TEI3", "TEI4"}) {
        EXPECT_TRUE(Dword(Tei(off), "Ch_HTC", &value));
        EXPECT_EQ(0u, value) << off;
    }
    for (const char* kept : {"TEI", "TEI100"}) {
        EXPECT_TRUE(Dword(Tei(kept), "Ch_HTC", &value));
        EXPECT_EQ(5u, value) << kept;
    }
    EXPECT_TRUE(Logged("X31: TEI100 is no TEI1 to TEI63, skipped"));
    EXPECT_TRUE(Logged("X31: TEI is no TEI1 to TEI63, skipped"));
}

TEST_F(RouterX31Test, ARecordNamingItsControllerStaysWithIt) {
    Shape("two-cards");
    Record("TEI7", "CAPI2", 5, 2, 2);
    LoadControllerTable(kProductMultiprotocolRouter);
    EXPECT_EQ(2, Holder()) << "card 2 controller 2, not the first controller of CAPI2";
    ASSERT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
    LoadControllerTable(kProductMultiprotocolRouter);
    EXPECT_EQ(2, Holder()) << "after a save and another load";

    DeleteRegValueOf(HKEY_LOCAL_MACHINE, Tei("TEI7"), "Card");
    LoadControllerTable(kProductMultiprotocolRouter);
    EXPECT_EQ(1, Holder()) << "a record without its controller goes to the first controller of its device";
}

TEST_F(RouterX31Test, ARecordWhoseCardCameBackUnderAnotherNumberGoesToTheFirstControllerOfItsDevice) {
    Shape("two-cards");
    Record("TEI7", "CAPI2", 5, 2, 2);
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI7"), "VrkMprEnabled", 1));
    // A reinstalled card driver: card 2 is card 5 now.
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, std::string(kCapi) + "\\2");
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, std::string(kCapi) + "\\5", "DeviceName", "CAPI2"));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, std::string(kCapi) + "\\5", "NumberOfControllers", 2));
    for (int c : {1, 2}) ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, ControllerKey(5, c), "Channels", 2));
    LoadControllerTable(kProductMultiprotocolRouter);
    ASSERT_EQ(1, Holder());
    EXPECT_EQ(5u, ControllerAt(1)->card);
    EXPECT_EQ(1u, ControllerAt(1)->x31->enabled);
    DWORD value = 0;
    EXPECT_TRUE(Dword(Tei("TEI7"), "Ch_HTC", &value));
    EXPECT_EQ(5u, value) << "the record is not switched off";
    ASSERT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
    EXPECT_EQ(std::vector<std::string>{"CAPI2;NO_NICKNAME;IRP_RW;2.0;5;1;5;7;"}, Strings(kX31Parameters, "TEIs"));
    EXPECT_TRUE(Dword(Tei("TEI7"), "Card", &value));
    EXPECT_EQ(5u, value);
}

TEST_F(RouterX31Test, SaveWritesTheRecordTheActiveLineAndSwitchesOtherTeisOff) {
    Shape("two-cards");
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI3"), "VrkMprEnabled", 1));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, Tei("TEI4"), "VrkMprEnabled", "1"));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI7"), "VrkMprEnabled", 1));
    LoadControllerTable(kProductMultiprotocolRouter);
    X31Settings* x = new X31Settings;
    x->tei = 7;
    x->highestTwoWay = 9;
    x->enabled = 1;
    x->packetSizeNeg = 1;
    x->packetSize = 256;
    x->packetSizeMax = 256;
    strcpy(x->x25Address, "45001234");
    ControllerAt(1)->x31 = x;
    ASSERT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
    EXPECT_EQ(nullptr, ControllerAt(1)->x31) << "the record is released once saved";
    const std::string t7 = Tei("TEI7");
    EXPECT_EQ("CAPI2", Text(t7, "DeviceName"));
    EXPECT_EQ("45001234", Text(t7, "X25Address"));
    const struct {
        const char* name;
        DWORD value;
    } values[] = {{"Ch_HTC", 9},          {"Ch_HIC", 0},       {"Ch_HOC", 0},        {"Ch_LTC", 1},
                  {"Ch_LIC", 0},          {"Ch_LOC", 0},       {"PacketSizeNeg", 1}, {"PacketSize", 256},
                  {"PacketSizeMax", 256}, {"WinSizeNeg", 0},   {"WinSize", 2},       {"WinSizeMax", 2},
                  {"RevChargeAcc", 0},    {"RevChargeReq", 1}, {"VrkMprEnabled", 1}, {"Card", 2},
                  {"Controller", 1}};
    for (const auto& v : values) {
        DWORD value = 99;
        EXPECT_TRUE(Dword(t7, v.name, &value)) << v.name;
        EXPECT_EQ(v.value, value) << v.name;
    }
    EXPECT_EQ(std::vector<std::string>{"CAPI2;Zentrale;IRP_RW;2.0;2;1;9;7;45001234"}, Strings(kX31Parameters, "TEIs"));
    DWORD value = 99;
    EXPECT_TRUE(Dword(Tei("TEI3"), "VrkMprEnabled", &value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ("1", Text(Tei("TEI4"), "VrkMprEnabled")) << "only REG_DWORD values are switched off";

    // A leased line keeps its record but has no active line; no record leaves TEIs alone.
    LoadControllerTable(kProductMultiprotocolRouter);
    ASSERT_EQ(1, Holder());
    ControllerAt(1)->capiPlus = 1;
    ASSERT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
    EXPECT_EQ(std::string(1, '\0'), RawValue(kX31Parameters, "TEIs"));
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kX31Parameters, "TEIs", REG_MULTI_SZ, std::string("kept\0\0", 6)));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, Tei("TEI3"), "VrkMprEnabled", 1));
    ASSERT_EQ(-1, Holder());
    ASSERT_TRUE(SaveControllerTable(kProductMultiprotocolRouter));
    EXPECT_EQ(std::string("kept\0\0", 6), RawValue(kX31Parameters, "TEIs"));
    for (const char* off : {"TEI3", "TEI7"}) {
        EXPECT_TRUE(Dword(Tei(off), "VrkMprEnabled", &value));
        EXPECT_EQ(0u, value) << off;
    }
}

}  // namespace
