// The numbers typed into the backups and size fields of the tracing and logging pages, and the
// limits the pages hold them to. Plain text work, no Windows headers.
#pragma once

// Reads text as the C library reads an unsigned long of 32 bits with base 0: leading white space,
// an optional sign, "0x" or "0X" for hexadecimal, a leading 0 for octal, decimal otherwise; a
// negative number wraps around, a number beyond 32 bits becomes 0xFFFFFFFF. The empty text is 0.
// False when characters are left over after the number (blanks included), and then *value is 0.
bool ParseEntryNumber(const char* text, unsigned long* value);

// What an apply does with one typed number.
struct CheckedNumber {
    bool bad = false;       // characters left over: refused
    bool tooLarge = false;  // above the maximum, compared unsigned: set to the maximum
    bool tooSmall = false;  // size 0: set to 1
    unsigned long value = 0;
};

// The number of backups: any number from 0 to max.
CheckedNumber CheckBackupCount(const char* text, unsigned long max);
// The size in KiB: as the backups, then 0 becomes 1.
CheckedNumber CheckFileSize(const char* text, unsigned long max);
