// Path text helpers: joining with environment expansion and cutting, all in 260-byte buffers.
#pragma once

#include <windows.h>

// Size of every path and name buffer: MAX_PATH, as the system defines it.
constexpr DWORD kPathSize = MAX_PATH;
// ExpandInPlace's buffer.
constexpr DWORD kExpandSize = 256;

// out (kPathSize bytes) = expanded directory (the current directory when null) joined with the
// expanded name; a name holding ":" replaces the directory. out may be directory itself.
// Returns FALSE and leaves out empty when the result would not fit: it is never cut.
BOOL JoinPath(const char* directory, const char* name, char* out);

// Expands environment references in text (a buffer of size bytes). Returns FALSE and leaves the
// text as it was when the expansion would not fit.
BOOL ExpandInPlace(char* text, DWORD size = kExpandSize);

// C:\a\b becomes C:\a; nothing happens without a "\".
void CutLastComponent(char* path);
// C:\a\b becomes C:.
void CutToDrive(char* path);

// Bounded copy: FALSE, and out empty, when text (with its NUL) does not fit into size bytes.
BOOL CopyText(char* out, DWORD size, const char* text);
// True when text holds "*" or "?".
bool HasWildcard(const char* text);
// The "." that starts the extension of the path's last component, or null: a "." in a folder
// name is none.
const char* FindExtension(const char* path);
