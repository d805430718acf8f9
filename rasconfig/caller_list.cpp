#include "rasconfig/caller_list.h"

#include <cstring>

#include "common/ascii_case.h"
#include "rasconfig/phone_number.h"

const char kCheckedMark[] = "-->";
const char kUncheckedMark[] = "   ";

namespace {

constexpr size_t kMarkLength = 3;

bool SecondTab(const std::string& entry, size_t* first, size_t* second) {
    *first = entry.find('\t');
    if (*first == std::string::npos) return false;
    *second = entry.find('\t', *first + 1);
    return *second != std::string::npos;
}

bool HasMark(const std::string& entry) {
    if (entry.size() <= kMarkLength || entry[kMarkLength] != '\t') return false;
    return entry.compare(0, kMarkLength, kCheckedMark) == 0 || entry.compare(0, kMarkLength, kUncheckedMark) == 0;
}

}  // namespace

bool CallerEntryNumber(const std::string& entry, std::string* number) {
    size_t first, second;
    if (!SecondTab(entry, &first, &second)) return false;
    *number = entry.substr(first + 1, second - first - 1);
    return true;
}

bool CallerEntryName(const std::string& entry, std::string* name) {
    size_t first, second;
    if (!SecondTab(entry, &first, &second)) return false;
    *name = entry.substr(second + 1);
    return true;
}

NewCallerCheck CheckNewCaller(const std::string& number) {
    if (number.empty()) return NewCallerCheck::Empty;
    // A NUL inside would end the number early: the rule looks at all of it.
    if (number.find('\0') != std::string::npos || !IsPhoneNumber(number.c_str())) return NewCallerCheck::Invalid;
    return number.size() > kCallerNumberMax ? NewCallerCheck::TooLong : NewCallerCheck::Good;
}

std::string NewCallerEntry(const std::string& number, const std::string& name) {
    std::string entry = std::string(kCheckedMark) + "\t" + number + "\t";
    for (char c : name) {
        if (entry.size() >= kCallerEntryMax) break;
        entry += c == '\r' || c == '\n' ? ' ' : c;
    }
    if (entry.size() > kCallerEntryMax) entry.resize(kCallerEntryMax);
    return entry;
}

std::string MarkedEntry(const std::string& entry, bool checked) {
    const char* mark = checked ? kCheckedMark : kUncheckedMark;
    if (HasMark(entry)) return mark + entry.substr(kMarkLength);
    std::string marked = std::string(mark) + "\t" + entry;
    if (marked.size() > kCallerEntryMax) marked.resize(kCallerEntryMax);
    return marked;
}

bool IsCheckedEntry(const std::string& entry) { return HasMark(entry) && entry.compare(0, kMarkLength, kCheckedMark) == 0; }

std::string ToggledEntry(const std::string& entry) { return MarkedEntry(entry, !IsCheckedEntry(entry)); }

bool RenamedEntry(const std::string& entry, const std::string& name, std::string* renamed) {
    size_t first, second;
    if (!SecondTab(entry, &first, &second)) return false;
    std::string result = entry.substr(0, second + 1);
    for (char c : name) {
        if (result.size() >= kCallerEntryMax) break;
        result += c == '\r' || c == '\n' ? ' ' : c;
    }
    *renamed = result;
    return true;
}

std::vector<std::string> SplitCallerText(const char* bytes, size_t length, size_t* cutLines, size_t* leftOut) {
    std::vector<std::string> lines;
    if (cutLines) *cutLines = 0;
    if (leftOut) *leftOut = 0;
    if (!bytes) return lines;
    const char* nul = static_cast<const char*>(memchr(bytes, '\0', length));
    const char* const end = nul ? nul : bytes + length;
    for (const char* p = bytes; p < end;) {
        if (*p == '\r' || *p == '\n') {
            ++p;
            continue;
        }
        const char* start = p;
        while (p < end && *p != '\r' && *p != '\n') ++p;
        size_t size = static_cast<size_t>(p - start);
        if (size > kCallerEntryMax) {
            // Only a name may lose its end: the cut must fall behind the second TAB.
            const void* first = memchr(start, '\t', kCallerEntryMax);
            const char* afterFirst = first ? static_cast<const char*>(first) + 1 : nullptr;
            const size_t rest = afterFirst ? kCallerEntryMax - static_cast<size_t>(afterFirst - start) : 0;
            const void* second = afterFirst ? memchr(afterFirst, '\t', rest) : nullptr;
            if (!second) {
                if (leftOut) ++*leftOut;
                continue;
            }
            size = kCallerEntryMax;
            if (cutLines) ++*cutLines;
        }
        lines.emplace_back(start, size);
    }
    return lines;
}

std::string CallerFileText(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries) {
        if (entry.size() > kCallerEntryMax) continue;
        text += entry;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> ScanRingNumbers(const char* text, size_t length) {
    std::vector<std::string> numbers;
    if (!text) return numbers;
    if (const void* nul = memchr(text, '\0', length)) length = static_cast<size_t>(static_cast<const char*>(nul) - text);
    for (size_t at = 0; numbers.size() < kRingNumbersMax;) {
        const size_t ring = FindIgnoringCase(text, length, "RING:", at);
        if (ring == length) break;
        const size_t start = FindIgnoringCase(text, length, "FROM=", ring + 5) + 5;
        if (start > length) break;
        const size_t to = FindIgnoringCase(text, length, " TO=", start);
        if (to == length) break;
        // A record without " TO=" on its line: the scan goes on at that line's end, where the
        // next record may begin.
        size_t lineEnd = start;
        while (lineEnd < to && text[lineEnd] != '\r' && text[lineEnd] != '\n') ++lineEnd;
        if (lineEnd < to) {
            at = lineEnd;
            continue;
        }
        at = to + 4;
        const size_t size = to - start;
        if (size == 0 || size > kCallerNumberMax) continue;
        std::string number;
        for (size_t i = start; i < to; ++i) number += UpperAscii(text[i]);
        if (number.find('\t') != std::string::npos) continue;
        numbers.push_back(number);
    }
    return numbers;
}

int CallerList::find(const std::string& number) const {
    std::string listed;
    for (size_t i = 0; i < entries_.size(); ++i)
        if (CallerEntryNumber(entries_[i], &listed) && listed == number) return static_cast<int>(i);
    return -1;
}

size_t CallerList::add(const std::string& entry) {
    entries_.push_back(entry);
    return entries_.size() - 1;
}

void CallerList::replace(size_t index, const std::string& entry) {
    if (index < entries_.size()) entries_[index] = entry;
}

void CallerList::remove(size_t index) {
    if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

size_t CallerList::collect(const std::vector<std::string>& numbers) {
    size_t added = 0;
    for (const std::string& number : numbers) {
        if (find(number) >= 0) continue;
        add(std::string(kCheckedMark) + "\t" + number + "\t");
        ++added;
    }
    return added;
}
