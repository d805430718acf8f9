#include "maintenance/group_list.h"

#include <cstring>

#include "maintenance/file_list_lines.h"

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
