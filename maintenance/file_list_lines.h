// Lines of the DELFILES.DAT lists, taken apart without any system call: key=value, the delete
// value with its optional ",REBOOT", the move value "source,target", and the end of a section read
// that the reader's buffer may have cut.
#pragma once

#include <cstddef>

enum class ListLineKind {
    kIgnored,  // no "="
    kSection,  // SECTION=name: process that section of the same file here
    kEntry,    // any other key: a file to delete or a pair to move
};

struct ListLine {
    ListLineKind kind = ListLineKind::kIgnored;
    const char* value = nullptr;  // the text behind the first "="
};

// Cuts the line at its first "="; the key "SECTION" is recognised in any letter case.
ListLine ParseListLine(const char* line);

// The file of a delete value: everything before its last comma (the whole value without one).
// *deferred is true when the text behind that comma is "REBOOT" in any letter case; any other
// text there is dropped. False, and file empty, when the file does not fit into size bytes.
bool ParseDeleteValue(const char* value, char* file, size_t size, bool* deferred);

// The pair of a move value: the source before its first comma, the target all the rest. False
// without a comma, and when either part does not fit.
bool ParseMoveValue(const char* value, char* source, size_t sourceSize, char* target, size_t targetSize);

// A section read into capacity bytes returned read bytes; the private-profile reader reports a
// section that did not fit with capacity - 2, its last line possibly cut off anywhere, and so it
// reports one of capacity - 2 or capacity - 1 bytes that did fit. measured is the section's length
// from a larger read (0: none was made); it tells the two apart. Gives the number of bytes of the
// lines that are certainly whole (read itself when nothing was cut) and points *cut at the line
// that was dropped (null when none).
size_t WholeSectionBytes(const char* buffer, size_t read, size_t capacity, const char** cut, size_t measured = 0);

// The line of a section read that starts at *offset, moving *offset past it and its NUL; null at
// the first empty line (the section's end) and once *offset reaches whole. The reader ends every
// line it returns with a NUL, the last one included.
const char* NextListLine(const char* buffer, size_t whole, size_t* offset);
