// Test support: the journal that the testbed's substitute programs write (testbed/journal).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_journal {

struct JournalEntry {
    DWORD tick = 0;
    DWORD pid = 0;
    std::string who, what, detail;
};

// Every line in order; an empty list when there is no journal yet.
std::vector<JournalEntry> ReadJournal();
// The lines of one substitute only.
std::vector<JournalEntry> JournalOf(const std::string& who);
// Removes the journal, so that a test sees only what happens after it.
void ClearJournal();

}  // namespace testing_journal
