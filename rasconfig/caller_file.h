// caller.dat on disk: read whole, and replaced whole so that it never holds half of a list.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The file's text up to its first NUL, opened for reading with the given sharing; false when it
// cannot be opened or read, the last error saying why (ERROR_FILE_NOT_FOUND: there is none).
bool ReadCallerFile(const char* file, DWORD share, std::string* text);
// Replaces the file by the entries' text (CallerFileText), which text receives: the file holds all
// of it or stays as it was. False, the last error saying why, when it could not be replaced.
bool WriteCallerFile(const char* file, const std::vector<std::string>& entries, std::string* text);
