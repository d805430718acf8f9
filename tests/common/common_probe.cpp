// Runs one common-library operation in a process of its own, for tests that need a fresh process,
// another Windows version, or a file held open by somebody else.
//
//   common_probe hold <path>                  opens path shared for reading only and waits
//   common_probe build                        prints the build number the program sees
//   common_probe log-level                    LogLevel before and after OpenSetupLog
//   common_probe delete <directory> <name>    DeleteOneFile with the setup log open
//   common_probe schedule <path>              ScheduleDeleteAtBoot
//   common_probe search <name> [alternative]  SearchFilePath with the setup log open
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/files.h"
#include "common/setup_log.h"

namespace {

const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";

int Hold(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    Sleep(INFINITE);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const char* command = argv[1];
    if (strcmp(command, "hold") == 0 && argc == 3) return Hold(argv[2]);
    if (strcmp(command, "build") == 0) {
        printf("%u\n", static_cast<unsigned>(HIWORD(GetVersion()) & 0x7FFF));
        return 0;
    }
    if (strcmp(command, "log-level") == 0) {
        const DWORD before = LogLevel;
        const BOOL opened = OpenSetupLog(kSetupKey, "LogName", "LogLevel");
        printf("before=%lu opened=%d after=%lu\n", before, opened ? 1 : 0, LogLevel);
        CloseSetupLog();
        return 0;
    }
    OpenSetupLog(kSetupKey, "LogName", "LogLevel");
    int rc = 2;
    if (strcmp(command, "delete") == 0 && argc == 4) {
        DeleteOneFile(argv[2], argv[3], FALSE);
        rc = 0;
    } else if (strcmp(command, "schedule") == 0 && argc == 3) {
        rc = ScheduleDeleteAtBoot(argv[2]) ? 0 : 1;
    } else if (strcmp(command, "search") == 0 && (argc == 3 || argc == 4)) {
        char found[kPathSize];
        const BOOL ok = SearchFilePath(argv[2], found, argc == 4 ? argv[3] : nullptr);
        printf("%s\n", found);
        rc = ok ? 0 : 1;
    }
    CloseSetupLog();
    return rc;
}
