// What the router dialog tests share: network shapes of the machine, VRKSUDLL.DLL loaded in the
// test's own process with its setup procedures called on a thread of their own, and registry reads.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "dialog_robot.h"
#include "machine.h"

namespace router_test {

#ifdef VRK_GERMAN_MACHINE
constexpr bool kGermanMachine = true;
#else
constexpr bool kGermanMachine = false;
#endif

using List = std::vector<std::string>;

// Provisions C:\testbed\network\<shape>.reg: one-card, two-cards, no-card, unusable-address.
void ProvisionNetwork(const std::string& shape);

// REG_MULTI_SZ entries, REG_SZ text, REG_DWORD; a missing value fails the test (and gives empty/0).
List ReadList(const std::string& key, const std::string& name);
std::string ReadString(const std::string& key, const std::string& name);
DWORD ReadDword(const std::string& key, const std::string& name);
bool HasValue(const std::string& key, const std::string& name);
void WriteList(const std::string& key, const std::string& name, const List& entries);

// VRKSUDLL.DLL loaded for one test: its process-wide state starts fresh and ends with it.
class SetupDll {
public:
    SetupDll();
    ~SetupDll();
    SetupDll(const SetupDll&) = delete;
    SetupDll& operator=(const SetupDll&) = delete;
    HMODULE module() const { return dll_; }

private:
    HMODULE dll_;
};

// One setup procedure running on a thread of its own, as the setup engine calls it.
class SetupCall {
public:
    SetupCall(const SetupDll& dll, const char* exportName, const List& arguments = {"0"});
    // Waits for the procedure to return; false (and a test failure) when it did not.
    bool Finish(DWORD timeoutMs = dialog_robot::kDefaultWaitMs);
    BOOL returned() const { return returned_; }
    const std::string& result() const { return result_; }

private:
    List arguments_;
    std::vector<char*> argv_;
    BOOL returned_ = FALSE;
    std::string result_;
    std::unique_ptr<dialog_robot::BackgroundCall> call_;
};

// Waits until the procedure's dialog has gone and the procedure returned TRUE with result.
void ExpectClosedWith(SetupCall* call, HWND dialog, const char* result);

// The language module the DLL shows its dialogs from on this machine, for the robot to read
// templates and strings from.
HMODULE RobotLanguageModule();
std::string LanguageString(UINT id);

// The messages of c:\temp\setup.log behind their source, level and time.
List LogMessages();

// Sends typed characters to an edit control of the dialog, one WM_CHAR each, as a keyboard would.
void TypeInto(HWND dialog, int id, const std::string& keys);

}  // namespace router_test
