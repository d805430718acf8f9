// The driver control channel against the substitute VrkRas driver loaded in the machine's kernel.
#include <gtest/gtest.h>

#include <string>

#include "machine.h"
#include "rasconfig/driver_channel.h"
#include "services.h"
#include "vrkras_driver.h"

using namespace testing_machine;
using namespace testing_vrkras;

namespace {

std::string DosTarget(const std::string& name) {
    char target[256] = {};
    if (!QueryDosDeviceA(name.c_str(), target, sizeof target)) return std::string();
    return target;
}

// A DOS name that the channel defines stays defined for the machine's lifetime, so every case uses
// an adapter number of its own.
class DriverChannelTest : public ::testing::Test {
protected:
    void Load(DWORD adapter) {
        ASSERT_TRUE(InstallDriver(adapter));
        ASSERT_TRUE(StartDriver());
        control_ = DriverControl(adapter);
        ASSERT_TRUE(control_.Reset());
    }
    void TearDown() override {
        StopDriver();
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kDriverParameters);
    }
    // Wine hands the close of a device to the driver after CloseHandle has returned: the state is
    // read once the driver has seen every close.
    vrkras_state State() {
        vrkras_state state = {};
        for (int i = 0; i < 100; ++i) {
            EXPECT_TRUE(control_.State(&state));
            if (state.open_now == 0) break;
            Sleep(10);
        }
        return state;
    }
    DriverControl control_;
};

TEST_F(DriverChannelTest, ValueSelectorsReachTheDriverInTwelveByteRequestsWithoutKeepingTheDevice) {
    Load(3);
    // Wine hands a close to the driver only after CloseHandle has returned: each operation waits
    // until the driver has seen the last one's close, so that two handles at once mean a handle kept.
    const auto settled = [this] { State(); };
    EXPECT_TRUE(ProbeDriver());
    settled();
    EXPECT_EQ(0x5Au, SetTraceLevel(0x5A));
    settled();
    EXPECT_EQ(0xC3u, SetLogLevel(0xC3));
    settled();
    SetDefaultInbound(2);
    settled();
    SetDefaultOutbound(3);
    settled();
    SetIncallFlags(3);
    settled();
    EXPECT_EQ(0x5Au, GetTraceLevel());
    settled();
    EXPECT_EQ(0xC3u, GetLogLevel());

    const vrkras_state s = State();
    EXPECT_EQ(0x5Au, s.trace_level);
    EXPECT_EQ(0xC3u, s.log_level);
    EXPECT_EQ(2u, s.inbound);
    EXPECT_EQ(3u, s.outbound);
    EXPECT_EQ(3u, s.incall_flags);
    for (unsigned selector : {0u, 1u, 2u, 4u, 10u, 11u, 14u}) {
        EXPECT_EQ(1u, s.requests[selector]) << "selector " << selector;
        EXPECT_EQ(12u, s.last_length[selector]) << "selector " << selector;
    }
    EXPECT_EQ(0u, s.last_parameter[1]);
    EXPECT_EQ(0u, s.last_parameter[11]);
    EXPECT_EQ(4u, s.last_input_length);
    EXPECT_EQ(0u, s.bad_requests);
    // One open and one close per operation, the probe included; none is left open.
    EXPECT_EQ(8u, s.opens);
    EXPECT_EQ(8u, s.closes);
    EXPECT_EQ(0u, s.open_now);
    EXPECT_EQ(1u, s.open_most);
}

TEST_F(DriverChannelTest, AdapterNumberNamesTheDeviceInDecimal) {
    Load(12);
    EXPECT_EQ("\\Device\\VrkRas12", DosTarget("VrkRas12"));
    SetTraceLevel(7);
    EXPECT_EQ(7u, State().trace_level);
}

TEST_F(DriverChannelTest, BlocksCarryHeaderAndPayloadAndAnEmptyBlockIsNotSent) {
    Load(4);
    const std::string table = "1;4711;1\0002;4712;0\000\000";
    EXPECT_EQ(0u, LoadMsnEazTable(table.data(), static_cast<DWORD>(table.size())));
    const std::string callers = "-->\t0301123\tMeier\r\n\t0302\t\r\n";
    EXPECT_EQ(0u, LoadCallerList(callers.data(), static_cast<DWORD>(callers.size())));
    EXPECT_EQ(table, control_.Block(VRKRAS_BLOCK_MSN_EAZ));
    EXPECT_EQ(callers, control_.Block(VRKRAS_BLOCK_CALLERS));
    vrkras_state s = State();
    EXPECT_EQ(12u + table.size(), s.last_length[8]);
    EXPECT_EQ(12u + callers.size(), s.last_length[12]);

    EXPECT_EQ(0u, LoadCallerList(callers.data(), 0));
    s = State();
    EXPECT_EQ(1u, s.requests[12]);
    EXPECT_EQ(callers, control_.Block(VRKRAS_BLOCK_CALLERS));
    EXPECT_EQ(0u, s.open_now);
}

TEST_F(DriverChannelTest, WithoutTheDriverLevelsComeFromTheRegistryAndNothingIsSent) {
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kDriverParameters, "AdapterNumber", 5));
    EXPECT_FALSE(ProbeDriver());
    EXPECT_EQ(0u, GetTraceLevel());
    EXPECT_EQ(0u, GetLogLevel());
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kDriverParameters, "TraceLevel", 0x1A7));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kDriverParameters, "LogLevel", 0x42));
    EXPECT_EQ(0xA7u, GetTraceLevel());
    EXPECT_EQ(0x42u, GetLogLevel());
    EXPECT_EQ(0u, SetTraceLevel(3));
    EXPECT_EQ(0u, SetIncallFlags(1));
    const char bytes[] = "x";
    const DWORD openError = LoadMsnEazTable(bytes, 1);
    EXPECT_NE(0u, openError);
    EXPECT_EQ(openError, LoadCallerList(bytes, 1));
    char buffer[256];
    EXPECT_EQ(0u, ReadTraceStream(buffer, sizeof buffer));
    EXPECT_EQ(0u, ReadLogStream(buffer, sizeof buffer));
    // The registry copy is left as it was.
    EXPECT_EQ(0xA7u, GetTraceLevel());
}

