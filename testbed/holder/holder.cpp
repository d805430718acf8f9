// A program that holds files open the way other programs on an administrator's machine do: one
// that shares nothing, or a viewer that lets others read. It opens every file named, writes
// "held" (or "not held" with the error) to the journal and waits until it is ended.
//
//   holder.exe none|read <file> [<file> ...]
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "testbed/journal/journal.h"

int main(int argc, char** argv) {
    if (argc < 3 || (strcmp(argv[1], "none") != 0 && strcmp(argv[1], "read") != 0)) {
        fputs("usage: holder.exe none|read <file> [<file> ...]\n", stderr);
        return 2;
    }
    const DWORD share = strcmp(argv[1], "read") == 0 ? FILE_SHARE_READ : 0;
    for (int i = 2; i < argc; ++i) {
        // The handles stay open until the process ends.
        HANDLE file = CreateFileA(argv[i], GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            char detail[MAX_PATH + 32];
            snprintf(detail, sizeof detail, "%s error %lu", argv[i], static_cast<unsigned long>(GetLastError()));
            JournalAppend("holder", "not held", detail);
            return 1;
        }
    }
    JournalAppend("holder", "held", argv[1]);
    Sleep(INFINITE);
    return 0;
}
