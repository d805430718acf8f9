#include "common/bytestring.h"

#include <cstring>

DWORD ReadDecimal(const char* text) {
    DWORD value = 0;
    for (; text && *text >= '0' && *text <= '9'; ++text) {
        const DWORD digit = static_cast<DWORD>(*text - '0');
        if (value > (0xFFFFFFFFu - digit) / 10) {
            value = 0xFFFFFFFFu;
            continue;
        }
        value = value * 10 + digit;
    }
    return value;
}

char* NumberToText(DWORD value, unsigned base, char* out, size_t size) {
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (!out || size == 0) return out;
    out[0] = '\0';
    if (base < 2 || base > 36) return out;
    char reversed[33];
    size_t n = 0;
    do {
        reversed[n++] = digits[value % base];
        value /= base;
    } while (value != 0);
    if (n >= size) return out;
    for (size_t i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    out[n] = '\0';
    return out;
}

const char* FindCharacter(const char* text, char c) {
    if (!text || !*text) return nullptr;
    for (; *text; ++text)
        if (*text == c) return text;
    return nullptr;
}

const char* FindBounded(const char* text, size_t n, const char* pattern) {
    if (!text || !pattern) return nullptr;
    const size_t patternLength = strlen(pattern);
    if (patternLength == 0) return text;
    for (size_t i = 0; i + patternLength <= n && text[i]; ++i) {
        size_t k = 0;
        while (k < patternLength && text[i + k] == pattern[k]) ++k;
        if (k == patternLength) return text + i;
    }
    return nullptr;
}

const char* FindCaseBlind(const char* text, const char* pattern) {
    if (!text || !pattern) return nullptr;
    for (const char* start = text;; ++start) {
        size_t k = 0;
        while (pattern[k] && start[k] && ((start[k] ^ pattern[k]) & ~0x20) == 0) ++k;
        if (!pattern[k]) return start;
        if (!*start) return nullptr;
    }
}

int CompareBounded(const void* a, const void* b, size_t n) {
    if (!a || !b) return -1;
    if (n == 0) return 0;
    const int r = memcmp(a, b, n);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
