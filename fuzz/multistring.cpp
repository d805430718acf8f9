// The multi-string list under a sequence of appends (texts and whole blocks of any length, with
// and without a separator), reads, rewinds and clears, checked against a plain model of its
// content and its growth rule.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "common/multistring_list.h"
#include "fuzz_check.h"

namespace {

struct Model {
    std::string bytes;     // what was appended, separators already string ends
    size_t cursor = 0;     // offset of the next string
    bool started = false;  // something was appended since the last clear
    uint64_t capacity = 0;
};

std::vector<std::string> StringsFrom(const std::string& bytes, size_t offset) {
    std::vector<std::string> strings;
    while (offset < bytes.size() && bytes[offset] != '\0') {
        const std::string s = bytes.c_str() + offset;
        strings.push_back(s);
        offset += s.size() + 1;
    }
    return strings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const char separator = input.ConsumeBool() ? input.ConsumeIntegral<char>() : '\0';
    MultiStringList list(separator);
    Model model;
    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
        case 1: {
            // A text with its NUL, or exactly the given bytes.
            const bool block = input.ConsumeBool();
            std::string text = input.ConsumeRandomLengthString(1500);
            if (input.ConsumeBool()) text.append(input.ConsumeIntegralInRange<size_t>(0, 1100), 'x');
            const DWORD length = block ? static_cast<DWORD>(text.size()) : 0;
            if (block && length == 0) break;
            std::string appended = block ? text : std::string(text.c_str()) + '\0';
            FUZZ_CHECK(list.append(text.c_str(), length));
            if (separator)
                for (char& c : appended)
                    if (c == separator) c = '\0';
            if (model.bytes.size() + appended.size() >= model.capacity)
                model.capacity += (appended.size() & ~uint64_t{511}) + 512;
            model.bytes += appended;
            model.started = true;
            break;
        }
        case 2: {
            const char* s = list.next();
            const std::vector<std::string> expected = StringsFrom(model.bytes, model.cursor);
            if (!model.started || expected.empty()) {
                FUZZ_CHECK(s == nullptr);
            } else {
                FUZZ_CHECK(s != nullptr && expected.front() == s);
                model.cursor += expected.front().size() + 1;
            }
            break;
        }
        case 3:
            list.rewind();
            model.cursor = 0;
            break;
        case 4:
            if (input.ConsumeIntegralInRange<int>(0, 7) == 0) {
                list.clear();
                model = Model();
            }
            break;
        default:
            list.append(nullptr);
            break;
        }
        FUZZ_CHECK(list.size() == model.bytes.size());
        FUZZ_CHECK(list.capacity() == model.capacity);
        FUZZ_CHECK(model.bytes.empty() || list.size() < list.capacity());
        // The content, and the NUL that always follows it.
        FUZZ_CHECK(memcmp(list.text(), model.bytes.data(), model.bytes.size()) == 0);
        FUZZ_CHECK(list.text()[model.bytes.size()] == '\0');
    }
    return 0;
}
