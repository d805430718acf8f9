#include "common/registry.h"

#include <cstdio>
#include <cstring>

#include "common/ascii_case.h"
#include "common/handles.h"
#include "common/multistring_list.h"
#include "common/paths.h"
#include "common/setup_log.h"

using vrk::HeapBlock;
using vrk::RegKey;

namespace {

struct RootName {
    const char* name;
    HKEY root;
};

const RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKEY_USERS", HKEY_USERS},
};

// A value path taken apart in a buffer of its own.
struct ValuePath {
    char text[kPathSize];
    HKEY root = HKEY_LOCAL_MACHINE;
    char* key = nullptr;
    char* value = nullptr;
};

bool ParseValuePath(const char* path, ValuePath* out) {
    if (!path || !CopyText(out->text, sizeof out->text, path)) return false;
    SplitRegistryRoot(out->text, &out->key, &out->root);
    char* last = strrchr(out->key, '\\');
    if (!last) return false;
    *last = '\0';
    out->value = last + 1;
    return true;
}

// Reads ask only for reading: a key that the machine's security keeps from being changed can still
// be read.
bool OpenValueKey(const char* path, ValuePath* parsed, RegKey* key, REGSAM access = KEY_QUERY_VALUE) {
    return ParseValuePath(path, parsed) &&
           RegOpenKeyExA(parsed->root, parsed->key, 0, access, key->put()) == ERROR_SUCCESS;
}

// A value's bytes in a heap block of its own, followed by two NULs, so that no reader can run past
// its end whatever type and size the value has.
struct ValueBytes {
    HeapBlock block;
    DWORD type = REG_NONE;
    DWORD size = 0;
    const char* data() const { return static_cast<const char*>(block.get()); }
};

// FALSE when the value is missing or holds more than limit bytes. The first read offers a block
// that holds most values, so that a small value costs one request rather than a size query and a
// read; a larger one is read again with the size the first read reported.
bool FetchValue(const char* path, DWORD limit, ValueBytes* out) {
    constexpr DWORD kFirstOffer = 512;
    ValuePath parsed;
    RegKey key;
    if (!OpenValueKey(path, &parsed, &key)) return false;
    if (limit > 0x7FFFFFF0u) limit = 0x7FFFFFF0u;
    DWORD offer = limit < kFirstOffer ? limit : kFirstOffer;
    for (int attempt = 0; attempt < 4; ++attempt) {
        out->block.reset(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, offer + 2));
        if (!out->block.valid()) return false;
        DWORD type = REG_NONE, got = offer;
        const LONG r = RegQueryValueExA(key.get(), parsed.value, nullptr, &type,
                                        static_cast<BYTE*>(out->block.get()), &got);
        if (r == ERROR_MORE_DATA) {
            // Too large for the buffer, or the value grew in between: offer what it needs now.
            if (got > limit || got <= offer) return false;
            offer = got;
            continue;
        }
        if (r != ERROR_SUCCESS) return false;
        out->type = type;
        out->size = got;
        return true;
    }
    return false;
}

bool CreateKeyOf(HKEY root, const char* keyPath, RegKey* key) {
    if (RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, key->put()) == ERROR_SUCCESS) return true;
    char noClass[] = "";
    DWORD disposition = 0;
    return RegCreateKeyExA(root, keyPath, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key->put(),
                           &disposition) == ERROR_SUCCESS;
}

void CloseWithFlag(RegKey* key, int flag) {
    if (flag == kRegFlush && key->valid()) RegFlushKey(key->get());
    key->reset();
}

// Deletes every key below key. A leaf goes with one call; a key that still has subkeys is emptied
// first. An entry that cannot be deleted is passed over, so that the walk always ends. Names are
// handed to the key's own handle: whatever they hold, they name nothing but that child.
void DeleteSubkeys(HKEY key) {
    char name[kPathSize];
    DWORD index = 0;
    for (;;) {
        DWORD length = sizeof name;
        const LONG r = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_MORE_DATA) {
            ++index;
            continue;
        }
        if (r != ERROR_SUCCESS) return;
        if (RegDeleteKeyA(key, name) == ERROR_SUCCESS) continue;
        {
            RegKey child;
            if (RegOpenKeyExA(key, name, 0, KEY_ALL_ACCESS, child.put()) == ERROR_SUCCESS) DeleteSubkeys(child.get());
        }
        if (RegDeleteKeyA(key, name) != ERROR_SUCCESS) ++index;
    }
}

