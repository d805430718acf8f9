#include "rasconfig/caller_file.h"

#include <cstring>

#include "common/files.h"
#include "common/handles.h"
#include "rasconfig/caller_list.h"

bool ReadCallerFile(const char* file, DWORD share, std::string* text) {
    text->clear();
    vrk::FileHandle handle(
        CreateFileA(file, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) return false;
    DWORD high = 0;
    const DWORD size = GetFileSize(handle.get(), &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || size >= 0x7FFFFFF0u) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    vrk::HeapBlock block(HeapAlloc(GetProcessHeap(), 0, size + 1));
    if (!block.valid()) return false;
    char* bytes = static_cast<char*>(block.get());
    DWORD total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(handle.get(), bytes + total, size - total, &got, nullptr)) return false;
        if (got == 0) break;
        total += got;
    }
    bytes[total] = '\0';
    text->assign(bytes, strlen(bytes));
    return true;
}

bool WriteCallerFile(const char* file, const std::vector<std::string>& entries, std::string* text) {
    *text = CallerFileText(entries);
    return ReplaceFileWhole(file, text->data(), static_cast<DWORD>(text->size())) != FALSE;
}
