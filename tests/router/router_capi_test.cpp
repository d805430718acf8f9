// CAPI access through the substitute CAPI 2.0 driver: the manufacturer test, the parameter query
// and setting with their exact bytes, the acceptance of the confirmation, failures and time-outs.
#include <gtest/gtest.h>

#include "router/capi_device.h"
#include "router_fixture.h"

using namespace router_test;
using testing_capi::CapiControl;
using testing_capi::Hex;

namespace {

const std::string kRegister = "0004020008008000";
// The query for controller 1 as written: length 26, command 0x18 request, message 1, controller
// 1 and 2, then 0, 0, 0, 4 and four reserved bytes.
const std::string kQuery1 =
    "1A00000018000100"
    "0000000000000000"
    "0102"
    "0000"
    "0000"
    "0000"
    "0400"
    "00000000";

// The set request for a controller with flags and protocol.
std::string SetRequest(unsigned controller, unsigned flags, unsigned protocol) {
    return Hex({0x1A,
                0,
                0,
                0,
                0x18,
                0,
                1,
                0,
                0,
                0,
                0,
                0,
                0,
                0,
                0,
                0,
                static_cast<unsigned char>(controller),
                2,
                4,
                0,
                0,
                0,
                static_cast<unsigned char>(flags),
                static_cast<unsigned char>(flags >> 8),
                static_cast<unsigned char>(protocol),
                0});
}

// The substitute's confirmation of a query for controller 1.
std::string Confirmation(unsigned flags, unsigned protocol) {
    std::vector<unsigned char> bytes(30, 0);
    bytes[0] = 30;
    bytes[2] = 1;
    bytes[4] = 0x18;
    bytes[5] = 0x01;
    bytes[6] = 1;
    bytes[16] = 1;
    bytes[17] = 2;
    bytes[22] = static_cast<unsigned char>(flags);
    bytes[26] = static_cast<unsigned char>(protocol);
    return Hex(bytes);
}

class RouterCapiTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(MachineWithDriver("two-cards")); }
    void SetUp() override {
        ASSERT_TRUE(control.Reset());
        testing_journal::ClearJournal();
        ASSERT_TRUE(OpenRouterLog());
    }
    // The driver hears of a closed handle a moment after CloseHandle has returned.
    void ExpectRequests(const std::vector<std::string>& expected) {
        Eventually([&] { return testing_capi::RequestLines() == expected; }, 2000);
        EXPECT_EQ(expected, testing_capi::RequestLines());
    }
    void ExpectNothingOpen(unsigned device = 0) {
        capi_device_state state;
        Eventually([&] { return control.State(device, &state) && state.open_now == 0; }, 2000);
        ASSERT_TRUE(control.State(device, &state));
        EXPECT_EQ(0u, state.open_now);
        EXPECT_EQ(0u, state.registered_now);
        EXPECT_EQ(0u, state.pending_reads);
        EXPECT_EQ(state.opens, state.closes);
    }
    bool LogHas(const std::string& text) { return RawLog().find(text) != std::string::npos; }

    CapiControl control;
};

const char* Capi1[] = {"CAPI1", "1"};

