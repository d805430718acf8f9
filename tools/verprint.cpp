// verprint: prints one line with the versions, size and last-write time of a file, or the reason
// why the file cannot be inspected.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "tools/version_block.h"

namespace {

constexpr size_t kErrorTextSize = kFailureReasonSize;
constexpr size_t kErrorTextReserve = kFailureReasonReserve;

struct InspectionResult {
    SYSTEMTIME time = {};
    DWORD size = 0;
    DWORD fileVersion = 0;     // major in the high word, minor in the low word
    DWORD productVersion = 0;  // the same for the product version
    const char* name = "";
    char errorText[kErrorTextSize] = {};
};

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : handle_(h) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (valid()) {
            const DWORD error = GetLastError();
            CloseHandle(handle_);
            SetLastError(error);
        }
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The system's text for the last error, without its line break, or its number where the system has
// no text that fits.
void SetSystemMessage(char (&errorText)[kErrorTextSize]) {
    const DWORD error = GetLastError();
    char text[kErrorTextSize] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                        MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), text,
                                        static_cast<DWORD>(kErrorTextSize - kErrorTextReserve), nullptr);
    FailureReason(error, text, length, errorText);
}

void SetErrorText(char (&errorText)[kErrorTextSize], const char* text) {
    lstrcpynA(errorText, text, static_cast<int>(kErrorTextSize));
}

// Reads the most significant parts of the file and product versions from the version block.
void ReadFixedVersions(const char* path, DWORD blockSize, InspectionResult& result) {
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[blockSize]);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        SetSystemMessage(result.errorText);
        return;
    }
    if (!GetFileVersionInfoA(path, 0, blockSize, block.get())) {
        SetSystemMessage(result.errorText);
        return;
    }
    uint32_t fileVersion = 0, productVersion = 0;
    if (FindFixedVersions(block.get(), blockSize, &fileVersion, &productVersion)) {
        result.fileVersion = fileVersion;
        result.productVersion = productVersion;
        return;
    }
    SetErrorText(result.errorText, "not found version info block in file");
}

// NT 4.0 answers a file without a version resource with error code 0; later systems name the
// missing resource instead. Both mean the same to the user.
bool FileHasNoVersionResource(DWORD error) {
    return error == ERROR_SUCCESS || error == ERROR_RESOURCE_DATA_NOT_FOUND || error == ERROR_RESOURCE_TYPE_NOT_FOUND ||
           error == ERROR_RESOURCE_NAME_NOT_FOUND;
}

void InspectFile(const char* argument, char (&path)[MAX_PATH], InspectionResult& result) {
    const DWORD expanded = ExpandEnvironmentStringsA(argument, path, MAX_PATH);
    if (expanded == 0 || expanded > MAX_PATH) {
        // The expanded name does not fit a path: report it for what was given.
        path[0] = '\0';
        result.name = NameAfterLastBackslash(argument);
        if (expanded != 0) SetLastError(ERROR_FILENAME_EXCED_RANGE);
        SetSystemMessage(result.errorText);
        return;
    }
    result.name = NameAfterLastBackslash(path);

    {
        FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            SetSystemMessage(result.errorText);
            return;
        }
        result.errorText[0] = '\0';
        result.size = GetFileSize(file.get(), nullptr);

        FILETIME created, accessed, written;
        if (!GetFileTime(file.get(), &created, &accessed, &written) || !FileTimeToSystemTime(&written, &result.time)) {
            SetSystemMessage(result.errorText);
            return;
        }
    }

    DWORD unused = 0;
    SetLastError(ERROR_SUCCESS);
    const DWORD blockSize = GetFileVersionInfoSizeA(path, &unused);
    if (blockSize == 0) {
        if (!FileHasNoVersionResource(GetLastError()))
            SetSystemMessage(result.errorText);
        else
            SetErrorText(result.errorText, "file not contains a version info");
        return;
    }
    ReadFixedVersions(path, blockSize, result);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) {
        fputs("usage: verprint.exe <filename>\n", stderr);
        return 2;
    }

    char path[MAX_PATH] = {};
    InspectionResult result;
    InspectFile(argv[1], path, result);

    if (result.errorText[0] != '\0') {
        printf("%-15s %s\n", result.name, result.errorText);
        return 1;
    }
    printf("%-15s %4d.%-4d %4d.%-4d %-8u %2.2d.%2.2d.%2.2d %2.2d:%2.2d:%2.2d\n", result.name,
           HIWORD(result.productVersion), LOWORD(result.productVersion), HIWORD(result.fileVersion),
           LOWORD(result.fileVersion), static_cast<unsigned>(result.size), result.time.wDay, result.time.wMonth,
           result.time.wYear, result.time.wHour, result.time.wMinute, result.time.wSecond);
    return 0;
}
