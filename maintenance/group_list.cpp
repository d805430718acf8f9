#include "maintenance/group_list.h"

#include <cstring>

#include "common/ascii_case.h"

size_t CompactReadList(char* list, size_t size, size_t capacity) {
    size_t needed = 1;
    for (size_t at = 0; at < size;) {
        const size_t length = strnlen(list + at, size - at);
        if (length > 0) needed += length + 1;
        at += length + 1;
    }
    if (needed > capacity) return 0;
    size_t used = 0;
    for (size_t at = 0; at < size;) {
        const size_t length = strnlen(list + at, size - at);
        if (length > 0) {
            memmove(list + used, list + at, length);
            used += length;
            list[used++] = '\0';
        }
        at += length + 1;
    }
    list[used] = '\0';
    return used + 1;
}

size_t FindListEntry(const char* list, const char* name) {
    for (const char* p = list; *p; p += strlen(p) + 1)
        if (EqualsIgnoringCase(p, name)) return static_cast<size_t>(p - list);
    return kNoListEntry;
}

size_t ListBytes(const char* list) {
    const char* p = list;
    while (*p) p += strlen(p) + 1;
    return static_cast<size_t>(p - list) + 1;
}

void RemoveListEntry(char* list, size_t offset) {
    const size_t total = ListBytes(list);
    const size_t length = strlen(list + offset) + 1;
    memmove(list + offset, list + offset + length, total - offset - length);
}

bool InsertListEntry(char* list, size_t capacity, size_t offset, const char* name) {
    const size_t total = ListBytes(list);
    const size_t length = strlen(name) + 1;
    if (total + length > capacity) return false;
    memmove(list + offset + length, list + offset, total - offset);
    memcpy(list + offset, name, length);
    return true;
}