TEST_F(RouterCapiTest, IsCapiPlusLooksForCapiPlusInTheManufacturerText) {
    const struct {
        const char* manufacturer;
        const char* expected;
    } cases[] = {
        {"Varnek Systems ISDN S0 card", "FALSE"},
        {"Varnek CAPI+ card", "TRUE"},
        {"varnek capi+ leased lines", "TRUE"},
        {"CAPI 2.0 +", "FALSE"},
        // Only the first 63 bytes of the answer are looked at.
        {"...............................................................CAPI+", "FALSE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.manufacturer);
        ASSERT_TRUE(control.SetManufacturer(0, c.manufacturer));
        testing_journal::ClearJournal();
        const char* result = nullptr;
        EXPECT_EQ(1, IsCapiPlus(1, Capi1, &result));
        EXPECT_STREQ(c.expected, result);
        std::vector<std::string> lines;
        Eventually([&] { return (lines = testing_capi::RequestLines()).size() == 3; }, 2000);
        ASSERT_EQ(3u, lines.size());
        EXPECT_EQ("create ok -", lines[0]);
        EXPECT_EQ(0u, lines[1].rfind("manufacturer ok ", 0)) << lines[1];
        EXPECT_EQ("close ok -", lines[2]);
        ExpectNothingOpen();
    }
    EXPECT_TRUE(LogHas("IsCapiPlus, manufacturerstring is: Varnek CAPI+ card\n\r\n"));
}

TEST_F(RouterCapiTest, IsCapiPlusWithoutDeviceOrManufacturerIsFalse) {
    const char* result = nullptr;
    EXPECT_EQ(0, IsCapiPlus(0, Capi1, &result));
    EXPECT_STREQ("FALSE", result);

    const char* missing[] = {"NOCAPI"};
    result = nullptr;
    EXPECT_EQ(1, IsCapiPlus(1, missing, &result));
    EXPECT_STREQ("FALSE", result);
    EXPECT_TRUE(LogHas("can't open NOCAPI (2)\n\r\n")) << RawLog();

    ASSERT_TRUE(control.SetManufacturer(0, "Varnek CAPI+ card"));
    ASSERT_TRUE(control.SetFaults(0, CAPI_FAIL_MANUFACTURER));
    result = nullptr;
    EXPECT_EQ(1, IsCapiPlus(1, Capi1, &result));
    EXPECT_STREQ("FALSE", result);
    EXPECT_TRUE(LogHas("IsCapiPlus GetManufacturer failed (error 21)\n\r\n")) << RawLog();
    ExpectNothingOpen();

    char buffer[16] = "untouched";
    EXPECT_EQ(0, GetManufacturer(buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
    EXPECT_TRUE(LogHas("GetManufacturer ERROR;Capi Driver not open\r\n"));
}

TEST_F(RouterCapiTest, GetParamsQueriesAndAcceptsTheConfirmation) {
    ASSERT_TRUE(control.Change(0, [](capi_device_config& c) {
        c.flags = 0x000F;
        c.protocol = 2;
    }));
    const char* result = nullptr;
    DWORD protocol = 77;
    EXPECT_EQ(1, GetParams(2, Capi1, &result, &protocol));
    EXPECT_STREQ("TRUE", result);
    // The status word at offset 24 is 0 in an accepted answer, and its low byte is the protocol.
    EXPECT_EQ(0u, protocol);
    const std::string confirmation = Confirmation(0x0F, 2);
    const std::vector<std::string> expected = {"create ok -",         "register ok " + kRegister,
                                               "write ok " + kQuery1, "read ok " + confirmation,
                                               "release ok -",        "close ok -"};
    ExpectRequests(expected);
    EXPECT_TRUE(LogHas("capi register sucessful\n\r\n"));
    EXPECT_TRUE(LogHas("GetParams, get params sucessful, protocol: 0, flags: 0xf (30)\n\r\n")) << RawLog();
    EXPECT_TRUE(LogHas("capi release sucessful\n\r\n"));
    ExpectNothingOpen();
}

TEST_F(RouterCapiTest, ConfirmationsThatAreNotAcceptedLeaveProtocolOne) {
    const struct {
        unsigned length, command, subcommand, info;
    } cases[] = {
        {30, 0x18, 0x01, 3}, {28, 0x18, 0x01, 0}, {32, 0x18, 0x01, 0}, {30, 0x18, 0x02, 0}, {30, 0x19, 0x01, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " " << c.command << " " << c.subcommand << " " << c.info);
        ASSERT_TRUE(control.Change(0, [&](capi_device_config& config) {
            config.reply_length = c.length;
            config.command = c.command;
            config.subcommand = c.subcommand;
            config.info = c.info;
        }));
        ASSERT_TRUE(OpenRouterLog());
        const char* result = nullptr;
        DWORD protocol = 0;
        EXPECT_EQ(1, GetParams(2, Capi1, &result, &protocol));
        EXPECT_STREQ("FALSE", result);
        EXPECT_EQ(1u, protocol);
        EXPECT_TRUE(LogHas("GetParams, unexpected capi msg; VrkSetParams\r\n")) << RawLog();
        ExpectNothingOpen();
    }
}

TEST_F(RouterCapiTest, FailuresOfEachStepAreLoggedAndCloseTheDevice) {
    const struct {
        unsigned faults;
        const char* log;
        std::vector<std::string> requests;
    } cases[] = {
        {CAPI_FAIL_CREATE, "can't open CAPI1 (2)\n\r\n", {}},
        {CAPI_FAIL_REGISTER,
         "capi register failed (error 21)\n\r\n",
         {"create ok -", "register failed " + kRegister, "close ok -"}},
        {CAPI_FAIL_WRITE,
         "Getparams write capi failed with: 21\n\r\n",
         {"create ok -", "register ok " + kRegister, "write failed " + kQuery1, "release ok -", "close ok -"}},
        {CAPI_FAIL_READ,
         "GetParams, read failed with: 21\n\r\n",
         {"create ok -", "register ok " + kRegister, "write ok " + kQuery1, "read failed -", "release ok -",
          "close ok -"}},
        {CAPI_FAIL_RELEASE,
         "capi release failed (error 21)\n\r\n",
         {"create ok -", "register ok " + kRegister, "write ok " + kQuery1, "read ok " + Confirmation(0, 0),
          "release failed -", "close ok -"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.log);
        ASSERT_TRUE(control.SetFaults(0, c.faults));
        ASSERT_TRUE(OpenRouterLog());
        testing_journal::ClearJournal();
        const char* result = nullptr;
        DWORD protocol = 0;
        EXPECT_EQ(1, GetParams(2, Capi1, &result, &protocol));
        EXPECT_STREQ(c.faults == CAPI_FAIL_RELEASE ? "TRUE" : "FALSE", result);
        EXPECT_EQ(c.faults == CAPI_FAIL_RELEASE ? 0u : 1u, protocol);
        EXPECT_TRUE(LogHas(c.log)) << RawLog();
        ExpectRequests(c.requests);
        ExpectNothingOpen();
    }
}

TEST_F(RouterCapiTest, AConfirmationThatNeverComesIsGivenUpAfterTheTimeLimit) {
    ASSERT_TRUE(control.SetFaults(0, CAPI_HOLD_READ));
    const char* result = nullptr;
    DWORD protocol = 0;
    const DWORD start = GetTickCount();
    EXPECT_EQ(1, GetParams(2, Capi1, &result, &protocol));
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, kCapiRequestTimeoutMs - 100);
    EXPECT_LT(took, kCapiRequestTimeoutMs + 3000);
    EXPECT_STREQ("FALSE", result);
    EXPECT_EQ(1u, protocol);
    EXPECT_TRUE(LogHas("GetParams, read failed with: 1460\n\r\n")) << RawLog();
    const std::vector<std::string> expected = {"create ok -",    "register ok " + kRegister, "write ok " + kQuery1,
                                               "read pending -", "read cancelled -",         "release ok -",
                                               "close ok -"};
    ExpectRequests(expected);
    ExpectNothingOpen();
}

TEST_F(RouterCapiTest, SetParamsWritesTheSetRequestWithoutReadingAnAnswer) {
    const char* tooFew[] = {"CAPI2", "1", "15"};
    const char* result = nullptr;
    EXPECT_EQ(0, SetParams(3, tooFew, &result));
    EXPECT_STREQ("FALSE", result);
    EXPECT_TRUE(LogHas("Setparam, Too fee parameters\n\r\n"));
    EXPECT_TRUE(testing_capi::Requests().empty());

    // Controller and protocol count modulo 256, the flags modulo 65536.
    const char* set[] = {"CAPI2", "258", "0x1000F", "0x103"};
    result = nullptr;
    EXPECT_EQ(1, SetParams(4, set, &result));
    EXPECT_STREQ("TRUE", result);
    const std::vector<std::string> expected = {"create ok -", "register ok " + kRegister,
                                               "write ok " + SetRequest(2, 15, 3), "release ok -", "close ok -"};
    ExpectRequests(expected);
    EXPECT_EQ("CAPI2", testing_capi::Requests()[0].device);
    EXPECT_TRUE(LogHas("SetParams, set params sucessful, protocol: 3, flags: 0xf (26)\n\r\n")) << RawLog();

    ASSERT_TRUE(control.SetFaults(1, CAPI_FAIL_WRITE));
    result = nullptr;
    EXPECT_EQ(1, SetParams(4, set, &result));
    EXPECT_STREQ("FALSE", result);
    EXPECT_TRUE(LogHas("SetParams, get params failed with 21\n\r\n")) << RawLog();
    ExpectNothingOpen(1);
}

}  // namespace
