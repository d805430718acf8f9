// The main job's report: plain text work on what the demo robot saw (registry snapshots, the setup
// log, what the removal left), kept free of Windows headers.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace demo_report {

// One registry value as "root\key|name" (the unnamed value as "root\key|") to its text, and
// every key as "root\key" to an empty text, so that keys without values show too.
using RegistrySnapshot = std::map<std::string, std::string>;

// Registry value types, as the platform numbers them.
enum : unsigned long { kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7 };

// The text a report shows for a value: strings quoted, numbers in hexadecimal and decimal,
// multi-strings as their quoted entries, anything else as hexadecimal bytes (cut after 48).
std::string ValueText(unsigned long type, const std::string& bytes);

// What changed from before to after, in path order: "+ path = text" for what came, "- path" for
// what went, "~ path = text (was text)" for a changed value; keys are marked "+ key" or "- key".
std::vector<std::string> SnapshotDifference(const RegistrySnapshot& before, const RegistrySnapshot& after);

// One difference between the machine before the installation and after the removal that is not
// simply the package's own entry gone: marked "+" (came), "~" (changed) or "-" (went), with the
// reason it may be so, or none.
struct Leftover {
    std::string path;    // "+ path = text", "~ path = text (was text)" or "- path"
    std::string reason;  // empty: it should not be so
};

// The registry after the removal against before the installation. Entries that went and name the
// package (a key with the package's values below it, a value whose name or text names it), and
// lists of other components from which only entries naming the package went, are the package's
// own removed and not listed; every other difference is.
std::vector<Leftover> RegistryLeftovers(const RegistrySnapshot& before, const RegistrySnapshot& after);

// Files and directories after the removal (full paths) that are the package's: each one left,
// with the reason it may stay, or none. A file that was there before the installation and does
// not name the package is another's and not listed.
std::vector<Leftover> FileLeftovers(const std::vector<std::string>& before, const std::vector<std::string>& after);

// The setup log's messages from "<procedure> ENTER" to the first "<procedure> LEAVE" after it, both
// included, each without its source, level and time; empty when the procedure is not in the log.
std::vector<std::string> LogExcerpt(const std::string& logText, const std::string& procedure);

// The message part of a setup log line ("SS LL dd.mm.yyyy hh:mm:ss.mmm: message"), or the line.
std::string LogMessage(const std::string& line);

// The paths a restart deletes by PendingFileRenameOperations (the value's bytes, pairs of source
// and target): each source whose target is empty, without its "\??\"; renames are not deletes.
std::vector<std::string> PendingDeletes(const std::string& bytes);

// Text for a Markdown table cell: "|" escaped, line ends as blanks.
std::string TableCell(const std::string& text);

// Lines of a text, split at CR LF or LF, without the line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace demo_report
