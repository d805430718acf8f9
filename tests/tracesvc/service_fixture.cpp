// Fixture of the service tests: driver, service, settings and the diagnostic log.
#include "service_fixture.h"

using namespace testing_machine;
using namespace testing_trace_service;

void TraceServiceTest::SetUp() {
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kParameters);
    dir_ = FreshDirectory("tracesvc");
    Set("TraceServiceTrace", Path("diag.log"));
    Set("TraceFileName", Path("RasTrc.TXT"));
    Set("LogFileName", Path("RasLog.TXT"));
    // The drains run every 50 ms and the settings check every 100 ms instead of every second and
    // every ten seconds, so that a test waits for fractions of a second where the service waits.
    Set("LogReadTimeOut", 50);
    Set("ChangeTimeout", 100);
    ASSERT_TRUE(testing_vrkras::InstallDriver(1));
    ASSERT_TRUE(testing_vrkras::StartDriver());
    ASSERT_TRUE(driver_.Reset());
    ASSERT_TRUE(InstallTraceService());
}

void TraceServiceTest::TearDown() {
    StopTraceService();
    testing_vrkras::StopDriver();
}

void TraceServiceTest::Set(const char* name, const std::string& value) {
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kParameters, name, value));
}

void TraceServiceTest::Set(const char* name, DWORD value) {
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kParameters, name, value));
}

std::vector<std::string> TraceServiceTest::DiagLines() const { return SplitLines(File("diag.log")); }

std::vector<std::string> TraceServiceTest::DiagMessages() const {
    std::vector<std::string> messages;
    for (const std::string& line : DiagLines())
        if (line.size() >= 31 && line.compare(0, 3, "36 ") == 0) messages.push_back(line.substr(31));
    return messages;
}

bool TraceServiceTest::DiagHas(const std::string& message) const { return DiagFind(message) >= 0; }

int TraceServiceTest::DiagFind(const std::string& text, int from, bool prefix) const {
    const std::vector<std::string> messages = DiagMessages();
    for (int i = from; i < static_cast<int>(messages.size()); ++i)
        if (prefix ? messages[i].rfind(text, 0) == 0 : messages[i] == text) return i;
    return -1;
}

vrkras_state TraceServiceTest::DriverState() const {
    vrkras_state state = {};
    EXPECT_TRUE(driver_.State(&state));
    return state;
}

bool TraceServiceTest::WaitDrained(unsigned stream, unsigned long long limit) const {
    vrkras_state first = {};
    if (!WaitUntil([&] { return driver_.State(&first) && first.streams[stream].produced >= limit; })) return false;
    return WaitUntil([&] {
        vrkras_state now = {};
        return driver_.State(&now) && now.streams[stream].empty_reads >= first.streams[stream].empty_reads + 2;
    });
}

bool TraceServiceTest::WaitPollsStop() const {
    return WaitUntil([&] {
        vrkras_state before = {}, after = {};
        if (!driver_.State(&before)) return false;
        Sleep(250);
        return driver_.State(&after) && before.streams[0].empty_reads == after.streams[0].empty_reads &&
               before.streams[1].empty_reads == after.streams[1].empty_reads;
    });
}
