// The first link's records: the next free entry number among the value names a key holds, the
// scrambled user name and password (read back as the router reads them), and the three records
// with the number of fields their reader expects.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "router/first_link_records.h"

namespace {

uint32_t LeadingNumber(const std::string& name) {
    uint64_t value = 0;
    for (char c : name) {
        if (c < '0' || c > '9') break;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > 0xFFFFFFFFull) value = 0xFFFFFFFFull;
    }
    return static_cast<uint32_t>(value);
}

// The reverse of the scrambling: the same draws of the C runtime's generator, four characters
// giving three bytes.
std::string Unscramble(const char* text, uint32_t seed) {
    uint32_t state = seed;
    std::string bytes;
    unsigned pieces[4];
    const size_t length = strlen(text);
    for (size_t i = 0; i < length; i += 4) {
        size_t n = 0;
        for (; n < 4 && i + n < length; ++n) {
            state = state * 214013u + 2531011u;
            pieces[n] = ((static_cast<unsigned>(text[i + n]) - 0x30) ^ ((state >> 16) & 0x7FFF)) & 63;
        }
        for (size_t k = n; k < 4; ++k) pieces[k] = 0;
        const unsigned char group[3] = {static_cast<unsigned char>((pieces[0] << 2) | (pieces[1] >> 4)),
                                        static_cast<unsigned char>(((pieces[1] & 15) << 4) | (pieces[2] >> 2)),
                                        static_cast<unsigned char>(((pieces[2] & 3) << 6) | pieces[3])};
        for (unsigned char b : group)
            if (b) bytes += static_cast<char>(b);
    }
    return bytes;
}

size_t Fields(const char* record) {
    size_t fields = 1;
    for (const char* p = record; *p; ++p) fields += *p == ',';
    return fields;
}

void CopyInto(char* out, size_t size, const std::string& text) { snprintf(out, size, "%s", text.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);

    // Value names as the registry enumerates them: a multi-string ended by an empty name.
    std::vector<std::string> names;
    std::string block;
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, 24);
    for (size_t i = 0; i < count; ++i) {
        std::string name = input.ConsumeRandomLengthString(24).c_str();
        if (name.empty()) name = "0";
        names.push_back(name);
        block += name + '\0';
    }
    block += '\0';
    uint32_t next = 0;
    FUZZ_CHECK(NextFreeNumber(block.data(), &next));
    FUZZ_CHECK(next != 0);
    uint32_t largest = 0;
    bool any = false;
    for (const std::string& name : names) {
        if (name[0] < '0' || name[0] > '9') continue;
        FUZZ_CHECK(LeadingNumber(name) != next);
        largest = any && largest > LeadingNumber(name) ? largest : LeadingNumber(name);
        any = true;
    }
    if (!any) FUZZ_CHECK(next == 1);
    else if (largest < 0xFFFFFFFFu) FUZZ_CHECK(next == largest + 1);

    FirstLinkSettings settings;
    CopyInto(settings.phone, sizeof settings.phone, input.ConsumeRandomLengthString(60));
    SetProtocol(&settings, input.ConsumeBool() ? "B_X75" : input.ConsumeBool() ? "B_V110" : "X");
    CopyInto(settings.user, sizeof settings.user, input.ConsumeRandomLengthString(40));
    CopyInto(settings.password, sizeof settings.password, input.ConsumeRandomLengthString(40));
    const uint32_t seed = input.ConsumeIntegral<uint32_t>();

    char scrambled[kRecordSize / 4];
    FUZZ_CHECK(ScrambleText(settings.password, seed, scrambled, sizeof scrambled));
    for (const char* p = scrambled; *p; ++p) FUZZ_CHECK(*p >= '0' && *p <= 'o');
    FUZZ_CHECK(Unscramble(scrambled, seed) == settings.password);
    char tiny[4];
    if (!ScrambleText(settings.user, seed, tiny, sizeof tiny)) FUZZ_CHECK(tiny[0] == '\0');

    char record[kRecordSize];
    const uint32_t number = input.ConsumeIntegral<uint32_t>();
    FUZZ_CHECK(BuildLinkEntry(number, settings, record, sizeof record));
    FUZZ_CHECK(Fields(record) == 25 && strncmp(record, "Provider,1,", 11) == 0);
    FUZZ_CHECK(BuildDefaultRoute(number, record, sizeof record) && Fields(record) == 5);
    FUZZ_CHECK(BuildIsdnEntry(number, settings, record, sizeof record));
    if (IsStorablePhoneNumber(settings.phone)) FUZZ_CHECK(Fields(record) == 12);
    char small[16];
    if (!BuildIsdnEntry(number, settings, small, sizeof small)) FUZZ_CHECK(strlen(small) < sizeof small);
    return 0;
}
