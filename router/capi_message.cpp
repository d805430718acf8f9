#include "router/capi_message.h"

#include <cstring>

#include "common/digits.h"

namespace {

void PutWord(uint8_t* p, unsigned value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

unsigned WordAt(const uint8_t* p) { return p[0] | (static_cast<unsigned>(p[1]) << 8); }

// Total length 26, application 0, command 0x18 request, message number 1, then the controller
// and the fixed 2 of the parameter block.
void PutHeader(uint8_t controller, uint8_t* out) {
    PutWord(out, 26);
    PutWord(out + 2, 0);
    out[4] = kCapiParamsCommand;
    out[5] = kCapiRequest;
    PutWord(out + 6, 1);
    out[16] = controller;
    out[17] = 2;
}

}  // namespace

void BuildParamsQuery(uint8_t controller, uint8_t out[kCapiQuerySize]) {
    memset(out, 0, kCapiQuerySize);
    PutHeader(controller, out);
    PutWord(out + 24, 4);
}

void BuildParamsSet(uint8_t controller, uint16_t flags, uint8_t protocol, uint8_t out[kCapiSetSize]) {
    memset(out, 0, kCapiSetSize);
    PutHeader(controller, out);
    PutWord(out + 18, 4);
    PutWord(out + 22, flags);
    PutWord(out + 24, protocol);
}

bool AcceptConfirmation(const uint8_t* bytes, size_t length, uint32_t* protocol, uint32_t* flags) {
    if (!bytes || length != kCapiConfirmationSize || bytes[4] != kCapiParamsCommand || bytes[5] != kCapiConfirmation ||
        WordAt(bytes + 24) != 0)
        return false;
    if (protocol) *protocol = bytes[24];
    if (flags) *flags = WordAt(bytes + 22);
    return true;
}

uint32_t ParseCapiNumber(const char* text) {
    if (!text) return 0;
    while (*text == ' ' || *text == '\t') ++text;
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && DigitValue(text[2], 16) >= 0) {
        base = 16;
        text += 2;
    }
    uint32_t value = 0;
    for (int d; (d = DigitValue(*text, base)) >= 0; ++text) value = value * base + static_cast<uint32_t>(d);
    return value;
}
