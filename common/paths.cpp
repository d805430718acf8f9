#include "common/paths.h"

#include <cstring>

BOOL CopyText(char* out, DWORD size, const char* text) {
    if (size == 0) return FALSE;
    const size_t length = strlen(text);
    if (length >= size) {
        out[0] = '\0';
        return FALSE;
    }
    memmove(out, text, length + 1);
    return TRUE;
}

bool HasWildcard(const char* text) { return strpbrk(text, "*?") != nullptr; }

const char* FindExtension(const char* path) {
    const char* dot = strrchr(path, '.');
    const char* slash = strrchr(path, '\\');
    return dot && (!slash || dot > slash) ? dot : nullptr;
}

namespace {

// ExpandEnvironmentStringsA counts the NUL; 0 is an error and a count above size means too small.
bool Expand(const char* text, char* out, DWORD size) {
    const DWORD needed = ExpandEnvironmentStringsA(text, out, size);
    if (needed == 0 || needed > size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace

BOOL JoinPath(const char* directory, const char* name, char* out) {
    char joined[kPathSize];
    if (directory) {
        if (!Expand(directory, joined, sizeof joined)) {
            out[0] = '\0';
            return FALSE;
        }
    } else {
        const DWORD n = GetCurrentDirectoryA(sizeof joined, joined);
        if (n == 0 || n >= sizeof joined) {
            out[0] = '\0';
            return FALSE;
        }
    }
    if (name) {
        char expanded[kPathSize];
        if (!Expand(name, expanded, sizeof expanded)) {
            out[0] = '\0';
            return FALSE;
        }
        if (strchr(expanded, ':')) {
            memcpy(joined, expanded, strlen(expanded) + 1);
        } else {
            size_t length = strlen(joined);
            const bool needSeparator = !(length > 0 && joined[length - 1] == '\\') && expanded[0] != '\\';
            const size_t nameLength = strlen(expanded);
            if (length + (needSeparator ? 1 : 0) + nameLength >= sizeof joined) {
                out[0] = '\0';
                return FALSE;
            }
            if (needSeparator) joined[length++] = '\\';
            memcpy(joined + length, expanded, nameLength + 1);
        }
    }
    memcpy(out, joined, strlen(joined) + 1);
    return TRUE;
}

BOOL ExpandInPlace(char* text, DWORD size) {
    char expanded[kPathSize > kExpandSize ? kPathSize : kExpandSize];
    char* target = expanded;
    char* heap = nullptr;
    if (size > sizeof expanded) {
        heap = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size));
        if (!heap) return FALSE;
        target = heap;
    }
    const DWORD needed = ExpandEnvironmentStringsA(text, target, size);
    const BOOL ok = needed != 0 && needed <= size;
    if (ok) memcpy(text, target, needed);
    if (heap) HeapFree(GetProcessHeap(), 0, heap);
    return ok;
}

void CutLastComponent(char* path) {
    char* last = strrchr(path, '\\');
    if (last) *last = '\0';
}

void CutToDrive(char* path) {
    char* first = strchr(path, '\\');
    if (first) *first = '\0';
}
