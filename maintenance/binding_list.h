// The NWLink IPX transport's binding lists as the LAN adapter table edits them: multi-strings that
// grow to hold whatever they are given, entries moved between them by index.
#pragma once

#include <cstddef>

// serviceName and description: 127 characters.
constexpr size_t kAdapterTextSize = 128;

class BindingList {
public:
    BindingList() = default;
    BindingList(const BindingList&) = delete;
    BindingList& operator=(const BindingList&) = delete;
    ~BindingList();

    // The entries of a multi-string of size bytes, every one of them: an empty string inside the
    // value ends nothing and is dropped; a last entry without its NUL is kept whole. False (and an
    // empty list) when no block can be had.
    bool Assign(const char* data, size_t size);
    void Clear();
    size_t Count() const;
    // Entry k, or null when there is none.
    const char* Entry(size_t k) const;
    // Appended over the terminating empty string, which then follows it again.
    bool Append(const char* entry);
    // Inserted before entry at, or appended when there is no entry at.
    bool Insert(size_t at, const char* entry);
    // The rest of the list moves forward over entry k.
    void Remove(size_t k);
    // Entry k of this list to the end of to; nothing when there is no entry k. The entry leaves
    // this list only once it is in to, so that it is never lost.
    bool MoveEntry(size_t k, BindingList* to);
    // The same, the entry put before entry at of to (appended when to has none there).
    bool MoveEntryTo(size_t k, BindingList* to, size_t at);
    // The entries with their NULs and the terminating empty string; an empty list is one NUL.
    const char* Data() const;
    size_t Size() const;

private:
    bool Reserve(size_t size);
    char* data_ = nullptr;
    size_t used_ = 0;  // bytes of the entries with their NULs, without the terminating one
    size_t capacity_ = 0;
};

// The adapter a binding names: the entry in capitals without its "\DEVICE\" prefix. False for the
// router's own devices ("VRKMPR"), the WAN miniport ("NDISWAN"), the gateway's ("VRKLV"), for an
// entry without the prefix, and for a name that does not fit into kAdapterTextSize.
bool AdapterNameOfBinding(const char* binding, char* name, size_t size);

// The first entry that binds the adapter: its text after "\Device\" equals serviceName, both
// without regard to letter case. -1 when there is none.
long FindAdapterBinding(const BindingList& list, const char* serviceName);
// The first entry that contains text, without regard to letter case; -1 when there is none.
long FindBindingContaining(const BindingList& list, const char* text);
