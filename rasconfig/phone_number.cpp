#include "rasconfig/phone_number.h"

#include <cstring>

bool IsPhoneNumber(const char* text) {
    if (!text || !*text) return false;
    for (const char* p = text; *p; ++p)
        if (!(*p >= '0' && *p <= '9') && !strchr("()+-./", *p)) return false;
    return true;
}
