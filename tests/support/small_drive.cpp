// Test support: the small drive and its filler.
#include "small_drive.h"

#include <vector>

#include "machine.h"

namespace testing_small_drive {

namespace {

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = dir + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path);
            RemoveDirectoryA(path.c_str());
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

}  // namespace

bool Available() {
    ULARGE_INTEGER free = {}, total = {};
    // The harness's drive is small; a drive T: of another size is none of ours.
    return GetDiskFreeSpaceExA((std::string(kDrive) + "\\").c_str(), &free, &total, nullptr) &&
           total.QuadPart <= 1024 * 1024;
}

std::string FreshFolder(const std::string& name) {
    RemoveTree(kDrive);
    const std::string dir = std::string(kDrive) + "\\" + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

Filler::Filler() : path_(std::string(kDrive) + "\\filler.bin") {
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::vector<char> block(4096, 'F');
    // Whole blocks first, then single bytes, until the drive takes no more.
    for (DWORD piece : {4096ul, 1ul}) {
        for (;;) {
            DWORD written = 0;
            const BOOL ok = WriteFile(file, block.data(), piece, &written, nullptr);
            bytes_ += written;
            if (!ok || written < piece) break;
        }
    }
    CloseHandle(file);
    const std::string probe = std::string(kDrive) + "\\probe.bin";
    full_ = !testing_machine::WriteFileBytes(probe, "x") || testing_machine::ReadFileBytes(probe) != "x";
    DeleteFileA(probe.c_str());
}

void Filler::Free() {
    if (!path_.empty()) DeleteFileA(path_.c_str());
    full_ = false;
}

}  // namespace testing_small_drive
