// The command lines the configuration center starts programs with: whatever names they carry, the
// line fits its buffer, and the started program's C runtime splits it back into exactly the names.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "rasconfig/command_line.h"

namespace {

// The arguments as the C runtime of the started program reads its command line: blanks and tabs
// separate them outside quotes; 2n backslashes before a quote give n and the quote opens or closes,
// 2n+1 give n and a literal quote; other backslashes are themselves. The program name (first
// argument) ends at the next blank outside quotes, backslashes taken as they stand.
std::vector<std::string> SplitCommandLine(const char* line) {
    std::vector<std::string> arguments;
    const char* p = line;
    std::string first;
    bool quoted = false;
    for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
        if (*p == '"') quoted = !quoted;
        else first += *p;
    }
    arguments.push_back(first);
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) break;
        std::string argument;
        quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            size_t backslashes = 0;
            while (*p == '\\') {
                ++backslashes;
                ++p;
            }
            if (*p == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2) argument += '"';
                else quoted = !quoted;
                ++p;
            } else {
                argument.append(backslashes, '\\');
                if (*p && (quoted || (*p != ' ' && *p != '\t'))) argument += *p++;
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

bool Passable(const std::string& name) {
    if (name.find('"') != std::string::npos) return false;
    const bool quoted = name.empty() || name.find_first_of(" \t") != std::string::npos;
    return !(quoted && !name.empty() && name.back() == '\\');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const size_t bufferSize = input.ConsumeBool() ? kTraceIconsCommandSize : input.ConsumeIntegralInRange<size_t>(0, 300);
    std::string names[4];
    for (std::string& name : names) {
        name = input.ConsumeRandomLengthString(300);
        name = name.c_str();
    }

    std::vector<char> out(bufferSize + 1, '\x7f');
    const bool ok = FormatTraceIconsCommand(out.data(), bufferSize, names[0].c_str(), names[1].c_str(),
                                            names[2].c_str(), names[3].c_str());
    FUZZ_CHECK(out[bufferSize] == '\x7f');
    const bool passable = Passable(names[0]) && Passable(names[1]) && Passable(names[2]) && Passable(names[3]);
    if (!passable) FUZZ_CHECK(!ok);
    if (bufferSize > 0) FUZZ_CHECK(ok || out[0] == '\0');
    if (ok) {
        FUZZ_CHECK(strlen(out.data()) < bufferSize);
        const std::vector<std::string> arguments = SplitCommandLine(out.data());
        FUZZ_CHECK(arguments.size() == 18);
        FUZZ_CHECK(arguments[0] == "setup.exe" && arguments[15] == "SetRasTraceIcons");
        FUZZ_CHECK(arguments[5] == names[0] && arguments[9] == names[1]);
        FUZZ_CHECK(arguments[13] == names[2] && arguments[17] == names[3]);
    } else if (passable && bufferSize == kTraceIconsCommandSize) {
        // Four names of at most 255 characters always fit.
        FUZZ_CHECK(names[0].size() > 255 || names[1].size() > 255 || names[2].size() > 255 || names[3].size() > 255);
    }

    std::vector<char> viewer(bufferSize + 1, '\x7f');
    const bool viewerOk = FormatViewerCommand(viewer.data(), bufferSize, names[0].c_str(), names[1].c_str());
    FUZZ_CHECK(viewer[bufferSize] == '\x7f');
    if (viewerOk) {
        const std::vector<std::string> arguments = SplitCommandLine(viewer.data());
        FUZZ_CHECK(arguments.size() == 2 && arguments[0] == names[0] && arguments[1] == names[1]);
    } else if (bufferSize == kViewerCommandSize && Passable(names[0]) && Passable(names[1])) {
        FUZZ_CHECK(names[0].size() > 255 || names[1].size() > 255);
    }
    return 0;
}
