// MultiStringList: a growable list of NUL-terminated strings with a read cursor. Only the heap and
// the basic types of the platform, so that it also builds natively.
#pragma once

#include <windows.h>

class MultiStringList {
public:
    // Every occurrence of separator (0 for none) in appended text becomes a string end.
    explicit MultiStringList(char separator = 0);
    virtual ~MultiStringList();
    MultiStringList(const MultiStringList&) = delete;
    MultiStringList& operator=(const MultiStringList&) = delete;

    // Appends length bytes, or the text with its NUL when length is 0. FALSE (list unchanged) when
    // no block of the needed size can be had. capacity() grows by the list's own rule: (length
    // rounded down to 512) + 512 whenever the data and its NUL would not fit; the heap block behind
    // it is reserved at least twice as large as before each time it must move, so that appending
    // many short names costs linear time and not quadratic.
    BOOL append(const char* text, DWORD length = 0);
    // The string at the cursor, moving past it; null at the end of the list.
    const char* next();
    void rewind();
    DWORD size() const;
    DWORD capacity() const;
    // The whole block, or an empty text when nothing was appended.
    const char* text() const;
    void clear();

private:
    char* data_ = nullptr;
    char* end_ = nullptr;
    char* cursor_ = nullptr;
    DWORD capacity_ = 0;
    DWORD reserved_ = 0;
    char separator_;
};
