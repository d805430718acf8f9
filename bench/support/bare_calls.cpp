#include "bench/support/bare_calls.h"

#include <cstdio>
#include <cstring>

namespace bench {

namespace {

void SetString(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(strlen(text) + 1));
}

void SetNumber(HKEY key, const char* name, DWORD number) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

}  // namespace

void BuildRegTree(const char* root) {
    HKEY top;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, root, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &top, nullptr) !=
        ERROR_SUCCESS)
        return;
    for (int i = 0; i < 100; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Node%03d", i);
        HKEY node;
        if (RegCreateKeyExA(top, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &node, nullptr) != ERROR_SUCCESS) continue;
        SetString(node, "", name);
        SetString(node, "Nickname", "Varnek ISDN controller");
        SetNumber(node, "Interface", static_cast<DWORD>(i));
        for (int k = 0; k < 99; ++k) {
            char leafName[32];
            snprintf(leafName, sizeof leafName, "Leaf%03d", k);
            HKEY leaf;
            if (RegCreateKeyExA(node, leafName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &leaf, nullptr) !=
                ERROR_SUCCESS)
                continue;
            SetString(leaf, "", leafName);
            SetString(leaf, "Phone", "0049301234567");
            SetNumber(leaf, "Enabled", static_cast<DWORD>(k & 1));
            static const char kList[] = "VrkMprWan1;1;64000\0VrkMprWan2;2;64000\0";
            RegSetValueExA(leaf, "Controllers", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kList), sizeof kList);
            RegCloseKey(leaf);
        }
        RegCloseKey(node);
    }
    RegCloseKey(top);
}

bool BareDeleteTree(HKEY parent, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char child[MAX_PATH];
        for (;;) {
            DWORD length = sizeof child;
            if (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            if (!BareDeleteTree(key, child)) break;
        }
        RegCloseKey(key);
    }
    return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

namespace {

bool CopyKey(HKEY from, HKEY to);

// The key source below fromParent, with everything below it, to target below toParent.
bool CopyNamedKey(HKEY fromParent, const char* source, HKEY toParent, const char* target) {
    HKEY from, to;
    if (RegOpenKeyExA(fromParent, source, 0, KEY_READ, &from) != ERROR_SUCCESS) return false;
    if (RegCreateKeyExA(toParent, target, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr) != ERROR_SUCCESS) {
        RegCloseKey(from);
        return false;
    }
    const bool ok = CopyKey(from, to);
    RegCloseKey(to);
    RegCloseKey(from);
    return ok;
}

bool CopyKey(HKEY from, HKEY to) {
    char name[MAX_PATH];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(from, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (!CopyNamedKey(from, name, to, name)) return false;
    }
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name, size = sizeof data, type = 0;
        if (RegEnumValueA(from, i, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        RegSetValueExA(to, name, 0, type, data, size);
    }
    return true;
}

}  // namespace

bool BareCopyTree(HKEY root, const char* source, const char* target) {
    return CopyNamedKey(root, source, root, target);
}

namespace {

void Count(HKEY key, TreeCount* count) {
    DWORD subkeys = 0, values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    count->values += values;
    char name[MAX_PATH];
    for (DWORD i = 0; i < subkeys; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        ++count->keys;
        HKEY child;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) continue;
        Count(child, count);
        RegCloseKey(child);
    }
}

}  // namespace

TreeCount CountRegTree(HKEY root, const char* key) {
    TreeCount count;
    HKEY top;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &top) != ERROR_SUCCESS) return count;
    Count(top, &count);
    RegCloseKey(top);
    return count;
}

void BuildFileTree(const char* root) {
    CreateDirectoryA(root, nullptr);
    for (int d = 0; d < 50; ++d) {
        char folder[MAX_PATH];
        snprintf(folder, sizeof folder, "%s\\dir%02d", root, d);
        CreateDirectoryA(folder, nullptr);
        for (int f = 0; f < 999; ++f) {
            char file[MAX_PATH];
            snprintf(file, sizeof file, "%s\\file%03d.dat", folder, f);
            HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    }
}

unsigned long BareWalk(const char* directory) {
    char mask[MAX_PATH];
    if (snprintf(mask, sizeof mask, "%s\\*", directory) >= static_cast<int>(sizeof mask)) return 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(mask, &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    unsigned long count = 0;
    do {
        if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0) continue;
        ++count;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            char below[MAX_PATH];
            if (snprintf(below, sizeof below, "%s\\%s", directory, entry.cFileName) < static_cast<int>(sizeof below))
                count += BareWalk(below);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return count;
}

}  // namespace bench
