#include "common/multistring_list.h"

#include <cstring>

MultiStringList::MultiStringList(char separator) : separator_(separator) {}

MultiStringList::~MultiStringList() { clear(); }

BOOL MultiStringList::append(const char* text, DWORD length) {
    if (!text) return FALSE;
    if (length == 0) {
        const unsigned long long n = static_cast<unsigned long long>(strlen(text)) + 1;
        if (n > 0xFFFFFFFFull) return FALSE;
        length = static_cast<DWORD>(n);
    }
    const unsigned long long used = static_cast<unsigned long long>(end_ - data_);
    if (used + length >= capacity_) {
        // The growth rule: (length rounded down to 512) + 512 more, counted wide so that it cannot wrap.
        const unsigned long long grown =
            static_cast<unsigned long long>(capacity_) + (length & ~511ull) + 512;
        if (grown > 0x7FFFFFFFull) return FALSE;
        if (grown > reserved_) {
            unsigned long long reserve = 2ull * reserved_;
            if (reserve < grown) reserve = grown;
            if (reserve > 0x7FFFFFFFull) reserve = grown;
            char* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(reserve)));
            if (!block) return FALSE;
            const size_t cursorOffset = cursor_ ? static_cast<size_t>(cursor_ - data_) : 0;
            if (data_) {
                memcpy(block, data_, static_cast<size_t>(used));
                HeapFree(GetProcessHeap(), 0, data_);
            }
            data_ = block;
            end_ = block + used;
            cursor_ = block + cursorOffset;
            reserved_ = static_cast<DWORD>(reserve);
        }
        capacity_ = static_cast<DWORD>(grown);
    }
    memcpy(end_, text, length);
    if (separator_) {
        for (char *p = end_, *stop = end_ + length; p < stop; ++p)
            if (*p == separator_) *p = '\0';
    }
    end_ += length;
    *end_ = '\0';
    return TRUE;
}

const char* MultiStringList::next() {
    if (!cursor_ || cursor_ >= end_ || *cursor_ == '\0') return nullptr;
    const char* s = cursor_;
    cursor_ += strlen(cursor_) + 1;
    return s;
}

void MultiStringList::rewind() { cursor_ = data_; }

DWORD MultiStringList::size() const { return static_cast<DWORD>(end_ - data_); }

DWORD MultiStringList::capacity() const { return capacity_; }

const char* MultiStringList::text() const { return data_ ? data_ : ""; }

void MultiStringList::clear() {
    if (data_) HeapFree(GetProcessHeap(), 0, data_);
    data_ = end_ = cursor_ = nullptr;
    capacity_ = reserved_ = 0;
}
