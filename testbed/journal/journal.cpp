// Appending to the journal: opened for appending by every writer, so that lines of several
// processes follow each other whole.
#include "testbed/journal/journal.h"

#include <cstdio>
#include <string>

const char kJournalPath[] = "C:\\testbed\\journal.txt";

namespace {

void AppendField(std::string* line, const char* text, bool last) {
    for (const char* p = text ? text : ""; *p; ++p) *line += (*p == '\t' || *p == '\r' || *p == '\n') ? ' ' : *p;
    *line += last ? "\r\n" : "\t";
}

}  // namespace

void JournalAppend(const char* who, const char* what, const char* detail) {
    char head[32];
    snprintf(head, sizeof head, "%lu\t%lu\t", static_cast<unsigned long>(GetTickCount()),
             static_cast<unsigned long>(GetCurrentProcessId()));
    std::string line = head;
    AppendField(&line, who, false);
    AppendField(&line, what, false);
    AppendField(&line, detail, true);
    HANDLE file = CreateFileA(kJournalPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}
