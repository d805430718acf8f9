#include "cleanup/product_lines.h"

#include <cstring>

#include "common/ascii_case.h"

namespace {

struct KeyPattern {
    const char* text;
    ProductBits line;
};
// Tested in this order; a name counts for the first pattern it holds only.
const KeyPattern kKeyPatterns[] = {
    {"VrkRas", kRemoteAccessLine},
    {"VrkMpr", kRouterLine},
    {"VrkLV", kGatewayLine},
};

const KeyPattern kAnswerNames[] = {
    {"Router", kRouterLine},
    {"RemoteAccess", kRemoteAccessLine},
    {"Gateway", kGatewayLine},
    {"All", kEveryLine},
};

struct DisplayName {
    ProductBits bits;
    const char* name;
};
const DisplayName kDisplayNames[] = {
    {kRouterBits, "Varnek ISDN Multiprotocol Router"},
    {kRemoteAccessLine, "Varnek ISDN DialCore"},
    {kGatewayLine, "Linvora for Windows"},
};

}  // namespace

ProductBits LineOfKeyName(const char* name) {
    if (!name) return 0;
    for (const KeyPattern& pattern : kKeyPatterns)
        if (ContainsIgnoringCase(name, pattern.text)) return pattern.line;
    return 0;
}

ProductBits LineOfAnswerName(const char* name) {
    if (!name) return 0;
    for (const KeyPattern& answer : kAnswerNames)
        if (EqualsIgnoringCase(name, answer.text)) return answer.line;
    return 0;
}

size_t BuildConfirmationList(ProductBits bits, char* out, size_t size) {
    if (!out || size == 0) return 0;
    size_t used = 0;
    out[0] = '\0';
    for (const DisplayName& line : kDisplayNames) {
        if (!(bits & line.bits)) continue;
        const size_t length = strlen(line.name) + 3;  // two quotes and the blank
        if (used + length >= size) continue;
        out[used++] = '"';
        memcpy(out + used, line.name, length - 3);
        used += length - 3;
        out[used++] = '"';
        out[used++] = ' ';
        out[used] = '\0';
    }
    return used;
}
