// The keyboard filters of the IP/IPX fields: which typed character an edit control takes.
#pragma once

#include <cstddef>

constexpr size_t kIpxFieldLength = 8;

// The IPX field takes backspace always, and a hexadecimal digit when the field, the digit in place
// of the selection, holds at most eight characters.
bool IpxFieldAcceptsKey(const char* text, size_t selectionStart, size_t selectionEnd, char key);

// text is the beginning of a dotted address: at most four groups of digits, each at most 255, no
// group starting with "." and no fourth dot.
bool IsDottedAddressBeginning(const char* text);

// The address and mask fields take backspace always, and a digit or "." when the text with the key
// in place of the selection is still the beginning of a dotted address and the insertion point lies
// within the first 16 characters.
bool AddressFieldAcceptsKey(const char* text, size_t selectionStart, size_t selectionEnd, char key);
