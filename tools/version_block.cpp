#include "tools/version_block.h"

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
