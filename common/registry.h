// Registry helpers: every registry access of the tool set, addressed by RegistryPath texts.
//
// A RegistryPath is "[ROOT:]key\path[\value]": an optional root name before the first ":"
// (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, without regard to case;
// HKEY_LOCAL_MACHINE when missing or unknown); for value operations the text after the last "\"
// names the value. Texts are at most 259 characters; a longer one fails.
#pragma once

#include <windows.h>

#include "common/paths.h"

// The close flag: 1 closes the key after writing, 0 flushes it to disk first.
constexpr int kRegClose = 1;
constexpr int kRegFlush = 0;

// The one way to name an entry below a key: keyPath joined with the name of a subkey or value as one
// literal component. A name holds whatever the registry allows (":" and "%" among it); it is never
// read as a root nor expanded, so the root is written out when the name would otherwise be taken
// for one. FALSE, and out empty, for a name with "\" (no key can carry one, and a value path would
// split there) and for a result that does not fit into size bytes.
BOOL JoinRegistryPath(const char* keyPath, const char* name, char* out, DWORD size = kPathSize);

// Cuts the root prefix off path (modified in place): *keyPath points behind the ":" (or at path).
BOOL SplitRegistryRoot(char* path, char** keyPath, HKEY* root);
// Opens the key named by the whole path with full access; the caller closes it.
BOOL OpenRegKey(const char* path, HKEY* key);
// Splits root and value name off path (modified) and opens the key; FALSE without a "\".
BOOL OpenRegValueKey(char* path, HKEY* key, HKEY* root, char** valueName);

// The value's bytes (strings with their NUL) or 0 when it is missing or larger than size.
DWORD ReadRegValue(const char* path, void* buffer, DWORD size, DWORD* type);
// The value's type and size in bytes; FALSE when it is missing.
BOOL QueryRegValue(const char* path, DWORD* type, DWORD* size);
// REG_SZ only (REG_EXPAND_SZ fails); the text is always terminated. Returns the bytes read.
DWORD ReadRegString(const char* path, char* buffer, DWORD size);
// REG_DWORD of 4 bytes only; value stays untouched on failure.
BOOL ReadRegDword(const char* path, DWORD* value);
// REG_MULTI_SZ only; one more NUL follows the bytes read (size needs that byte). Returns the bytes.
DWORD ReadRegMultiString(const char* path, char* buffer, DWORD size);

// Opens or creates the key (with its missing parents) and sets the value: 0 when either fails.
BOOL WriteRegValue(const char* path, const void* data, DWORD type, DWORD size, int flag);
BOOL WriteRegString(const char* path, const char* text, int flag);
BOOL WriteRegExpandString(const char* path, const char* text, int flag);
BOOL WriteRegDword(const char* path, DWORD value, int flag);
// size 0: the strings up to the first empty one and one terminating NUL.
BOOL WriteRegMultiString(const char* path, const char* data, int flag, DWORD size);
// Size of a multi-string as WriteRegMultiString counts it for size 0 (an empty list is 1).
DWORD MultiStringSize(const char* data);
// Bytes of a multi-string block of size bytes read from the registry, up to and including the NUL
// of its last non-empty string, empty strings inside it passed over; 0 when it holds none. A last
// string without its own NUL ends at data[size], which must be a NUL (the reads put one there).
DWORD MultiStringContentSize(const char* data, DWORD size);

// Copies one value of any type, creating the target key when needed.
BOOL CopyRegValue(const char* source, const char* target, int flag);
// Copies subkeys (recursively) and then values, names as they are, skipping only names with "\";
// goes on after a failed entry. TRUE when all copied.
BOOL CopyRegTree(const char* source, const char* target);
// Deletes keyPath, or its subkey of that exact name, with every key below it, depth first.
BOOL DeleteRegTree(const char* keyPath, const char* subkey = nullptr);
// Deletes the value named by path, or the value of that exact name in the key path names.
BOOL DeleteRegValue(const char* path, const char* name = nullptr);
BOOL RegKeyExists(const char* keyPath);
// TRUE when the key exists and holds neither subkeys nor values (the unnamed one included).
BOOL RegKeyIsEmpty(const char* keyPath);
// The subkey names as a multi-string into buffer (or only measured when buffer is null): returns the
// size the whole list needs, 0 when the key cannot be read.
DWORD EnumRegSubkeys(const char* keyPath, char* buffer, DWORD size);
// Removes every entry equal to text (without regard to case) from a REG_MULTI_SZ of at most 16 KiB,
// and the empty strings inside it; the entries behind an empty string stay.
BOOL RemoveFromRegMultiString(const char* path, const char* text);
