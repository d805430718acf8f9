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

// Why a piece of the machine that names the package may stay after the package was removed.
struct Leftover {
    std::string path;
    std::string reason;  // empty: it should be gone
};

// Registry entries after the removal that still name the package (a key, value name or text with
// VARNEK or a Vrk product key), each with the reason it may stay, or none.
std::vector<Leftover> RegistryLeftovers(const RegistrySnapshot& after);

// Files and directories after the removal (full paths), each with the reason it may stay, or none.
std::vector<Leftover> FileLeftovers(const std::vector<std::string>& paths);

// The setup log's messages from "<procedure> ENTER" to the first "<procedure> LEAVE" after it, both
// included, each without its source, level and time; empty when the procedure is not in the log.
std::vector<std::string> LogExcerpt(const std::string& logText, const std::string& procedure);

// The message part of a setup log line ("SS LL dd.mm.yyyy hh:mm:ss.mmm: message"), or the line.
std::string LogMessage(const std::string& line);

// Text for a Markdown table cell: "|" escaped, line ends as blanks.
std::string TableCell(const std::string& text);

// Lines of a text, split at CR LF or LF, without the line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace demo_report
