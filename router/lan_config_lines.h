// The texts of the LAN configuration: a list line per adapter and the router's controller list.
#pragma once

#include <cstddef>

// 16 adapter names of 127 characters with their NULs, and the list's own NUL.
constexpr size_t kLanControllerListSize = 16 * 128 + 1;
// "-->", two tabs and two texts of 127 characters.
constexpr size_t kLanLineSize = 3 + 1 + 127 + 1 + 127 + 1;

// "-->\t" for a router-owned adapter, "\t" otherwise, then the service name, "\t" and the description.
void FormatLanLine(bool routerOwned, const char* serviceName, const char* description, char* out, size_t size);

// Appends name with its NUL to the multi-string list (used bytes so far, without the list's final
// NUL) and keeps the list terminated; false, the list unchanged, when it would not fit.
bool AppendControllerName(char* list, size_t size, size_t* used, const char* name);