TEST_F(DriverChannelTest, WithoutAdapterNumberNoDeviceIsOpened) {
    Load(9);
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kDriverParameters, "TraceLevel", 0x33));
    ASSERT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, kDriverParameters));
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, kDriverParameters, "AdapterNumber");
    EXPECT_FALSE(ProbeDriver());
    EXPECT_EQ(0x33u, GetTraceLevel());
    EXPECT_EQ(0u, SetTraceLevel(1));
    EXPECT_EQ(0u, State().opens);
}

TEST_F(DriverChannelTest, TextReadsTakeTheirStreamAndNeverReportMoreThanTheBuffer) {
    Load(6);
    ASSERT_TRUE(control_.Queue(VRKRAS_STREAM_TRACE));
    ASSERT_TRUE(control_.Queue(VRKRAS_STREAM_LOG));
    ASSERT_TRUE(control_.Push(VRKRAS_STREAM_TRACE, "trace text\n"));
    ASSERT_TRUE(control_.Push(VRKRAS_STREAM_LOG, "RING: FROM=0301 TO=4711\n"));
    char buffer[256];
    ASSERT_EQ(11u, ReadTraceStream(buffer, sizeof buffer));
    EXPECT_EQ("trace text\n", std::string(buffer, 11));
    ASSERT_EQ(24u, ReadLogStream(buffer, sizeof buffer));
    EXPECT_EQ("RING: FROM=0301 TO=4711\n", std::string(buffer, 24));
    EXPECT_EQ(0u, ReadTraceStream(buffer, sizeof buffer));
    vrkras_state s = State();
    EXPECT_EQ(256u, s.last_length[17]);
    EXPECT_EQ(256u, s.last_length[16]);

    // Too small for the header: nothing is sent.
    EXPECT_EQ(0u, ReadTraceStream(buffer, 11));
    EXPECT_EQ(s.requests[17], State().requests[17]);

    // A driver that claims more than the buffer it was offered.
    ASSERT_TRUE(control_.Pattern(VRKRAS_STREAM_TRACE, VRKRAS_PATTERN_LINES, 'T'));
    vrkras_faults faults = {};
    faults.overstate = 100;
    ASSERT_TRUE(control_.Faults(faults));
    char guarded[300];
    memset(guarded, '#', sizeof guarded);
    EXPECT_EQ(256u, ReadTraceStream(guarded, 256));
    EXPECT_EQ(PatternText(VRKRAS_PATTERN_LINES, 'T', 0, 256), std::string(guarded, 256));
    EXPECT_EQ(std::string(44, '#'), std::string(guarded + 256, 44));
}

TEST_F(DriverChannelTest, RefusedOrUnansweredRequestsGiveZeroAndNoRegistryFallback) {
    Load(7);
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kDriverParameters, "TraceLevel", 0x11));
    SetTraceLevel(0x22);
    vrkras_faults faults = {};
    faults.refuse_selectors = (1u << 0) | (1u << 1) | (1u << 11) | (1u << 17);
    ASSERT_TRUE(control_.Faults(faults));
    EXPECT_EQ(0u, GetTraceLevel());
    EXPECT_EQ(0u, GetLogLevel());
    EXPECT_EQ(0u, SetTraceLevel(0x44));
    ASSERT_TRUE(control_.Queue(VRKRAS_STREAM_TRACE));
    ASSERT_TRUE(control_.Push(VRKRAS_STREAM_TRACE, "held back"));
    char buffer[256];
    EXPECT_EQ(0u, ReadTraceStream(buffer, sizeof buffer));
    faults.refuse_selectors = 0;
    ASSERT_TRUE(control_.Faults(faults));
    EXPECT_EQ(0x22u, GetTraceLevel());
    EXPECT_EQ(9u, ReadTraceStream(buffer, sizeof buffer));

    // A request that succeeds without a reply leaves the request code in the buffer: no answer.
    faults.silent_values = 1;
    ASSERT_TRUE(control_.Faults(faults));
    vrk::FileHandle device;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), OpenDriverDevice(&device));
    EXPECT_EQ(0u, QueryDriverValue(device.get(), kSelGetTraceLevel));
    EXPECT_EQ(0u, SendDriverValue(device.get(), kSelSetLogLevel, 0x77));
    faults.silent_values = 0;
    ASSERT_TRUE(control_.Faults(faults));
    EXPECT_EQ(0x22u, QueryDriverValue(device.get(), kSelGetTraceLevel));
}

TEST_F(DriverChannelTest, ADriverLoadedAgainIsFoundByTheNextRequest) {
    Load(8);
    EXPECT_TRUE(ProbeDriver());
    ASSERT_TRUE(StopDriver());
    EXPECT_FALSE(ProbeDriver());
    EXPECT_EQ(0u, SetTraceLevel(5));
    ASSERT_TRUE(StartDriver());
    EXPECT_TRUE(ProbeDriver());
    EXPECT_EQ(6u, SetTraceLevel(6));
    EXPECT_EQ(6u, GetTraceLevel());
}

}  // namespace
