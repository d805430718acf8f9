// verprint's argument and the version resource it reads: the name it prints for any argument,
// and the fixed-version block found in a resource of any size and content.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "tools/version_block.h"

namespace {

uint32_t LittleEndianAt(const std::vector<unsigned char>& block, size_t offset) {
    return uint32_t{block[offset]} | (uint32_t{block[offset + 1]} << 8) | (uint32_t{block[offset + 2]} << 16) |
           (uint32_t{block[offset + 3]} << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string argument = input.ConsumeRandomLengthString(400);
    const char* name = NameAfterLastBackslash(argument.c_str());
    const size_t length = strlen(argument.c_str());
    FUZZ_CHECK(name >= argument.c_str() && name <= argument.c_str() + length);
    FUZZ_CHECK(strchr(name, '\\') == nullptr);
    FUZZ_CHECK(name == argument.c_str() || name[-1] == '\\');

    // The block in a heap allocation of exactly its size.
    const std::vector<unsigned char> bytes = input.ConsumeRemainingBytes<unsigned char>();
    std::vector<unsigned char> block(bytes.begin(), bytes.end());
    uint32_t fileVersion = 0x11111111u, productVersion = 0x22222222u;
    const bool found = FindFixedVersions(block.data(), block.size(), &fileVersion, &productVersion);

    size_t first = 0;
    bool expected = false;
    for (size_t offset = 36; offset <= 67 && offset + 24 <= block.size(); ++offset)
        if (LittleEndianAt(block, offset) == 0xFEEF04BDu) {
            first = offset;
            expected = true;
            break;
        }
    FUZZ_CHECK(found == expected);
    if (found) {
        FUZZ_CHECK(fileVersion == LittleEndianAt(block, first + 8));
        FUZZ_CHECK(productVersion == LittleEndianAt(block, first + 16));
    } else {
        FUZZ_CHECK(fileVersion == 0x11111111u && productVersion == 0x22222222u);
    }
    return 0;
}