// The names of a key's subkeys, taken before anything below is changed.
void SubkeyNames(HKEY key, MultiStringList* names) {
    char name[kPathSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
        names->append(name, length + 1);
    }
}

// A key of the copy's target, made only when the first value is written into it (with its
// parents): a source key without values anywhere below it leaves no trace.
class TargetKey {
public:
    // text: the target as its RegistryPath names it, for the log.
    TargetKey(HKEY root, const char* keyPath, const char* text) : root_(root), name_(keyPath), text_(text) {}
    TargetKey(TargetKey* parent, const char* name) : parent_(parent), name_(name) {}
    HKEY get() {
        if (key_.valid() || failed_) return key_.get();
        const HKEY above = parent_ ? parent_->get() : root_;
        char noClass[] = "";
        DWORD disposition = 0;
        failed_ = !above || RegCreateKeyExA(above, name_, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                            nullptr, key_.put(), &disposition) != ERROR_SUCCESS;
        return key_.get();
    }
    // The key's path for the log, made only when a line needs it.
    void path(char* out, size_t size) const {
        if (!parent_) {
            CopyText(out, static_cast<DWORD>(size), text_);
            return;
        }
        parent_->path(out, size);
        const size_t used = strlen(out);
        snprintf(out + used, size - used, "\\%s", name_);
    }

private:
    TargetKey* parent_ = nullptr;
    HKEY root_ = nullptr;
    const char* name_;
    const char* text_ = nullptr;
    RegKey key_;
    bool failed_ = false;
};

// Writes one value into the target; one that cannot be written is named in the log, as
// WriteRegValue names it.
bool WriteValue(TargetKey* target, const char* name, DWORD type, const BYTE* data, DWORD size) {
    char path[kPathSize];
    const HKEY to = target->get();
    if (!to) {
        target->path(path, sizeof path);
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not open or create the registry key of %s\\%s", path, name);
        return false;
    }
    const LONG set = RegSetValueExA(to, name, 0, type, data, size);
    if (set != ERROR_SUCCESS) {
        target->path(path, sizeof path);
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not write the registry value %s\\%s; error %ld", path, name,
                      set);
    }
    return set == ERROR_SUCCESS;
}

