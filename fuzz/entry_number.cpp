// The numbers typed into the backups and size fields, read against the C library's own reading of
// an unsigned long of 32 bits with base 0, and the limits the pages hold them to.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "rasconfig/entry_number.h"

namespace {

// strtoul of a 32-bit unsigned long, from the 64-bit reading of the same text: a magnitude beyond
// 32 bits is the largest value, a negative number wraps around. False when characters are left.
bool ReadAsLibrary(const char* text, unsigned long* value) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    const bool negative = *p == '-';
    char* end = nullptr;
    errno = 0;
    const unsigned long long read = strtoull(text, &end, 0);
    const bool overflow = errno == ERANGE;
    if (*end != '\0') {
        *value = 0;
        return false;
    }
    const unsigned long long magnitude = negative ? 0 - read : read;
    if (overflow || magnitude > 0xFFFFFFFFull)
        *value = 0xFFFFFFFFul;
    else
        *value = static_cast<unsigned long>((negative ? 0 - magnitude : magnitude) & 0xFFFFFFFFull);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const unsigned long max = input.ConsumeIntegral<uint32_t>();
    const std::string text = input.ConsumeRemainingBytesAsString();

    unsigned long value = 1, expected = 1;
    const bool ok = ParseEntryNumber(text.c_str(), &value);
    const bool expectedOk = ReadAsLibrary(text.c_str(), &expected);
    FUZZ_CHECK(ok == expectedOk);
    FUZZ_CHECK(value == expected);
    FUZZ_CHECK(value <= 0xFFFFFFFFul);

    const CheckedNumber backups = CheckBackupCount(text.c_str(), max);
    FUZZ_CHECK(backups.bad == !ok && !backups.tooSmall);
    if (!backups.bad) {
        FUZZ_CHECK(backups.value <= max);
        FUZZ_CHECK(backups.tooLarge == (value > max));
        FUZZ_CHECK(backups.value == (backups.tooLarge ? max : value));
    }
    const CheckedNumber fileSize = CheckFileSize(text.c_str(), max);
    FUZZ_CHECK(fileSize.bad == !ok);
    if (!fileSize.bad) {
        FUZZ_CHECK(fileSize.value >= 1 && (fileSize.value <= max || max == 0));
        FUZZ_CHECK(fileSize.tooSmall == (backups.value == 0));
    }
    return 0;
}
