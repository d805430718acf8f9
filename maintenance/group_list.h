// A multi-string list in a fixed buffer, as the service group order keeps it: NUL-terminated
// entries, the list ended by an empty string. Plain functions without system calls.
#pragma once

#include <cstddef>

constexpr size_t kNoListEntry = static_cast<size_t>(-1);

// The list as read from the registry: size bytes (an entry running to the end is closed by the
// NUL the read leaves behind it). An empty string inside a value ends nothing, so every entry of
// the whole value is kept, in order, and the empty strings between them are dropped. Returns the
// bytes of the list with its terminating empty string, or 0 (the list unchanged) when that would
// not fit into capacity bytes.
size_t CompactReadList(char* list, size_t size, size_t capacity);

// Byte offset of the first entry equal to name without regard to (ASCII) case, or kNoListEntry;
// an empty list has no entries.
size_t FindListEntry(const char* list, const char* name);

// Bytes of the list up to and including its terminating empty string (1 for an empty list).
size_t ListBytes(const char* list);

// Removes the entry at offset; everything behind it moves forward, leaving no gap.
void RemoveListEntry(char* list, size_t offset);

// Inserts name before the entry at offset (or at the end when offset is the terminating empty
// string). False, and the list unchanged, when the list with the new entry would not fit into
// capacity bytes.
bool InsertListEntry(char* list, size_t capacity, size_t offset, const char* name);
