#include "maintenance/binding_list.h"

#include <cstdlib>
#include <cstring>

#include "common/ascii_case.h"

namespace {

const char kDevicePrefix[] = "\\DEVICE\\";
const char* const kForeignDevices[] = {"VRKMPR", "NDISWAN", "VRKLV"};

}  // namespace

BindingList::~BindingList() { free(data_); }

bool BindingList::Reserve(size_t size) {
    if (size <= capacity_) return true;
    size_t grown = capacity_ ? capacity_ : 512;
    while (grown < size) grown *= 2;
    char* block = static_cast<char*>(realloc(data_, grown));
    if (!block) return false;
    data_ = block;
    capacity_ = grown;
    return true;
}

bool BindingList::Assign(const char* data, size_t size) {
    Clear();
    if (!Reserve(size + 2)) return false;
    if (size) memcpy(data_, data, size);
    data_[size] = data_[size + 1] = '\0';
    // The NUL behind the data closes an entry that lacks its own. A list written back shorter than
    // it was read would lose every binding behind a stray empty string.
    size_t used = 0;
    for (size_t at = 0; at < size;) {
        const size_t length = strlen(data_ + at);
        if (length > 0) {
            memmove(data_ + used, data_ + at, length + 1);
            used += length + 1;
        }
        at += length + 1;
    }
    used_ = used;
    data_[used_] = '\0';
    return true;
}

void BindingList::Clear() {
    used_ = 0;
    if (data_) data_[0] = '\0';
}

size_t BindingList::Count() const {
    size_t count = 0;
    for (size_t at = 0; at < used_; at += strlen(data_ + at) + 1) ++count;
    return count;
}

const char* BindingList::Entry(size_t k) const {
    size_t at = 0;
    for (size_t i = 0; at < used_; ++i, at += strlen(data_ + at) + 1)
        if (i == k) return data_ + at;
    return nullptr;
}

bool BindingList::Append(const char* entry) {
    const size_t length = strlen(entry) + 1;
    if (!Reserve(used_ + length + 1)) return false;
    memcpy(data_ + used_, entry, length);
    used_ += length;
    data_[used_] = '\0';
    return true;
}

bool BindingList::Insert(size_t at, const char* entry) {
    const char* before = Entry(at);
    if (!before) return Append(entry);
    const size_t offset = static_cast<size_t>(before - data_);
    const size_t length = strlen(entry) + 1;
    if (!Reserve(used_ + length + 1)) return false;
    memmove(data_ + offset + length, data_ + offset, used_ + 1 - offset);
    memcpy(data_ + offset, entry, length);
    used_ += length;
    return true;
}

void BindingList::Remove(size_t k) {
    const char* entry = Entry(k);
    if (!entry) return;
    const size_t at = static_cast<size_t>(entry - data_);
    const size_t length = strlen(entry) + 1;
    memmove(data_ + at, data_ + at + length, used_ + 1 - (at + length));
    used_ -= length;
}

bool BindingList::MoveEntry(size_t k, BindingList* to) {
    const char* entry = Entry(k);
    if (!entry) return true;
    // Appending may move to's block but never this one's: the entry stays valid while it is copied.
    if (!to->Append(entry)) return false;
    Remove(k);
    return true;
}

bool BindingList::MoveEntryTo(size_t k, BindingList* to, size_t at) {
    const char* entry = Entry(k);
    if (!entry) return true;
    if (!to->Insert(at, entry)) return false;
    Remove(k);
    return true;
}

const char* BindingList::Data() const { return data_ ? data_ : ""; }

size_t BindingList::Size() const { return used_ + 1; }

bool AdapterNameOfBinding(const char* binding, char* name, size_t size) {
    char upper[kAdapterTextSize + sizeof kDevicePrefix];
    const size_t length = strlen(binding);
    if (length >= sizeof upper) return false;
    for (size_t i = 0; i <= length; ++i) upper[i] = UpperAscii(binding[i]);
    for (const char* device : kForeignDevices)
        if (strstr(upper, device)) return false;
    if (strncmp(upper, kDevicePrefix, sizeof kDevicePrefix - 1) != 0) return false;
    const char* rest = upper + sizeof kDevicePrefix - 1;
    if (strlen(rest) >= size || strlen(rest) >= kAdapterTextSize) return false;
    memcpy(name, rest, strlen(rest) + 1);
    return true;
}

long FindAdapterBinding(const BindingList& list, const char* serviceName) {
    long k = 0;
    for (const char* entry; (entry = list.Entry(static_cast<size_t>(k))) != nullptr; ++k)
        if (StartsWithIgnoringCase(entry, kDevicePrefix) &&
            EqualsIgnoringCase(entry + sizeof kDevicePrefix - 1, serviceName))
            return k;
    return -1;
}

long FindBindingContaining(const BindingList& list, const char* text) {
    long k = 0;
    for (const char* entry; (entry = list.Entry(static_cast<size_t>(k))) != nullptr; ++k)
        if (ContainsIgnoringCase(entry, text)) return k;
    return -1;
}
