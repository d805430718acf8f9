// Reading the test machine's journal.
#include "journal.h"

#include <cstdlib>

#include "machine.h"
#include "testbed/journal/journal.h"

namespace testing_journal {

std::vector<JournalEntry> ReadJournal() {
    std::vector<JournalEntry> entries;
    for (const std::string& line : testing_machine::SplitLines(testing_machine::ReadFileBytes(kJournalPath))) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (int i = 0; i < 4; ++i) {
            const size_t tab = line.find('\t', start);
            if (tab == std::string::npos) break;
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        if (fields.size() != 4) continue;
        JournalEntry entry;
        entry.tick = strtoul(fields[0].c_str(), nullptr, 10);
        entry.pid = strtoul(fields[1].c_str(), nullptr, 10);
        entry.who = fields[2];
        entry.what = fields[3];
        entry.detail = line.substr(start);
        entries.push_back(entry);
    }
    return entries;
}

std::vector<JournalEntry> JournalOf(const std::string& who) {
    std::vector<JournalEntry> entries;
    for (const JournalEntry& entry : ReadJournal())
        if (entry.who == who) entries.push_back(entry);
    return entries;
}

void ClearJournal() { DeleteFileA(kJournalPath); }

}  // namespace testing_journal
