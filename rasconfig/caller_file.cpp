#include "rasconfig/caller_file.h"

#include <cstring>

#include "common/files.h"
#include "common/handles.h"
#include "rasconfig/caller_list.h"

bool ReadCallerFile(const char* file, DWORD share, std::string* text) {
    text->clear();
    vrk::HeapBlock block;
    DWORD length = 0;
    if (!ReadWholeFile(file, share, &block, &length)) return false;
    const char* bytes = static_cast<const char*>(block.get());
    const void* nul = memchr(bytes, '\0', length);
    text->assign(bytes, nul ? static_cast<size_t>(static_cast<const char*>(nul) - bytes) : length);
    return true;
}

bool WriteCallerFile(const char* file, const std::vector<std::string>& entries, std::string* text) {
    *text = CallerFileText(entries);
    return ReplaceFileWhole(file, text->data(), static_cast<DWORD>(text->size())) != FALSE;
}
