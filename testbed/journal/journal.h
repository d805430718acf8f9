// The one journal of the test machine: every substitute program of the testbed appends one line per
// event to C:\testbed\journal.txt, so that a test sees what happened, and in which order, across
// processes. A line: milliseconds since the machine started, process id, who, what, detail, each
// field ended by a TAB but the last, and CR LF.
#pragma once

#include <windows.h>

// The journal file on every test machine.
extern const char kJournalPath[];

// Appends one line in a single write; TAB, CR and LF in the texts become blanks, so that one event
// stays one line. Failures are ignored: a substitute never fails because of its journal.
void JournalAppend(const char* who, const char* what, const char* detail);
