// Reading the values of an answer file: numbers, yes/no answers, lists and the keys a section
// may hold. No Windows header, so that the fuzz target builds it natively.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// A decimal number with an optional sign, or a hexadecimal one after "0x" (either case), with
// blanks and tabs around it and nothing else, from minimum to maximum. *value changes only on success.
bool ParseAnswerNumber(const std::string& text, long minimum, long maximum, long* value);

// yes/no, 1/0, true/false in any ASCII letter case, blanks and tabs around allowed. *yes changes
// only on success.
bool ParseAnswerYesNo(const std::string& text, bool* yes);

// The items of a comma-separated list, blanks and tabs around each item cut off, empty items dropped.
std::vector<std::string> SplitAnswerList(const std::string& text);

// The keys that are none of known, compared without regard to ASCII letter case, in their order.
std::vector<std::string> UnknownAnswerKeys(const std::vector<std::string>& keys,
                                           std::initializer_list<const char*> known);
