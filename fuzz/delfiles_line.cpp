// One line of a DELFILES.DAT list: its kind and value, and the delete and move values taken apart
// into buffers of every size from 0 up.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "maintenance/file_list_lines.h"

namespace {

bool SameIgnoringCase(const std::string& a, const char* b) {
    if (a.size() != strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

void CheckDeleteValue(const std::string& value, size_t size) {
    std::string buffer(size + 1, '\x7f');  // one guard byte behind the buffer
    bool deferred = true;
    const bool ok = ParseDeleteValue(value.c_str(), &buffer[0], size, &deferred);
    FUZZ_CHECK(buffer[size] == '\x7f');
    const size_t comma = value.rfind(',');
    const std::string file = comma == std::string::npos ? value : value.substr(0, comma);
    FUZZ_CHECK(deferred == (comma != std::string::npos && SameIgnoringCase(value.substr(comma + 1), "REBOOT")));
    FUZZ_CHECK(ok == (file.size() < size));
    if (ok) FUZZ_CHECK(file == buffer.c_str());
    else if (size > 0) FUZZ_CHECK(buffer[0] == '\0');
    // What the file list writes for a deferred delete reads back as the same file.
    if (ok && deferred) {
        std::string again(size + 1, '\x7f');
        bool deferredAgain = false;
        FUZZ_CHECK(ParseDeleteValue((file + ",reboot").c_str(), &again[0], size, &deferredAgain));
        FUZZ_CHECK(deferredAgain && file == again.c_str());
    }
}

void CheckMoveValue(const std::string& value, size_t sourceSize, size_t targetSize) {
    std::string source(sourceSize + 1, '\x7f'), target(targetSize + 1, '\x7f');
    const bool ok = ParseMoveValue(value.c_str(), &source[0], sourceSize, &target[0], targetSize);
    FUZZ_CHECK(source[sourceSize] == '\x7f' && target[targetSize] == '\x7f');
    const size_t comma = value.find(',');
    if (comma == std::string::npos) {
        FUZZ_CHECK(!ok);
        return;
    }
    FUZZ_CHECK(ok == (comma < sourceSize && value.size() - comma - 1 < targetSize));
    if (ok) FUZZ_CHECK(std::string(source.c_str()) + "," + target.c_str() == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose the buffer sizes; the rest is the line as the reader hands it on.
    const size_t small = data[0], other = data[1];
    const std::string line(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::string text = line.c_str();

    const ListLine parsed = ParseListLine(text.c_str());
    const size_t equals = text.find('=');
    if (equals == std::string::npos) {
        FUZZ_CHECK(parsed.kind == ListLineKind::kIgnored);
        return 0;
    }
    FUZZ_CHECK(parsed.value == text.c_str() + equals + 1);
    FUZZ_CHECK((parsed.kind == ListLineKind::kSection) == SameIgnoringCase(text.substr(0, equals), "SECTION"));
    FUZZ_CHECK(parsed.kind != ListLineKind::kIgnored);

    const std::string value = parsed.value;
    CheckDeleteValue(value, 1024);
    CheckDeleteValue(value, small);
    CheckMoveValue(value, 1024, 1024);
    CheckMoveValue(value, small, other);
    return 0;
}
