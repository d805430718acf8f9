#include "maintenance/window_titles.h"

#include <cstring>

const char kSnmpClientTitle[] = "SNMP Client Application";

namespace {

// The upper-case patterns are ASCII; letters outside ASCII never match them in any case.
void UpperCopy(const char* title, char* out, size_t size) {
    size_t i = 0;
    for (; title && title[i] && i + 1 < size; ++i) {
        const char c = title[i];
        out[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    out[i] = '\0';
}

}  // namespace

bool IsEventViewerTitle(const char* title) {
    char upper[kWindowTitleLength + 1];
    UpperCopy(title, upper, sizeof upper);
    return strstr(upper, "EVENT VIEWER") || strstr(upper, "EREIGNISANZEIGE");
}

bool IsGatewayProgramTitle(const char* title) {
    char upper[kWindowTitleLength + 1];
    UpperCopy(title, upper, sizeof upper);
    return strstr(upper, "LINVORA") && !strstr(upper, "FOR WINDOWS");
}

bool IsSnmpClientTitle(const char* title) { return title && strcmp(title, kSnmpClientTitle) == 0; }
