// Fixture of the maintenance tests: the setup procedures called through the setup engine's
// stand-in, the setup log they leave, registry trees taken whole, the older installation's data.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "machine.h"

namespace maintenance_testing {

extern const char kLogFile[];
extern const char kOldInstall[];  // C:\testbed\oldinstall

// Runs host.exe on VRKSUDLL.DLL with one export and its arguments as the command line gives them.
testing_machine::ProgramResult CallExport(const std::string& exportAndArguments, DWORD timeoutMs = 60000);
// "<export> returned TRUE; result <text>" and nothing else.
std::string Answer(const std::string& exportName, bool returned, const std::string& result);

// The log's messages after the banner, without source, level and time; each line checked for
// the form "33 0L dd.mm.yyyy hh:mm:ss.mmm: ". Levels of the messages go to levels when given.
std::vector<std::string> LogMessages(std::vector<int>* levels = nullptr);
// The messages between ENTER and LEAVE of one call, both excluded, the language search left out.
std::vector<std::string> WorkerMessages();

// regedit /S of a file in C:\testbed\oldinstall.
bool ImportOldInstall(const std::string& regFile);

// Every value of a registry tree: "sub\key|name" (the unnamed value as "sub\key|") to its type
// and bytes; and every key of it, also those without values.
struct RegValueCopy {
    DWORD type = 0;
    std::string bytes;
    bool operator==(const RegValueCopy& other) const { return type == other.type && bytes == other.bytes; }
};
using RegTree = std::map<std::string, RegValueCopy>;
RegTree ReadRegTree(HKEY root, const std::string& key);
std::vector<std::string> RegSubkeysBelow(HKEY root, const std::string& key);

// Deletes a key with everything below it one level at a time, for trees deeper than a path text.
void DeleteDeepTree(HKEY root, const std::string& key);

// A REG_MULTI_SZ value's strings, and one written from strings.
std::vector<std::string> ReadMultiString(HKEY root, const std::string& key, const std::string& name);
bool WriteMultiString(HKEY root, const std::string& key, const std::string& name,
                      const std::vector<std::string>& strings);

// The file list in the maker's directory replaced for one test, the shipped one restored after.
class DelFilesOverride {
public:
    explicit DelFilesOverride(const std::string& text);
    ~DelFilesOverride();
    DelFilesOverride(const DelFilesOverride&) = delete;
    DelFilesOverride& operator=(const DelFilesOverride&) = delete;

private:
    std::string shipped_;
};

// A program of the testbed that runs while the test goes on, ended when the object goes.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& commandLine);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    bool started() const { return process_ != nullptr; }
    // True when the program has ended within the time.
    bool WaitEnded(DWORD timeoutMs);

private:
    HANDLE process_ = nullptr;
};

// Base of the tests: a fresh log for each case, and the log's level "everything".
class MaintenanceTest : public ::testing::Test {
protected:
    void SetUp() override;
    std::string Maker(const std::string& name) const { return testing_machine::MakerDirectory() + "\\" + name; }
};

}  // namespace maintenance_testing
