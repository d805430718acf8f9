// The byte-string helpers behind the address fields and the registry texts: numbers written in
// every base and read back, and the searches kept inside the bytes they are given.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "common/bytestring.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const DWORD value = input.ConsumeIntegral<uint32_t>();
    const unsigned base = input.ConsumeIntegralInRange<unsigned>(0, 40);
    const size_t outSize = input.ConsumeIntegralInRange<size_t>(0, 40);

    std::vector<char> out(outSize + 1, '\x7f');
    NumberToText(value, base, outSize ? out.data() : nullptr, outSize);
    FUZZ_CHECK(out[outSize] == '\x7f');
    if (outSize > 0) {
        const std::string text = out.data();
        FUZZ_CHECK(text.size() < outSize);
        if (base >= 2 && base <= 36 && !text.empty()) {
            FUZZ_CHECK(strtoul(text.c_str(), nullptr, static_cast<int>(base)) == value);
            for (char c : text) FUZZ_CHECK((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'));
        }
        if (base == 10 && !text.empty()) FUZZ_CHECK(ReadDecimal(text.c_str()) == value);
        if (base < 2 || base > 36) FUZZ_CHECK(text.empty());
    }

    const std::string pattern = input.ConsumeRandomLengthString(16);
    const size_t n = input.ConsumeIntegralInRange<size_t>(0, 300);
    // The text in a block of exactly its bytes: a NUL ends it, or the bound does.
    std::string bytes = input.ConsumeRemainingBytesAsString();
    std::vector<char> text(bytes.begin(), bytes.end());
    text.push_back('\0');
    const size_t length = strlen(text.data());

    const char* found = FindBounded(text.data(), n, pattern.c_str());
    const size_t patternLength = strlen(pattern.c_str());
    if (found) {
        FUZZ_CHECK(found >= text.data() && found + patternLength <= text.data() + length);
        if (patternLength) FUZZ_CHECK(static_cast<size_t>(found - text.data()) + patternLength <= n);
        FUZZ_CHECK(memcmp(found, pattern.c_str(), patternLength) == 0);
    } else if (patternLength > 0) {
        const std::string window(text.data(), std::min(n, length));
        FUZZ_CHECK(window.find(pattern.c_str()) == std::string::npos);
    }
    const char* blind = FindCaseBlind(text.data(), pattern.c_str());
    if (blind) FUZZ_CHECK(blind >= text.data() && blind + patternLength <= text.data() + length);
    if (found && patternLength) FUZZ_CHECK(blind && blind <= found);

    const char c = pattern.empty() ? 'a' : pattern[0];
    const char* at = FindCharacter(text.data(), c);
    FUZZ_CHECK(at == (length && c ? strchr(text.data(), c) : nullptr) || (c == '\0' && at == nullptr));
    FUZZ_CHECK(ReadDecimal(text.data()) == ReadDecimal(std::string(text.data()).c_str()));
    return 0;
}
