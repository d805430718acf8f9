// Fixture of the clean-up tests: the product lines laid onto the machine as an installation leaves
// them, the machine's state (registry trees, files, deferred deletions) as one comparable map, and
// the machine put back after each case.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "maintenance_fixture.h"

namespace cleanup_testing {

enum Line : unsigned { kRouter = 1, kRemoteAccess = 2, kGateway = 4 };
const char* LineName(Line line);
// The setup procedure that removes the line.
const char* CleanUpExport(Line line);

// Registry files of C:\testbed\products (the router after its network shape), the lines' OEM INF
// files in %SystemRoot%\SYSTEM32 (OEMNSV2.INF read-only) and their files in the maker's directory
// and the drivers' directory; the files the lines share come with the first line.
void InstallLines(unsigned lines);

// Entries: "HKLM\<key>\" for a key, "HKLM\<key>\|<name>" for a value (type and bytes), "FILE <path>"
// for a file (its size), "PENDING <source in capitals>" for a deletion at the next start.
using State = std::map<std::string, std::string>;
State MachineState();
// What differs, one readable line per entry; empty when the states are equal.
std::vector<std::string> Differences(const State& expected, const State& actual);
// Removes from state every entry that begins with one of the prefixes, ignoring case.
void Erase(State* state, const std::vector<std::string>& prefixes);

std::string Hklm(const std::string& key);  // "HKLM\<key>\"
std::string FileEntry(const std::string& path);
std::string PendingEntry(const std::string& path);
std::string System32();  // C:\windows\system32 as the machine expands it
std::string Drivers();   // ...\system32\drivers

// The language module of the machine's language, which every setup procedure keeps loaded.
std::string LanguageModuleName();

// A file held open without sharing for deletion, so that it cannot be deleted now.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path);
    ~HeldOpen();
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool holding() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

// Each case starts on the machine as it was before the first: no product line, the package's
// files in the maker's directory, no deferred deletion.
class CleanUpTest : public maintenance_testing::MaintenanceTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs the line's setup procedure through the setup engine's stand-in; true for "OK" and TRUE.
    bool CleanUp(Line line);
    State base_;
};

}  // namespace cleanup_testing
