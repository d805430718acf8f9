#include "common/answer_values.h"

#include <climits>

#include "common/ascii_case.h"
#include "common/digits.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

}  // namespace

bool ParseAnswerNumber(const std::string& text, long minimum, long maximum, long* value) {
    const std::string t = Trimmed(text);
    // A NUL inside the text would end it for every other reader of the file: nothing is read past it.
    if (t.find('\0') != std::string::npos) return false;
    size_t at = 0;
    bool negative = false;
    unsigned base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        at = 2;
    } else if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        at = 1;
    }
    if (at == t.size()) return false;
    // limit is the magnitude of the smallest long; anything larger is out of every range, and is
    // never counted on, so a long run of digits cannot wrap around into range.
    const unsigned long long limit = static_cast<unsigned long long>(LONG_MAX) + 1;
    unsigned long long magnitude = 0;
    for (; at < t.size(); ++at) {
        const int digit = DigitValue(t[at], base);
        if (digit < 0) return false;
        if (magnitude > (limit - digit) / base) return false;
        magnitude = magnitude * base + digit;
    }
    if (!negative && magnitude == limit) return false;
    const long number = negative ? static_cast<long>(0 - magnitude) : static_cast<long>(magnitude);
    if (number < minimum || number > maximum) return false;
    *value = number;
    return true;
}

bool ParseAnswerYesNo(const std::string& text, bool* yes) {
    const std::string t = Trimmed(text);
    if (t.find('\0') != std::string::npos) return false;
    static const struct {
        const char* word;
        bool yes;
    } kWords[] = {{"yes", true}, {"no", false}, {"1", true}, {"0", false}, {"true", true}, {"false", false}};
    for (const auto& w : kWords)
        if (EqualsIgnoringCase(t.c_str(), w.word)) {
            *yes = w.yes;
            return true;
        }
    return false;
}

std::vector<std::string> SplitAnswerList(const std::string& text) {
    std::vector<std::string> items;
    size_t begin = 0;
    for (;;) {
        const size_t comma = text.find(',', begin);
        const std::string item = Trimmed(text.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin));
        if (!item.empty()) items.push_back(item);
        if (comma == std::string::npos) return items;
        begin = comma + 1;
    }
}

std::vector<std::string> UnknownAnswerKeys(const std::vector<std::string>& keys,
                                           std::initializer_list<const char*> known) {
    std::vector<std::string> unknown;
    for (const std::string& key : keys) {
        bool found = false;
        for (const char* k : known)
            if (EqualsIgnoringCase(key.c_str(), k)) found = true;
        if (!found) unknown.push_back(key);
    }
    return unknown;
}
