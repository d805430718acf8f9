// Texts compared without regard to letter case, the one way the tool set does it: ASCII letters
// only. The names it compares (registry keys and values, file names, service names, keywords of its
// lists and parameters, window titles) are ASCII; the locale's rules (lstrcmpiA, CharUpperA) would
// make two texts equal on one machine and different on another. No Windows header: the plain
// parsers that use it are also built natively.
#pragma once

#include <cstddef>
#include <cstring>

constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The first length bytes of a are the whole of b.
inline bool EqualsIgnoringCase(const char* a, size_t length, const char* b) {
    size_t i = 0;
    for (; i < length && b[i]; ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return i == length && b[i] == '\0';
}

// A missing text equals only another missing one.
inline bool EqualsIgnoringCase(const char* a, const char* b) {
    if (!a || !b) return a == b;
    for (; *a && *b; ++a, ++b)
        if (UpperAscii(*a) != UpperAscii(*b)) return false;
    return *a == *b;
}

inline bool StartsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (UpperAscii(*text) != UpperAscii(*prefix)) return false;
    return true;
}

// Where pattern first begins in text; text itself for the empty pattern, null when nowhere.
inline const char* FindIgnoringCase(const char* text, const char* pattern) {
    for (;; ++text) {
        if (StartsWithIgnoringCase(text, pattern)) return text;
        if (!*text) return nullptr;
    }
}

inline bool ContainsIgnoringCase(const char* text, const char* pattern) {
    return FindIgnoringCase(text, pattern) != nullptr;
}

// The same in text[from, length), a text that may hold NULs and need not end with one: the offset
// where pattern first begins, or length.
inline size_t FindIgnoringCase(const char* text, size_t length, const char* pattern, size_t from) {
    const size_t n = strlen(pattern);
    for (size_t at = from; at < length && n <= length - at; ++at)
        if (EqualsIgnoringCase(text + at, n, pattern)) return at;
    return length;
}
