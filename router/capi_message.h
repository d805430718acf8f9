// The parameter messages (command 0x18) exchanged with a card's CAPI driver, and the numbers
// that the CAPI operations take as text. No platform headers.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kCapiQuerySize = 30;         // bytes of a query as written (its length word says 26)
constexpr size_t kCapiSetSize = 26;           // bytes of a set request as written
constexpr size_t kCapiAnswerSize = 180;       // the buffer the confirmation is read into
constexpr size_t kCapiConfirmationSize = 30;  // the only confirmation length accepted

constexpr uint8_t kCapiParamsCommand = 0x18;
constexpr uint8_t kCapiRequest = 0x00;
constexpr uint8_t kCapiConfirmation = 0x01;

void BuildParamsQuery(uint8_t controller, uint8_t out[kCapiQuerySize]);
void BuildParamsSet(uint8_t controller, uint16_t flags, uint8_t protocol, uint8_t out[kCapiSetSize]);

// A confirmation is accepted when exactly 30 bytes came, command 0x18, subcommand 0x01 and the
// status word at offset 24 is 0; the protocol is that word's low byte, the flags the word at 22.
bool AcceptConfirmation(const uint8_t* bytes, size_t length, uint32_t* protocol, uint32_t* flags);

// An unsigned number as the CAPI operations take it: decimal, or hexadecimal after 0x; reading
// stops at the first character that is no digit; text that starts with none gives 0.
uint32_t ParseCapiNumber(const char* text);
