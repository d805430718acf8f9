#include "common/multistring.h"

#include <cstring>

#include "common/handles.h"
#include "common/registry.h"

RegistrySubkeyList::RegistrySubkeyList(const char* keyPath) {
    keyPath_[0] = path_[0] = '\0';
    if (!keyPath || !CopyText(keyPath_, sizeof keyPath_, keyPath)) return;
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
    for (const char* name; (name = next()) != nullptr;) {
        if (!JoinRegistryPath(keyPath_, name, path_, sizeof path_)) continue;
        if (out) memcpy(out, path_, strlen(path_) + 1);
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
    // next() ends at an empty string: a stray one inside the value is dropped, so that the strings
    // behind it are handed out too. A last string without its NUL is kept whole.
    char* data = static_cast<char*>(block.get());
    DWORD kept = 0;
    for (DWORD at = 0; at < size;) {
        DWORD length = 0;
        while (at + length < size && data[at + length] != '\0') ++length;
        const DWORD taken = at + length < size ? length + 1 : length;
        if (length > 0) {
            memmove(data + kept, data + at, taken);
            kept += taken;
        }
        at += length + 1;
    }
    if (kept > 0) append(data, kept);
}
