#include "common/multistring.h"

#include <cstring>

#include "common/handles.h"
#include "common/registry.h"

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

RegistrySubkeyList::RegistrySubkeyList(const char* keyPath) {
    prefix_[0] = path_[0] = '\0';
    const size_t keyLength = keyPath ? strlen(keyPath) : sizeof prefix_;
    if (keyLength + 1 >= sizeof prefix_) return;
    memcpy(prefix_, keyPath, keyLength);
    prefix_[keyLength] = '\\';
    prefix_[keyLength + 1] = '\0';
    vrk::RegKey key;
    if (!OpenRegKey(keyPath, key.put())) return;
    char name[kPathSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        append(name, length + 1);
    }
}

const char* RegistrySubkeyList::nextPath(char* out) {
    const size_t prefixLength = strlen(prefix_);
    for (const char* name; (name = next()) != nullptr;) {
        const size_t nameLength = strlen(name);
        if (prefixLength + nameLength >= sizeof path_) continue;
        memcpy(path_, prefix_, prefixLength);
        memcpy(path_ + prefixLength, name, nameLength + 1);
        if (out) memcpy(out, path_, prefixLength + nameLength + 1);
        return path_;
    }
    return nullptr;
}

RegistryValueNameList::RegistryValueNameList(const char* keyPath) {
    vrk::RegKey key;
    if (!keyPath || !OpenRegKey(keyPath, key.put())) return;
    char name[kPathSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        const LONG r = RegEnumValueA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_MORE_DATA) continue;  // a name longer than any path can carry
        if (r != ERROR_SUCCESS) break;
        // The unnamed (default) value would read as the end of the list.
        if (length > 0) append(name, length + 1);
    }
}

RegistryStringList::RegistryStringList(const char* valuePath) {
    char text[kPathSize];
    if (!valuePath || !CopyText(text, sizeof text, valuePath)) return;
    vrk::RegKey key;
    HKEY root;
    char* name;
    if (!OpenRegValueKey(text, key.put(), &root, &name)) return;
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0) return;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return;
    vrk::HeapBlock block(HeapAlloc(GetProcessHeap(), 0, size));
    if (!block.valid()) return;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, static_cast<BYTE*>(block.get()), &size) != ERROR_SUCCESS ||
        size == 0)
        return;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return;
    append(static_cast<const char*>(block.get()), size);
}