// Copies one value, read on its own into a block of its size.
bool CopyValue(HKEY source, const char* name, TargetKey* target) {
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExA(source, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    HeapBlock data(HeapAlloc(GetProcessHeap(), 0, size + 1));
    if (!data.valid() ||
        RegQueryValueExA(source, name, nullptr, &type, static_cast<BYTE*>(data.get()), &size) != ERROR_SUCCESS)
        return false;
    return WriteValue(target, name, type, static_cast<const BYTE*>(data.get()), size);
}

// The copy names entries as a RegistryPath would, key path and name in a 260-byte text: an entry
// whose path would not fit in one is not copied (and the copy is not whole).
bool FitsPath(size_t keyLength, const char* name) { return keyLength + 1 + strlen(name) < kPathSize; }

// One value of the source as the copy takes it: a name that a value path cannot address is left
// where it is, as the update expects; the others are copied.
bool CopyNamedValue(HKEY source, const char* name, TargetKey* target, size_t sourceLength, size_t targetLength,
                    const BYTE* data, DWORD type, DWORD size) {
    if (strchr(name, '\\')) return true;
    if (!FitsPath(sourceLength, name) || !FitsPath(targetLength, name)) return false;
    return data ? WriteValue(target, name, type, data, size) : CopyValue(source, name, target);
}

// What the copy reads values into: most fit, so that one request gives a value's name, type and
// data together. Kept apart from the walk's stack, which holds one frame per level of keys.
struct ValueBuffer {
    char name[kPathSize];
    BYTE data[4096];
};

// The values of source, the unnamed one among them, each read as it is enumerated. A value whose
// name or data does not fit the buffer is read again on its own.
bool CopyValues(HKEY source, TargetKey* target, size_t sourceLength, size_t targetLength, ValueBuffer* buffer) {
    bool ok = true;
    HeapBlock longName;
    DWORD longest = 0;
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = sizeof buffer->name, size = sizeof buffer->data, type = REG_NONE;
        LONG r = RegEnumValueA(source, index, buffer->name, &nameLength, nullptr, &type, buffer->data, &size);
        if (r == ERROR_SUCCESS) {
            if (!CopyNamedValue(source, buffer->name, target, sourceLength, targetLength, buffer->data, type, size))
                ok = false;
            continue;
        }
        if (r == ERROR_NO_MORE_ITEMS) return ok;
        if (r != ERROR_MORE_DATA) return false;
        if (!longName.valid()) {
            if (RegQueryInfoKeyA(source, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                                 nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                return false;
            longName.reset(HeapAlloc(GetProcessHeap(), 0, longest + 1));
            if (!longName.valid()) return false;
        }
        char* name = static_cast<char*>(longName.get());
        nameLength = longest + 1;
        r = RegEnumValueA(source, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) return ok;
        if (r != ERROR_SUCCESS || !CopyNamedValue(source, name, target, sourceLength, targetLength, nullptr, 0, 0))
            ok = false;
    }
}

bool CopyKey(HKEY source, TargetKey* target, size_t sourceLength, size_t targetLength, ValueBuffer* buffer) {
    bool ok = true;
    MultiStringList subkeys;
    SubkeyNames(source, &subkeys);
    for (const char* name; (name = subkeys.next()) != nullptr;) {
        if (strchr(name, '\\')) continue;
        RegKey child;
        TargetKey below(target, name);
        const size_t length = strlen(name) + 1;
        if (!FitsPath(sourceLength, name) || !FitsPath(targetLength, name) ||
            RegOpenKeyExA(source, name, 0, KEY_READ, child.put()) != ERROR_SUCCESS ||
            !CopyKey(child.get(), &below, sourceLength + length, targetLength + length, buffer))
            ok = false;
    }
    return CopyValues(source, target, sourceLength, targetLength, buffer) && ok;
}

// Opens the key a RegistryPath names, with the rights given.
bool OpenPathKey(const char* path, REGSAM access, RegKey* key, HKEY* rootOut = nullptr, char* keyOut = nullptr) {
    char text[kPathSize];
    if (!path || !CopyText(text, sizeof text, path)) return false;
    char* keyPath;
    HKEY root;
    SplitRegistryRoot(text, &keyPath, &root);
    if (rootOut) *rootOut = root;
    if (keyOut) memcpy(keyOut, keyPath, strlen(keyPath) + 1);
    return RegOpenKeyExA(root, keyPath, 0, access, key->put()) == ERROR_SUCCESS;
}

}  // namespace

BOOL JoinRegistryPath(const char* keyPath, const char* name, char* out, DWORD size) {
    if (!out || size == 0) return FALSE;
    char joined[2 * kPathSize];
    const bool usable = keyPath && name && !strchr(name, '\\');
    // The first ":" of a path ends its root. A key path that has one keeps every later ":" as text;
    // without it the name's first ":" would end a root, so the default root is written out.
    const char* root = usable && !strchr(keyPath, ':') && strchr(name, ':') ? "HKEY_LOCAL_MACHINE:" : "";
    const size_t length = usable ? strlen(keyPath) : 0;
    const bool separator = length > 0 && keyPath[length - 1] != ':' && keyPath[length - 1] != '\\';
    const int n = usable ? snprintf(joined, sizeof joined, "%s%s%s%s", root, keyPath, separator ? "\\" : "", name) : -1;
    if (n < 0 || static_cast<DWORD>(n) >= size || static_cast<size_t>(n) >= sizeof joined) {
        out[0] = '\0';
        return FALSE;
    }
    memcpy(out, joined, static_cast<size_t>(n) + 1);
    return TRUE;
}

BOOL SplitRegistryRoot(char* path, char** keyPath, HKEY* root) {
    *root = HKEY_LOCAL_MACHINE;
    *keyPath = path;
    char* colon = strchr(path, ':');
    if (!colon) return TRUE;
    *colon = '\0';
    for (const RootName& r : kRoots) {
        if (EqualsIgnoringCase(path, r.name)) {
            *root = r.root;
            break;
        }
    }
    *keyPath = colon + 1;
    return TRUE;
}

BOOL OpenRegKey(const char* path, HKEY* key) {
    char text[kPathSize];
    if (!path || !CopyText(text, sizeof text, path)) return FALSE;
    char* keyPath;
    HKEY root;
    SplitRegistryRoot(text, &keyPath, &root);
    return RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS;
}

BOOL OpenRegValueKey(char* path, HKEY* key, HKEY* root, char** valueName) {
    char* keyPath;
    SplitRegistryRoot(path, &keyPath, root);
    char* last = strrchr(keyPath, '\\');
    if (!last) return FALSE;
    *last = '\0';
    *valueName = last + 1;
    return RegOpenKeyExA(*root, keyPath, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS;
}

DWORD ReadRegValue(const char* path, void* buffer, DWORD size, DWORD* type) {
    ValueBytes v;
    if (!buffer || !FetchValue(path, size, &v)) return 0;
    memcpy(buffer, v.data(), v.size);
    if (type) *type = v.type;
    return v.size;
}

BOOL QueryRegValue(const char* path, DWORD* type, DWORD* size) {
    ValuePath parsed;
    RegKey key;
    DWORD t = REG_NONE, n = 0;
    if (!OpenValueKey(path, &parsed, &key) ||
        RegQueryValueExA(key.get(), parsed.value, nullptr, &t, nullptr, &n) != ERROR_SUCCESS)
        return FALSE;
    if (type) *type = t;
    if (size) *size = n;
    return TRUE;
}

DWORD ReadRegString(const char* path, char* buffer, DWORD size) {
    ValueBytes v;
    if (!buffer || !FetchValue(path, size, &v) || v.type != REG_SZ || v.size == 0) return 0;
    const bool terminated = v.data()[v.size - 1] == '\0';
    if (!terminated && v.size + 1 > size) return 0;
    memcpy(buffer, v.data(), v.size);
    if (terminated) return v.size;
    buffer[v.size] = '\0';
    return v.size + 1;
}

BOOL ReadRegDword(const char* path, DWORD* value) {
    // 256 bytes of its own on the stack and one request: the trace service reads a DWORD before
    // every open of the driver, twice a second all day long.
    ValuePath parsed;
    RegKey key;
    if (!value || !OpenValueKey(path, &parsed, &key)) return FALSE;
    BYTE data[256];
    DWORD type = REG_NONE, size = sizeof data;
    if (RegQueryValueExA(key.get(), parsed.value, nullptr, &type, data, &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(DWORD))
        return FALSE;
    memcpy(value, data, sizeof(DWORD));
    return TRUE;
}

DWORD ReadRegMultiString(const char* path, char* buffer, DWORD size) {
    ValueBytes v;
    if (!buffer || size == 0 || !FetchValue(path, size - 1, &v) || v.type != REG_MULTI_SZ) return 0;
    // A list whose last string lacks its NUL needs two: one for the string, one for the list.
    const bool open = v.size > 0 && v.data()[v.size - 1] != '\0';
    if (open && v.size + 2 > size) return 0;
    memcpy(buffer, v.data(), v.size);
    buffer[v.size] = '\0';
    if (open) buffer[v.size + 1] = '\0';
    return v.size;
}

BOOL WriteRegValue(const char* path, const void* data, DWORD type, DWORD size, int flag) {
    ValuePath parsed;
    RegKey key;
    if (!ParseValuePath(path, &parsed)) return FALSE;
    // A value that cannot be written is named in the log: the callers go on without saying which.
    if (!CreateKeyOf(parsed.root, parsed.key, &key)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not open or create the registry key of %s", path);
        return FALSE;
    }
    const LONG set = RegSetValueExA(key.get(), parsed.value, 0, type, static_cast<const BYTE*>(data), size);
    if (set != ERROR_SUCCESS)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not write the registry value %s; error %ld", path, set);
    CloseWithFlag(&key, flag);
    return set == ERROR_SUCCESS;
}

BOOL WriteRegString(const char* path, const char* text, int flag) {
    return WriteRegValue(path, text, REG_SZ, static_cast<DWORD>(strlen(text) + 1), flag);
}

BOOL WriteRegExpandString(const char* path, const char* text, int flag) {
    return WriteRegValue(path, text, REG_EXPAND_SZ, static_cast<DWORD>(strlen(text) + 1), flag);
}

BOOL WriteRegDword(const char* path, DWORD value, int flag) {
    return WriteRegValue(path, &value, REG_DWORD, sizeof value, flag);
}

DWORD MultiStringSize(const char* data) {
    const char* p = data;
    while (*p) p += strlen(p) + 1;
    return static_cast<DWORD>(p - data) + 1;
}

DWORD MultiStringContentSize(const char* data, DWORD size) {
    DWORD end = size;
    while (end > 0 && data[end - 1] == '\0') --end;
    return end == 0 ? 0 : end + 1;
}

BOOL WriteRegMultiString(const char* path, const char* data, int flag, DWORD size) {
    if (size == 0) size = MultiStringSize(data);
    return WriteRegValue(path, data, REG_MULTI_SZ, size, flag);
}

BOOL CopyRegValue(const char* source, const char* target, int flag) {
    ValueBytes v;
    if (!FetchValue(source, 0x7FFFFFF0u, &v)) return FALSE;
    return WriteRegValue(target, v.data(), v.type, v.size, flag);
}

BOOL CopyRegTree(const char* source, const char* target) {
    RegKey from;
    if (!OpenPathKey(source, KEY_READ, &from)) return FALSE;
    char text[kPathSize];
    if (!target || !CopyText(text, sizeof text, target)) return FALSE;
    char* keyPath;
    HKEY root;
    SplitRegistryRoot(text, &keyPath, &root);
    TargetKey to(root, keyPath, target);
    HeapBlock buffer(HeapAlloc(GetProcessHeap(), 0, sizeof(ValueBuffer)));
    if (!buffer.valid()) return FALSE;
    return CopyKey(from.get(), &to, strlen(source), strlen(target), static_cast<ValueBuffer*>(buffer.get())) ? TRUE
                                                                                                            : FALSE;
}

BOOL DeleteRegTree(const char* keyPath, const char* subkey) {
    RegKey key;
    HKEY root = nullptr;
    char path[kPathSize];
    if (!subkey) {
        if (OpenPathKey(keyPath, KEY_ALL_ACCESS, &key, &root, path)) DeleteSubkeys(key.get());
        key.reset();
        return root && RegDeleteKeyA(root, path) == ERROR_SUCCESS;
    }
    if (!*subkey || !OpenPathKey(keyPath, KEY_ALL_ACCESS, &key)) return FALSE;
    {
        RegKey child;
        if (RegOpenKeyExA(key.get(), subkey, 0, KEY_ALL_ACCESS, child.put()) == ERROR_SUCCESS) DeleteSubkeys(child.get());
    }
    return RegDeleteKeyA(key.get(), subkey) == ERROR_SUCCESS;
}

BOOL DeleteRegValue(const char* path, const char* name) {
    RegKey key;
    if (name) return OpenPathKey(path, KEY_SET_VALUE, &key) && RegDeleteValueA(key.get(), name) == ERROR_SUCCESS;
    ValuePath parsed;
    return path && OpenValueKey(path, &parsed, &key, KEY_SET_VALUE) &&
           RegDeleteValueA(key.get(), parsed.value) == ERROR_SUCCESS;
}

BOOL RegKeyExists(const char* keyPath) {
    RegKey key;
    return OpenRegKey(keyPath, key.put());
}

BOOL RegKeyIsEmpty(const char* keyPath) {
    RegKey key;
    DWORD subkeys = 1, values = 1;
    return OpenRegKey(keyPath, key.put()) &&
           RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
}

DWORD EnumRegSubkeys(const char* keyPath, char* buffer, DWORD size) {
    RegKey key;
    if (!OpenRegKey(keyPath, key.put())) return 0;
    DWORD total = 0, used = 0;
    bool copying = buffer != nullptr && size > 0;
    char name[kPathSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        const LONG r = RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) return 0;
        total += length + 1;
        // Once a name does not fit the list stops there, so that it never has a gap.
        if (copying && used + length + 1 < size) {
            memcpy(buffer + used, name, length + 1);
            used += length + 1;
        } else {
            copying = false;
        }
    }
    if (buffer && size > 0) buffer[used] = '\0';
    return total + 1;
}

BOOL RemoveFromRegMultiString(const char* path, const char* text) {
    const DWORD kSize = 16384;
    HeapBlock in(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kSize + 1));
    HeapBlock out(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kSize + 1));
    if (!in.valid() || !out.valid()) return FALSE;
    char* list = static_cast<char*>(in.get());
    char* kept = static_cast<char*>(out.get());
    const DWORD content = MultiStringContentSize(list, ReadRegMultiString(path, list, kSize));
    if (content == 0) return FALSE;
    // An empty string inside the value ends nothing: the entries behind it stay. It is dropped, so
    // that every reader of the list that stops at an empty string sees them again.
    DWORD used = 0;
    for (const char* p = list; p < list + content;) {
        const size_t length = strlen(p);
        if (length > 0 && !EqualsIgnoringCase(p, text)) {
            memcpy(kept + used, p, length + 1);
            used += static_cast<DWORD>(length + 1);
        }
        p += length + 1;
    }
    kept[used] = '\0';
    return WriteRegMultiString(path, kept, kRegClose, used + 1);
}
