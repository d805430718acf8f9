#include "tools/monstart_command_line.h"

#include <climits>
#include <cstring>
#include <initializer_list>

namespace {

const char kBadParameterEnglish[] = "bad paramters in commandline: --> ";
const char kBadParameterGerman[] = "falscher Parameter:";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A signed decimal number at text[*position], blanks before it skipped; *position moves behind its
// last digit. A sign counts only when a digit follows it, so that "-c-s2" still sees "-s2". No
// digits give 0; a number beyond 32 bits stays at the nearest limit.
int32_t ReadNumber(const char* text, size_t* position) {
    size_t p = *position;
    while (IsBlank(text[p])) ++p;
    *position = p;
    bool negative = false;
    if ((text[p] == '-' || text[p] == '+') && IsDigit(text[p + 1])) {
        negative = text[p] == '-';
        ++p;
    }
    if (!IsDigit(text[p])) return 0;
    int64_t value = 0;
    for (; IsDigit(text[p]); ++p)
        if (value <= INT32_MAX) value = value * 10 + (text[p] - '0');
    *position = p;
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// The message: the fixed text and as much of rest as fits behind it.
void FormatBadParameter(char* message, size_t size, bool german, const char* rest) {
    if (!message || size == 0) return;
    const char* head = german ? kBadParameterGerman : kBadParameterEnglish;
    size_t used = 0;
    for (const char* text : {head, rest})
        for (const char* p = text; *p && used + 1 < size; ++p) message[used++] = *p;
    message[used] = '\0';
}

int32_t* NumberOption(LaunchSettings* settings, char option) {
    switch (option) {
    case 'c': return &settings->count;
    case 'l': return &settings->left;
    case 's': return &settings->columns;
    case 'u': return &settings->top;
    case 'x': return &settings->width;
    case 'y': return &settings->height;
    }
    return nullptr;
}

bool* FlagOption(LaunchSettings* settings, char option) {
    switch (option) {
    case 'f': return &settings->topmost;
    case 'k': return &settings->closeFirst;
    case 'n': return &settings->startNone;
    }
    return nullptr;
}

}  // namespace

CommandLineOutcome ParseMonstartCommandLine(const char* line, bool german, LaunchSettings* settings, char* message,
                                            size_t size) {
    if (message && size) message[0] = '\0';
    if (!line) line = "";
    if (strchr(line, '?')) return CommandLineOutcome::kUsage;
    const size_t length = strlen(line);
    size_t position = 0;
    // One character left cannot start an option. Skipping the character behind a flag or a blank
    // may step onto the terminating NUL or past it: the position never goes beyond the end.
    while (position + 1 < length) {
        const char* dash = strchr(line + position, '-');
        if (!dash) break;
        const size_t at = static_cast<size_t>(dash - line);
        const char option = line[at + 1];
        if (int32_t* number = NumberOption(settings, option)) {
            position = at + 2;
            *number = ReadNumber(line, &position);
            // The columns divide the screen and the monitors: none or fewer cannot be laid out.
            if (option == 's' && *number <= 0) {
                FormatBadParameter(message, size, german, dash);
                return CommandLineOutcome::kBadParameter;
            }
        } else if (bool* flag = FlagOption(settings, option)) {
            *flag = true;
            position = at + 3;
        } else if (IsBlank(option)) {
            position = at + 3;
        } else {
            FormatBadParameter(message, size, german, dash);
            return CommandLineOutcome::kBadParameter;
        }
        if (position > length) position = length;
    }
    return CommandLineOutcome::kLaunch;
}
