#include "rasconfig/entry_number.h"

#include "common/digits.h"

namespace {

constexpr unsigned long long kLargest = 0xFFFFFFFFull;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

bool ParseEntryNumber(const char* text, unsigned long* value) {
    *value = 0;
    if (!text) return true;
    const char* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    unsigned base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2], 16) >= 0) {
        base = 16;
        p += 2;
    } else if (p[0] == '0') {
        base = 8;
    }
    const char* digits = p;
    unsigned long long number = 0;
    for (int digit; (digit = DigitValue(*p, base)) >= 0; ++p) {
        number = number * base + static_cast<unsigned>(digit);
        if (number > kLargest) number = kLargest + 1;
    }
    // Without a digit nothing was read: the text from its start is left over, as the C library
    // sees it; only the empty text stands for 0.
    if (p == digits) return *text == '\0';
    if (*p != '\0') return false;
    if (number > kLargest)
        *value = static_cast<unsigned long>(kLargest);
    else
        *value = static_cast<unsigned long>(negative ? (0 - number) & kLargest : number);
    return true;
}

CheckedNumber CheckBackupCount(const char* text, unsigned long max) {
    CheckedNumber checked;
    checked.bad = !ParseEntryNumber(text, &checked.value);
    if (checked.bad) return checked;
    if (checked.value > max) {
        checked.tooLarge = true;
        checked.value = max;
    }
    return checked;
}

CheckedNumber CheckFileSize(const char* text, unsigned long max) {
    CheckedNumber checked = CheckBackupCount(text, max);
    if (!checked.bad && checked.value == 0) {
        checked.tooSmall = true;
        checked.value = 1;
    }
    return checked;
}
