// The baselines: the same work done with the platform's bare calls, written the plain way, and the
// trees the benchmarks work on.
#pragma once

#include <windows.h>

namespace bench {

// 100 keys of 99 subkeys each below root (HKEY_LOCAL_MACHINE), 10,000 keys in all, with values of
// the kinds a settings tree holds: each key its unnamed value, a name and a number; every leaf also
// a multi-string.
void BuildRegTree(const char* root);
// Enumerate, recurse, delete: key with everything below it.
bool BareDeleteTree(HKEY parent, const char* key);
// Every key and value below source to target (made where it is missing), each value read with its
// name as it is enumerated.
bool BareCopyTree(HKEY root, const char* source, const char* target);

struct TreeCount {
    unsigned long keys = 0;    // below the root, the root not counted
    unsigned long values = 0;  // in the root and below it
};
TreeCount CountRegTree(HKEY root, const char* key);

// 50 folders of 999 empty files each below root: 50,000 entries.
constexpr unsigned long kFileTreeEntries = 50000;
void BuildFileTree(const char* root);
// Every entry below directory, depth first, with FindFirstFileA and FindNextFileA; their count.
unsigned long BareWalk(const char* directory);

}  // namespace bench
