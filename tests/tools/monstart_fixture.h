// What the tests of monstart share: monstart started as a person starts it, the substitute
// monitors it starts (testbed/programs/rasmon.cpp) told how to behave and looked at, and the
// message dialog of the machine's language module.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialog_robot.h"
#include "journal.h"
#include "machine.h"

namespace monstart_test {

#ifdef VRK_GERMAN_MACHINE
constexpr bool kGermanMachine = true;
#else
constexpr bool kGermanMachine = false;
#endif

std::string Monstart();

// A substitute monitor's window as the screen shows it.
struct Monitor {
    HWND window = nullptr;
    DWORD pid = 0;
    std::string port;  // what the monitor read at its start
    std::string title;
    RECT rect = {};
    bool topmost = false;
};

// Every open substitute monitor window, in the order of the ports they watch.
std::vector<Monitor> Monitors();
// Waits until count monitor windows are open (or the time is up) and returns them.
std::vector<Monitor> WaitForMonitors(size_t count, DWORD timeoutMs = 10000);

// How the monitors behave: for every port (port empty) or for one.
void SetMonitorTitle(const std::string& port, const std::string& title);
void SetMonitorMenu(const std::string& port, bool menu);
void SetMonitorDelay(const std::string& port, DWORD delayMs);

// The journal lines of the substitute monitors (who "rasmon.exe") with this what.
std::vector<testing_journal::JournalEntry> MonitorEvents(const std::string& what);

// The Port value monstart leaves; empty when it is missing or not REG_SZ.
std::string PortValue();

// A program started without waiting for it; the process id, 0 when it did not start.
DWORD StartDetached(const std::string& commandLine);

// True once process pid has ended (or was gone already) within the time.
bool WaitForProcessEnd(DWORD pid, DWORD timeoutMs = 10000);

// monstart run to its end with these arguments.
testing_machine::ProgramResult RunMonstart(const std::string& arguments, const std::string& program = Monstart());

// monstart started in the background, for runs that show the message dialog.
class StartedMonstart {
public:
    explicit StartedMonstart(const std::string& arguments, const std::string& program = Monstart());
    // True once the program has ended; its exit code then.
    bool Ended(DWORD timeoutMs = 20000);
    DWORD exitCode() const { return result_.exitCode; }

private:
    testing_machine::ProgramResult result_;
    std::unique_ptr<dialog_robot::BackgroundCall> call_;
};

// The language module the package loads on this machine, for finding its dialogs.
HMODULE MachineModule();
HWND WaitForMessageDialog(HMODULE module = MachineModule());

// Every test starts with a clean journal and monitors of the default behaviour, and ends with
// every monitor it started closed and gone.
class MonstartTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace monstart_test
