// The values of an answer file: a number against the C library's reading of the same text, the
// yes/no words, and the list items, which must hold every non-blank character of the list.
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "common/answer_values.h"
#include "fuzz_check.h"

namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }

// The text trimmed of blanks and tabs, read by strtoll as the one accepted form: base 16 after
// "0x", else base 10 with a sign; false when anything is left over or the reading overflows.
bool ReadAsLibrary(const std::string& text, long long* value) {
    size_t begin = 0, end = text.size();
    while (begin < end && Blank(text[begin])) ++begin;
    while (end > begin && Blank(text[end - 1])) --end;
    const std::string t = text.substr(begin, end - begin);
    if (t.empty() || t.find('\0') != std::string::npos) return false;
    const bool hex = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
    const std::string digits = hex ? t.substr(2) : (t[0] == '-' || t[0] == '+' ? t.substr(1) : t);
    // strtoll would take blanks, a second sign or a second "0x" where the answer takes none.
    if (digits.empty()) return false;
    for (char c : digits)
        if (!(c >= '0' && c <= '9') && !(hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))) return false;
    char* stop = nullptr;
    errno = 0;
    *value = strtoll(t.c_str(), &stop, hex ? 16 : 10);
    return errno != ERANGE && *stop == '\0';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    long minimum = input.ConsumeIntegral<int32_t>();
    long maximum = input.ConsumeIntegral<int32_t>();
    if (minimum > maximum) std::swap(minimum, maximum);
    if (input.ConsumeBool()) maximum = LONG_MAX;
    const std::string text = input.ConsumeRemainingBytesAsString();

    long value = 12345;
    const bool ok = ParseAnswerNumber(text, minimum, maximum, &value);
    long long expected = 0;
    const bool readable = ReadAsLibrary(text, &expected);
    FUZZ_CHECK(ok == (readable && expected >= minimum && expected <= maximum));
    FUZZ_CHECK(ok ? value == expected : value == 12345);

    std::string word;
    for (char c : text)
        if (!Blank(c)) word += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    // Blanks inside a word are refused, so an accepted text is one of the words with blanks around.
    bool yes = false;
    if (ParseAnswerYesNo(text, &yes)) {
        FUZZ_CHECK(yes ? (word == "yes" || word == "1" || word == "true") : (word == "no" || word == "0" || word == "false"));
    }

    std::string nonBlank;
    for (char c : text)
        if (!Blank(c) && c != ',') nonBlank += c;
    std::string joined;
    for (const std::string& item : SplitAnswerList(text)) {
        FUZZ_CHECK(!item.empty());
        FUZZ_CHECK(!Blank(item.front()) && !Blank(item.back()));
        FUZZ_CHECK(item.find(',') == std::string::npos);
        for (char c : item)
            if (!Blank(c)) joined += c;
    }
    FUZZ_CHECK(joined == nonBlank);
    return 0;
}
