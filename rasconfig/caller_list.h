// The incoming-caller list: the entries of caller.dat as the page shows and stores them, and the
// callers found in the driver's log. Plain text work, no Windows headers.
//
// An entry is "mark TAB number TAB name": the mark "-->" for a number the driver checks, three
// blanks for one it does not; the whole entry at most 255 characters.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

constexpr size_t kCallerEntryMax = 255;
// The longest number an entry can hold: mark, two TABs and the number within 255 characters.
constexpr size_t kCallerNumberMax = kCallerEntryMax - 5;
// A collect takes at most this many numbers from the log.
constexpr size_t kRingNumbersMax = 512;

extern const char kCheckedMark[];    // "-->"
extern const char kUncheckedMark[];  // three blanks

// The number of an entry, the text between its first and its second TAB; false for an entry with
// fewer than two TABs, which has none.
bool CallerEntryNumber(const std::string& entry, std::string* number);
// The name, the text after the second TAB; false with fewer than two TABs.
bool CallerEntryName(const std::string& entry, std::string* name);

// What the add button makes of a typed number.
enum class NewCallerCheck { Empty, Invalid, TooLong, Good };
NewCallerCheck CheckNewCaller(const std::string& number);

// "-->" TAB number TAB name, for a number that CheckNewCaller finds good: a name that would take
// the entry past 255 characters is cut, and a CR or LF in it becomes a blank, so that the entry
// stays one line of the file.
std::string NewCallerEntry(const std::string& number, const std::string& name);

// The entry with the mark set ("-->") or cleared (three blanks). Only a mark that is there (three
// characters of a mark, then a TAB) is replaced; an entry without one gets mark and TAB in front,
// cut to 255 characters.
std::string MarkedEntry(const std::string& entry, bool checked);
// A double click: "-->" becomes three blanks, anything else "-->".
std::string ToggledEntry(const std::string& entry);
bool IsCheckedEntry(const std::string& entry);

// The entry with the text after its second TAB replaced by name, cut so that the entry keeps to
// 255 characters; false for an entry with fewer than two TABs.
bool RenamedEntry(const std::string& entry, const std::string& name, std::string* renamed);

// The lines of caller.dat's text (length bytes, up to the first NUL among them): every run of CR and
// LF ends a line, so empty lines vanish. A line longer than 255 characters loses the end of its
// name (cutLines counts them); one whose mark or number would lose characters is left out
// (leftOut counts them), for a cut number is another caller's.
std::vector<std::string> SplitCallerText(const char* bytes, size_t length, size_t* cutLines = nullptr,
                                         size_t* leftOut = nullptr);
// The file's text: every entry of at most 255 characters followed by CR LF, in order.
std::string CallerFileText(const std::vector<std::string>& entries);

// The callers' numbers in RING: records of the driver's log, upper case, in the order found, at
// most 512: after "RING:" the text between "FROM=" and the next " TO=", the scan going on behind
// " TO=". It ends at the end of the text or when a marker is missing. A candidate that spans a line
// end (its record has no " TO=") is passed over and the scan goes on at that line end; one that is
// empty, holds a TAB or is longer than an entry can hold is passed over.
std::vector<std::string> ScanRingNumbers(const char* text, size_t length);

// The entries of the page, in list order.
class CallerList {
public:
    explicit CallerList(std::vector<std::string> entries = {}) : entries_(std::move(entries)) {}
    // The first entry whose number equals number exactly (letter case counts), or -1.
    int find(const std::string& number) const;
    // Appends the entry; its index.
    size_t add(const std::string& entry);
    void replace(size_t index, const std::string& entry);
    void remove(size_t index);
    size_t size() const { return entries_.size(); }
    const std::string& at(size_t index) const { return entries_[index]; }
    const std::vector<std::string>& entries() const { return entries_; }

    // Adds "-->" TAB number TAB for every number that is not listed yet; the count added.
    size_t collect(const std::vector<std::string>& numbers);

private:
    std::vector<std::string> entries_;
};
