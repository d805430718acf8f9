// A DELFILES.DAT section as the profile reader hands it over in the list's 1024-byte buffer: its
// lines NUL-terminated, one more NUL behind the last, and a section that did not fit cut at
// 1022 bytes. Checks which lines are walked and that none reaches into the cut.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "maintenance/file_list_lines.h"

namespace {

constexpr size_t kCapacity = 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader's output: the input's bytes (a line feed ends a line, as in the file), cut at
    // capacity - 2 when they are more.
    std::vector<char> bytes;
    for (size_t i = 0; i < size; ++i) bytes.push_back(data[i] == '\n' ? '\0' : static_cast<char>(data[i]));
    if (!bytes.empty() && bytes.back() != '\0') bytes.push_back('\0');
    const bool cutByReader = bytes.size() > kCapacity - 2;
    const size_t read = cutByReader ? kCapacity - 2 : bytes.size();

    // Exactly the buffer, so that AddressSanitizer sees every byte read outside it.
    std::vector<char> buffer(kCapacity, '\x7f');
    if (read) memcpy(buffer.data(), bytes.data(), read);
    buffer[read] = '\0';
    buffer[read + 1] = '\0';

    const char* cut = reinterpret_cast<const char*>(1);
    const size_t whole = WholeSectionBytes(buffer.data(), read, kCapacity, &cut);
    FUZZ_CHECK(whole <= read);
    if (read != kCapacity - 2) {
        FUZZ_CHECK(cut == nullptr && whole == read);
    } else {
        FUZZ_CHECK(cut == buffer.data() + whole);
        // Whatever was cut lies behind every whole line.
        FUZZ_CHECK(whole == 0 || buffer[whole - 1] == '\0');
    }

    // The walk hands out the lines before the first empty one, each whole and inside the bytes.
    size_t offset = 0, expected = 0;
    size_t lines = 0;
    for (const char* line; (line = NextListLine(buffer.data(), whole, &offset)) != nullptr; ++lines) {
        FUZZ_CHECK(line == buffer.data() + expected);
        const size_t length = strlen(line);
        FUZZ_CHECK(length > 0 && expected + length < read + 1);
        if (cut) FUZZ_CHECK(expected + length < whole);
        expected += length + 1;
        FUZZ_CHECK(offset == expected);
        const ListLine parsed = ParseListLine(line);
        if (parsed.kind == ListLineKind::kIgnored) continue;
        FUZZ_CHECK(parsed.value > line && parsed.value <= line + length);
        char file[kCapacity], target[kCapacity];
        bool deferred = false;
        if (ParseDeleteValue(parsed.value, file, sizeof file, &deferred)) FUZZ_CHECK(strlen(file) <= length);
        if (ParseMoveValue(parsed.value, file, sizeof file, target, sizeof target))
            FUZZ_CHECK(strlen(file) + strlen(target) < length);
    }
    FUZZ_CHECK(lines <= whole / 2 + 1);
    FUZZ_CHECK(offset >= whole || buffer[offset] == '\0');
    return 0;
}
