// A service that accepts the stop request and never stops: the 60 polls a second apart, the
// time-out line, and the next services of the list still stopped.
#include <string>
#include <vector>

#include "stop_support.h"

using namespace maintenance_testing;
using namespace testing_machine;

namespace {

class StopTimeoutTest : public MaintenanceTest {};

TEST_F(StopTimeoutTest, AServiceThatNeverStopsGetsSixtySecondsAndTheListGoesOn) {
    InstallStopService("VrkMprSV", "never");
    InstallStopService("VrklogSV", "prompt");
    InstallStopService("SNMP", "prompt");
    testing_journal::ClearJournal();
    const DWORD start = GetTickCount();
    ProgramResult r = CallExport("VrkMprStopProcesses 0", 150000);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(Answer("VrkMprStopProcesses", true, "OK"), r.out);
    EXPECT_GE(elapsed, 60000u);
    EXPECT_LT(elapsed, 90000u);
    EXPECT_EQ((std::vector<std::string>{"VrkMprSV openservice ok", "VrkMprSV queryservicestatus ok x60",
                                        "VrkMprSV stop service error timeout", "VrklogSV openservice ok",
                                        "VrklogSV queryservicestatus ok x1", "VrklogSV stopservice ok",
                                        "SNMP openservice ok", "SNMP queryservicestatus ok x1", "SNMP stopservice ok"}),
              [] {
                  // A service that stops at once may still be reported STOP_PENDING by the first poll.
                  std::vector<std::string> folded = FoldedWorkerMessages();
                  for (std::string& m : folded)
                      if (m == "VrklogSV queryservicestatus ok x2") m = "VrklogSV queryservicestatus ok x1";
                      else if (m == "SNMP queryservicestatus ok x2") m = "SNMP queryservicestatus ok x1";
                  return folded;
              }());
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const auto line = std::find(messages.begin(), messages.end(), "VrkMprSV stop service error timeout");
    ASSERT_NE(messages.end(), line);
    EXPECT_EQ(1, levels[line - messages.begin()]);
    EXPECT_EQ((std::vector<std::string>{"VrkMprSV control 1", "VrklogSV control 1", "VrklogSV stopped",
                                        "SNMP control 1", "SNMP stopped"}),
              JournalEvents());
    // Under the machine's persistent server the service still waits in STOP_PENDING.
    SERVICE_STATUS status = {};
    EXPECT_TRUE(testing_services::QueryNamedService("VrkMprSV", &status));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOP_PENDING), status.dwCurrentState);
}

}  // namespace
