// Byte-string helpers whose exact behaviour callers (the IP address fields among them) rely on.
#pragma once

#include <windows.h>

#include <cstddef>

// Leading decimal digits of text as a number, stopping at the first other character; 0 when text
// does not start with a digit. Values beyond 32 bits stay at 0xFFFFFFFF.
DWORD ReadDecimal(const char* text);

// value in base 2 to 36, digits above 9 as upper-case letters, into out (size bytes; 33 hold any
// value in base 2). A base outside 2..36, or an out too small, gives the empty text. Returns out.
char* NumberToText(DWORD value, unsigned base, char* out, size_t size);

// The first occurrence of c in text; null for the empty text and when there is none.
const char* FindCharacter(const char* text, char c);

// The first occurrence of pattern within the first n bytes of text; a NUL in text ends the search
// early; an empty pattern matches at the start.
const char* FindBounded(const char* text, size_t n, const char* pattern);

// The first occurrence of pattern in text, bytes compared with bit 0x20 ignored.
const char* FindCaseBlind(const char* text, const char* pattern);

// Byte compare of exactly n bytes, not stopping at a NUL: -1, 0 or 1; 0 when n is 0; -1 when
// either text is missing.
int CompareBounded(const void* a, const void* b, size_t n);
