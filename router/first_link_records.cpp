#include "router/first_link_records.h"

#include <cstdio>
#include <cstring>

namespace {

// The C runtime's linear congruential generator, with a state of its own.
class RuntimeRandom {
public:
    explicit RuntimeRandom(uint32_t seed) : state_(seed) {}
    uint32_t Draw() {
        state_ = state_ * 214013u + 2531011u;
        return (state_ >> 16) & 0x7FFF;
    }

private:
    uint32_t state_;
};

constexpr uint32_t kLargest = 0xFFFFFFFFu;

uint32_t LeadingNumber(const char* text) {
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const uint32_t digit = static_cast<uint32_t>(*text - '0');
        value = value > (kLargest - digit) / 10 ? kLargest : value * 10 + digit;
    }
    return value;
}

bool Taken(const char* names, uint32_t number) {
    for (const char* name = names; *name; name += strlen(name) + 1)
        if (*name >= '0' && *name <= '9' && LeadingNumber(name) == number) return true;
    return false;
}

bool Fits(int n, size_t size) { return n >= 0 && static_cast<size_t>(n) < size; }

}  // namespace

bool ScrambleText(const char* input, uint32_t seed, char* out, size_t size) {
    if (!out || size == 0) return false;
    out[0] = '\0';
    RuntimeRandom random(seed);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(input ? input : "");
    const size_t length = strlen(reinterpret_cast<const char*>(p));
    size_t used = 0;
    for (size_t i = 0; i < length; i += 3) {
        const unsigned b0 = p[i];
        const unsigned b1 = i + 1 < length ? p[i + 1] : 0;
        const unsigned b2 = i + 2 < length ? p[i + 2] : 0;
        const struct {
            bool formed;
            unsigned value;
        } pieces[4] = {
            {b0 != 0, b0 >> 2},
            {b0 != 0 || b1 != 0, ((b0 & 3) << 4) + (b1 >> 4)},
            {b1 != 0 || b2 != 0, ((b1 & 15) << 2) + (b2 >> 6)},
            {b2 != 0, b2 & 63},
        };
        for (const auto& piece : pieces) {
            if (!piece.formed) break;
            if (used + 1 >= size) {
                out[0] = '\0';
                return false;
            }
            out[used++] = static_cast<char>(((piece.value ^ random.Draw()) & 63) + 0x30);
        }
    }
    out[used] = '\0';
    return true;
}

void SetProtocol(FirstLinkSettings* settings, const char* protocol) {
    if (protocol && strcmp(protocol, "B_X75") == 0) {
        snprintf(settings->protocol, sizeof settings->protocol, "%s", protocol);
        settings->flags = kFlagsX75;
    } else if (protocol && strcmp(protocol, "B_V110") == 0) {
        snprintf(settings->protocol, sizeof settings->protocol, "%s", protocol);
        settings->flags = kFlagsV110;
    } else {
        settings->protocol[0] = '\0';
        settings->flags = kFlagsNoProtocol;
    }
}

bool IsStorablePhoneNumber(const char* phone) { return phone && !strchr(phone, ',') && !strchr(phone, '^'); }

const char kUntouchedPassword[] = "****************";

FirstLinkCheck TakeFirstLink(const FirstLinkTyped& typed, FirstLinkSettings* settings) {
    if (!IsStorablePhoneNumber(typed.phone)) return FirstLinkCheck::BadPhone;
    snprintf(settings->phone, sizeof settings->phone, "%s", typed.phone);
    SetProtocol(settings, typed.protocol);
    snprintf(settings->user, sizeof settings->user, "%s", typed.user);
    if (strcmp(typed.password, kUntouchedPassword) == 0) return FirstLinkCheck::Taken;
    // The password is taken only once it is confirmed: a mismatch leaves the stored one as it was.
    if (strcmp(typed.password, typed.confirmation) != 0) return FirstLinkCheck::PasswordMismatch;
    snprintf(settings->password, sizeof settings->password, "%s", typed.password);
    return FirstLinkCheck::Taken;
}

bool NextFreeNumber(const char* names, uint32_t* next) {
    uint32_t largest = 0;
    bool any = false;
    for (const char* name = names; *name; name += strlen(name) + 1) {
        if (*name < '0' || *name > '9') continue;
        const uint32_t number = LeadingNumber(name);
        if (!any || number > largest) largest = number;
        any = true;
    }
    if (!any) {
        *next = 1;
        return true;
    }
    if (largest < kLargest) {
        *next = largest + 1;
        return true;
    }
    // Far fewer names than numbers: a free one lies among the first (names + 1) candidates.
    for (uint32_t candidate = 1; candidate < kLargest; ++candidate) {
        if (!Taken(names, candidate)) {
            *next = candidate;
            return true;
        }
    }
    return false;
}

bool BuildLinkEntry(uint32_t isdnNumber, const FirstLinkSettings& settings, char* out, size_t size) {
    char user[kRecordSize / 4], password[kRecordSize / 4];
    if (!ScrambleText(settings.user, kScrambleSeed, user, sizeof user) ||
        !ScrambleText(settings.password, kScrambleSeed, password, sizeof password))
        return false;
    const int n = snprintf(out, size,
                           "Provider,1,%lu,0x%x,21610000,7200000,100,0,3,10000,0,0,2,300000,4294967295,0.0.0.0,"
                           "Internet,,,%s,%s,10000,,,255",
                           static_cast<unsigned long>(isdnNumber), 10324u, user, password);
    return Fits(n, size);
}

bool BuildIsdnEntry(uint32_t linkNumber, const FirstLinkSettings& settings, char* out, size_t size) {
    char call[kPhoneNumberSize + 1 + kProtocolSize];
    if (settings.protocol[0])
        snprintf(call, sizeof call, "%s^%s", settings.phone, settings.protocol);
    else
        snprintf(call, sizeof call, "%s", settings.phone);
    const int n = snprintf(out, size, "%lu,%s,%s,10000,0x%lx,,0,,-1,-1,2,0", static_cast<unsigned long>(linkNumber),
                           call, settings.phone, static_cast<unsigned long>(settings.flags | 8u));
    return Fits(n, size);
}

bool BuildDefaultRoute(uint32_t linkNumber, char* out, size_t size) {
    const int n = snprintf(out, size, "-1,%lu,1,1,0", static_cast<unsigned long>(linkNumber));
    return Fits(n, size);
}
