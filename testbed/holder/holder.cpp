// A program that holds files open the way other programs on an administrator's machine do: one
// that shares nothing, a viewer that lets others only read, or one that follows a file another
// program writes (sharing it for reading and writing, but not for deletion). It opens every file
// named, writes "held" (or "not held" with the error) to the journal and waits until it is ended.
//
//   holder.exe none|read|readwrite <file> [<file> ...]
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "testbed/journal/journal.h"

int main(int argc, char** argv) {
    static const struct {
        const char* name;
        DWORD share;
    } kSharings[] = {{"none", 0}, {"read", FILE_SHARE_READ}, {"readwrite", FILE_SHARE_READ | FILE_SHARE_WRITE}};
    DWORD share = MAXDWORD;
    for (const auto& sharing : kSharings)
        if (argc >= 3 && strcmp(argv[1], sharing.name) == 0) share = sharing.share;
    if (share == MAXDWORD) {
        fputs("usage: holder.exe none|read|readwrite <file> [<file> ...]\n", stderr);
        return 2;
    }
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
