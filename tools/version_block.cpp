#include "tools/version_block.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kFixedVersionSignature = 0xFEEF04BD;
constexpr size_t kSignatureFirstOffset = 36;
constexpr size_t kSignatureLastOffset = 67;

uint32_t ReadLittleEndian(const unsigned char* bytes) {
    return uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) | (uint32_t{bytes[2]} << 16) | (uint32_t{bytes[3]} << 24);
}

}  // namespace

const char* NameAfterLastBackslash(const char* path) {
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

bool FindFixedVersions(const unsigned char* block, size_t size, uint32_t* fileVersion, uint32_t* productVersion) {
    // signature, structure version, file version high, low, product version high, low
    constexpr size_t kFieldsRead = 6 * sizeof(uint32_t);
    for (size_t offset = kSignatureFirstOffset; offset <= kSignatureLastOffset; ++offset) {
        if (offset + kFieldsRead > size) break;
        const unsigned char* fixed = block + offset;
        if (ReadLittleEndian(fixed) != kFixedVersionSignature) continue;
        *fileVersion = ReadLittleEndian(fixed + 2 * sizeof(uint32_t));
        *productVersion = ReadLittleEndian(fixed + 4 * sizeof(uint32_t));
        return true;
    }
    return false;
}

void FailureReason(unsigned long error, const char* text, size_t length, char* reason) {
    if (!text) length = 0;
    // Only the line break goes: a message that ends without one keeps all of its text.
    for (int cut = 0; cut < 2 && length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'); ++cut) --length;
    if (length == 0 || length >= kFailureReasonSize - kFailureReasonReserve) {
        // An empty reason would print a line of versions that were never read.
        snprintf(reason, kFailureReasonSize, "error %lu", error);
        return;
    }
    memcpy(reason, text, length);
    reason[length] = '\0';
}
