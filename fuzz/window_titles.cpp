// The titles of other programs' windows, read up to 256 characters, as the stop procedures tell
// which of them to close: in any letter case, with anything around the words.
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "maintenance/window_titles.h"

namespace {

std::string Upper(const std::string& text) {
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string title = input.ConsumeRemainingBytesAsString().c_str();
    const std::string seen = Upper(title.substr(0, kWindowTitleLength));

    const bool viewer = seen.find("EVENT VIEWER") != std::string::npos || seen.find("EREIGNISANZEIGE") != std::string::npos;
    FUZZ_CHECK(IsEventViewerTitle(title.c_str()) == viewer);
    const bool gateway = seen.find("LINVORA") != std::string::npos && seen.find("FOR WINDOWS") == std::string::npos;
    FUZZ_CHECK(IsGatewayProgramTitle(title.c_str()) == gateway);
    FUZZ_CHECK(IsSnmpClientTitle(title.c_str()) == (title == kSnmpClientTitle));
    // The case of the title plays no part, but for the SNMP client's exact title.
    FUZZ_CHECK(IsEventViewerTitle(Upper(title).c_str()) == viewer);
    FUZZ_CHECK(!IsEventViewerTitle(nullptr) && !IsGatewayProgramTitle(nullptr) && !IsSnmpClientTitle(nullptr));
    return 0;
}
