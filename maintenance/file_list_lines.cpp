#include "maintenance/file_list_lines.h"

#include <cstring>

#include "common/ascii_case.h"

namespace {

bool CopyPart(char* out, size_t size, const char* text, size_t length) {
    if (size == 0) return false;
    if (length >= size) {
        out[0] = '\0';
        return false;
    }
    memcpy(out, text, length);
    out[length] = '\0';
    return true;
}

}  // namespace

ListLine ParseListLine(const char* line) {
    ListLine parsed;
    const char* equals = line ? strchr(line, '=') : nullptr;
    if (!equals) return parsed;
    parsed.value = equals + 1;
    parsed.kind = EqualsIgnoringCase(line, static_cast<size_t>(equals - line), "SECTION") ? ListLineKind::kSection
                                                                                           : ListLineKind::kEntry;
    return parsed;
}

bool ParseDeleteValue(const char* value, char* file, size_t size, bool* deferred) {
    *deferred = false;
    const char* comma = strrchr(value, ',');
    if (!comma) return CopyPart(file, size, value, strlen(value));
    *deferred = EqualsIgnoringCase(comma + 1, "REBOOT");
    return CopyPart(file, size, value, static_cast<size_t>(comma - value));
}

bool ParseMoveValue(const char* value, char* source, size_t sourceSize, char* target, size_t targetSize) {
    const char* comma = strchr(value, ',');
    if (!comma) return false;
    return CopyPart(source, sourceSize, value, static_cast<size_t>(comma - value)) &&
           CopyPart(target, targetSize, comma + 1, strlen(comma + 1));
}

size_t WholeSectionBytes(const char* buffer, size_t read, size_t capacity, const char** cut, size_t measured) {
    *cut = nullptr;
    if (capacity < 2 || read != capacity - 2) return read;
    // The lines with their NULs and the section's closing NUL fit: every byte arrived.
    if (measured >= read && measured < capacity) return measured;
    // The lines before the last one ended at a NUL the file had; the last one ended where the
    // buffer did.
    size_t last = 0;
    for (size_t i = 0; i < read; ++i)
        if (buffer[i] == '\0' && i + 1 < read) last = i + 1;
    *cut = buffer + last;
    return last;
}

const char* NextListLine(const char* buffer, size_t whole, size_t* offset) {
    if (*offset >= whole || buffer[*offset] == '\0') return nullptr;
    const char* line = buffer + *offset;
    *offset += strlen(line) + 1;
    return line;
}
