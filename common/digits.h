// The value of one digit of a number in a given base, for the plain parsers (no Windows header).
#pragma once

// 0 to base - 1 for a digit of the base (letters in either case), -1 for any other character.
inline int DigitValue(char c, unsigned base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v >= 0 && static_cast<unsigned>(v) < base ? v : -1;
}
