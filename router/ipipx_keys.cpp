#include "router/ipipx_keys.h"

#include <cstring>

namespace {

constexpr char kBackspace = '\b';
constexpr size_t kAddressInsertLimit = 16;
// A dotted address never holds more; a longer text fails whatever its characters.
constexpr size_t kEditedSize = 64;

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The text with key in place of [start, end); false when it would not fit the buffer.
bool Edited(const char* text, size_t start, size_t end, char key, char* out) {
    const size_t length = strlen(text);
    if (end > length) end = length;
    if (start > end) start = end;
    const size_t resultLength = length - (end - start) + 1;
    if (resultLength >= kEditedSize) return false;
    memcpy(out, text, start);
    out[start] = key;
    memcpy(out + start + 1, text + end, length - end + 1);
    return true;
}

}  // namespace

bool IpxFieldAcceptsKey(const char* text, size_t selectionStart, size_t selectionEnd, char key) {
    if (key == kBackspace) return true;
    if (!IsHex(key)) return false;
    char edited[kEditedSize];
    return Edited(text ? text : "", selectionStart, selectionEnd, key, edited) && strlen(edited) <= kIpxFieldLength;
}

bool IsDottedAddressBeginning(const char* text) {
    int groups = 1;
    unsigned value = 0;
    bool groupStarted = false;
    for (const char* p = text; *p; ++p) {
        if (*p == '.') {
            if (!groupStarted || groups == 4) return false;
            ++groups;
            value = 0;
            groupStarted = false;
        } else if (*p >= '0' && *p <= '9') {
            value = value * 10 + static_cast<unsigned>(*p - '0');
            if (value > 255) return false;
            groupStarted = true;
        } else {
            return false;
        }
    }
    return true;
}

bool AddressFieldAcceptsKey(const char* text, size_t selectionStart, size_t selectionEnd, char key) {
    if (key == kBackspace) return true;
    if (!(key >= '0' && key <= '9') && key != '.') return false;
    if (selectionStart >= kAddressInsertLimit) return false;
    char edited[kEditedSize];
    return Edited(text ? text : "", selectionStart, selectionEnd, key, edited) && IsDottedAddressBeginning(edited);
}
