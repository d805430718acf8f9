#include "common/files.h"

#include <cstring>

#include "common/ascii_case.h"
#include "common/bytestring.h"
#include "common/setup_log.h"

const char kMakerDirectory[] = "%SystemRoot%\\SYSTEM32\\VARNEK";

namespace {

// The attributes of the first entry matching directory joined with name; false when none.
bool FirstMatch(const char* directory, const char* name, DWORD* attributes) {
    char path[kPathSize];
    if (!JoinPath(directory, name, path)) return false;
    WIN32_FIND_DATAA found;
    vrk::FindHandle find(FindFirstFileA(path, &found));
    if (!find.valid()) return false;
    *attributes = found.dwFileAttributes;
    return true;
}

// dir and name joined with exactly one "\" between, bounded; dir is changed only on success.
bool AppendComponent(char* dir, size_t dirLength, const char* name) {
    const size_t nameLength = strlen(name);
    const bool separator = dirLength == 0 || dir[dirLength - 1] != '\\';
    if (dirLength + (separator ? 1 : 0) + nameLength >= kPathSize) return false;
    if (separator) dir[dirLength++] = '\\';
    memcpy(dir + dirLength, name, nameLength + 1);
    return true;
}

bool SameFileName(const char* a, size_t aLength, const char* b) { return EqualsIgnoringCase(a, aLength, b); }

bool WalkTree(char* dir, int count, const char* const* names, TreeMatchFilter accept, void* context) {
    const size_t length = strlen(dir);
    char mask[kPathSize];
    memcpy(mask, dir, length + 1);
    if (!AppendComponent(mask, length, "*.*")) return false;
    WIN32_FIND_DATAA entry;
    vrk::FindHandle find(FindFirstFileA(mask, &entry));
    if (!find.valid()) return false;
    int equal = 0;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (entry.cFileName[0] == '.') continue;
            if (!AppendComponent(dir, length, entry.cFileName)) continue;
            if (WalkTree(dir, count, names, accept, context)) return true;
            dir[length] = '\0';
        } else {
            const size_t entryLength = strlen(entry.cFileName);
            for (int i = 0; i < count; ++i)
                if (SameFileName(entry.cFileName, entryLength, names[i])) ++equal;
            if (equal >= count) {
                if (!accept || accept(dir, context)) return true;
                equal = 0;
            }
        }
    } while (FindNextFileA(find.get(), &entry));
    return false;
}

bool ProgramDirectory(char* out) {
    const DWORD n = GetModuleFileNameA(nullptr, out, kPathSize);
    if (n == 0 || n >= kPathSize) {
        out[0] = '\0';
        return false;
    }
    CutLastComponent(out);
    return true;
}

constexpr char kReplacementSuffix[] = ".new";

// Reads until capacity bytes are in or the file ends; false when a read fails, *total then what
// arrived before.
bool ReadInto(HANDLE file, char* block, DWORD capacity, DWORD* total) {
    *total = 0;
    while (*total < capacity) {
        DWORD got = 0;
        if (!ReadFile(file, block + *total, capacity - *total, &got, nullptr)) return false;
        if (got == 0) break;
        *total += got;
    }
    return true;
}

// ReplaceFileWhole for a path whose environment references are expanded already.
BOOL ReplaceExpanded(const char* target, const void* bytes, DWORD length) {
    char replacement[kPathSize];
    if (!ReplacementFileName(target, replacement, sizeof replacement)) return FALSE;
    // Nobody else may write the new file until it has been moved: a second writer of the same
    // target fails to open it instead of changing what the first one moves into place. Delete
    // sharing lets the move through while the file is open.
    vrk::FileHandle file(CreateFileA(replacement, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return FALSE;
    DWORD written = 0;
    bool ok = length == 0 || WriteFile(file.get(), bytes, length, &written, nullptr);
    // A full disk may take part of the bytes and call that a success.
    if (ok && written != length) {
        SetLastError(ERROR_DISK_FULL);
        ok = false;
    }
    ok = ok && FlushFileBuffers(file.get()) &&
         MoveFileExA(replacement, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    file.reset();
    if (ok) return TRUE;
    const DWORD error = GetLastError();
    DeleteFileA(replacement);
    SetLastError(error);
    return FALSE;
}

// The whole file at an expanded path; a file that does not exist is empty. FALSE when it exists but
// cannot be read.
bool ReadExisting(const char* path, vrk::HeapBlock* block, DWORD* length) {
    *length = 0;
    return ReadWholeFile(path, FILE_SHARE_READ | FILE_SHARE_WRITE, block, length) ||
           GetLastError() == ERROR_FILE_NOT_FOUND;
}

// listed: directory is one the tree search found, named as the drive names it and not expanded.
BOOL Found(const char* step, const char* name, const char* directory, char* out, bool listed = false) {
    if (listed) {
        const size_t length = strlen(directory);
        if (!CopyText(out, kPathSize, directory) || !AppendComponent(out, length, name)) return FALSE;
    } else if (!JoinPath(directory, name, out)) {
        return FALSE;
    }
    WriteSetupLog(kLogSourceSetup, kLogTrace, "SearchFilePath (%s) for %s: found %s", step, name, out);
    return TRUE;
}

}  // namespace

BOOL FileExists(const char* directory, const char* name) {
    DWORD attributes = 0;
    return FirstMatch(directory, name, &attributes) && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL DirectoryExists(const char* directory, const char* name) {
    DWORD attributes = 0;
    return FirstMatch(directory, name, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD GetFileSizeByName(const char* path) {
    char expanded[kPathSize];
    if (!JoinPath(path, nullptr, expanded)) return 0;
    vrk::FileHandle file(CreateFileA(expanded, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return 0;
    const DWORD size = GetFileSize(file.get(), nullptr);
    return size == INVALID_FILE_SIZE ? 0 : size;
}

BOOL FindInTree(char* directory, int count, const char* const* names, TreeMatchFilter accept, void* context) {
    if (!directory || count <= 0 || !names) return FALSE;
    char start[kPathSize];
    if (!CopyText(start, sizeof start, directory)) return FALSE;
    if (WalkTree(directory, count, names, accept, context)) return TRUE;
    memcpy(directory, start, strlen(start) + 1);
    return FALSE;
}

BOOL SearchFilePath(const char* name, char* out, const char* alternative) {
    out[0] = '\0';
    if (!name || !*name) return FALSE;
    if (alternative && FileExists(alternative, name) && Found("alter", name, alternative, out)) return TRUE;
    if (FileExists(kMakerDirectory, name) && Found("varnek", name, kMakerDirectory, out)) return TRUE;

    char program[kPathSize];
    const bool haveProgram = ProgramDirectory(program);
    if (haveProgram && FileExists(program, name) && Found("modul", name, program, out)) return TRUE;

    char tree[kPathSize] = "";
    if (haveProgram) {
        memcpy(tree, program, sizeof tree);
        CutLastComponent(tree);
        char found[kPathSize];
        memcpy(found, tree, sizeof found);
        if (FindInTree(found, 1, &name) && Found("high", name, found, out, true)) return TRUE;
    }

    char* filePart = nullptr;
    const DWORD n = SearchPathA(nullptr, name, nullptr, kPathSize, out, &filePart);
    if (n > 0 && n < kPathSize) {
        WriteSetupLog(kLogSourceSetup, kLogTrace, "SearchFilePath (path) for %s: found %s", name, out);
        return TRUE;
    }
    out[0] = '\0';

    if (haveProgram) {
        CutToDrive(tree);
        if (FindInTree(tree, 1, &name) && Found("drive", name, tree, out, true)) return TRUE;
    }
    out[0] = '\0';
    WriteSetupLog(kLogSourceSetup, kLogFailure, "SearchFilePath not found for %s", name);
    return FALSE;
}

FileBuffer::FileBuffer(const char* path, DWORD size, bool expand) {
    char expanded[kPathSize];
    if (!path || !(expand ? JoinPath(path, nullptr, expanded) : CopyText(expanded, sizeof expanded, path))) return;
    file_.reset(CreateFileA(expanded, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (!file_.valid()) return;
    if (size == 0) {
        size = GetFileSize(file_.get(), nullptr);
        if (size == INVALID_FILE_SIZE) size = 0;
    }
    if (size >= 0x7FFFFFF0u) return;
    block_.reset(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1));
    if (block_.valid()) capacity_ = size;
}

DWORD FileBuffer::read() {
    if (done_) return read_;
    done_ = true;
    if (!file_.valid() || !block_.valid()) return 0;
    char* block = static_cast<char*>(block_.get());
    DWORD total = 0;
    // What arrived before a failed read is kept.
    ReadInto(file_.get(), block, capacity_, &total);
    block[total] = '\0';
    read_ = total;
    return read_;
}

const char* FileBuffer::data() const { return block_.valid() ? static_cast<const char*>(block_.get()) : ""; }

BOOL FindFileWithHeader(const char* directory, const char* prefix, const char* text, char* out) {
    out[0] = '\0';
    char pattern[kPathSize], mask[kPathSize];
    if (!prefix) prefix = "";
    const size_t prefixLength = strlen(prefix);
    if (prefixLength + 4 >= sizeof pattern) return FALSE;
    memcpy(pattern, prefix, prefixLength);
    memcpy(pattern + prefixLength, "*.*", 4);
    if (!JoinPath(directory, pattern, mask)) return FALSE;
    char folder[kPathSize];
    memcpy(folder, mask, sizeof folder);
    CutLastComponent(folder);
    const size_t folderLength = strlen(folder);

    WIN32_FIND_DATAA entry;
    vrk::FindHandle find(FindFirstFileA(mask, &entry));
    if (!find.valid()) return FALSE;
    char path[kPathSize];
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        memcpy(path, folder, folderLength + 1);
        if (!AppendComponent(path, folderLength, entry.cFileName)) continue;
        FileBuffer header(path, 1024, false);
        const DWORD n = header.read();
        if (n > 0 && FindBounded(header.data(), n, text)) {
            memcpy(out, path, strlen(path) + 1);
            return TRUE;
        }
    } while (FindNextFileA(find.get(), &entry));
    return FALSE;
}

DWORD ReadIniSection(const char* section, char* buffer, DWORD size, const char* file) {
    char expanded[kPathSize];
    if (!JoinPath(file, nullptr, expanded)) {
        if (size >= 2) buffer[0] = buffer[1] = '\0';
        return 0;
    }
    return GetPrivateProfileSectionA(section, buffer, size, expanded);
}

BOOL CanMoveFile(const char* path) {
    vrk::FileHandle file(CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

BOOL ReadWholeFile(const char* path, DWORD share, vrk::HeapBlock* block, DWORD* length) {
    *length = 0;
    vrk::FileHandle file(
        CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return FALSE;
    DWORD high = 0;
    const DWORD size = GetFileSize(file.get(), &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || size >= 0x7FFFFF00u) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return FALSE;
    }
    block->reset(HeapAlloc(GetProcessHeap(), 0, size + 1));
    if (!block->valid()) return FALSE;
    char* bytes = static_cast<char*>(block->get());
    DWORD total = 0;
    if (!ReadInto(file.get(), bytes, size, &total)) return FALSE;
    bytes[total] = '\0';
    *length = total;
    return TRUE;
}

BOOL ReplacementFileName(const char* path, char* out, DWORD size) {
    const size_t length = path ? strlen(path) : 0;
    if (!path || length + sizeof kReplacementSuffix > size) {
        if (size) out[0] = '\0';
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    memcpy(out, path, length);
    memcpy(out + length, kReplacementSuffix, sizeof kReplacementSuffix);
    return TRUE;
}

BOOL ReplaceFileWhole(const char* path, const void* bytes, DWORD length) {
    char target[kPathSize];
    if (!path || !JoinPath(path, nullptr, target)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    return ReplaceExpanded(target, bytes, length);
}

BOOL AppendLineToFile(const char* file, const char* line) {
    char expanded[kPathSize];
    if (!JoinPath(file, nullptr, expanded)) return FALSE;
    vrk::HeapBlock old;
    DWORD oldLength = 0;
    if (!ReadExisting(expanded, &old, &oldLength)) return FALSE;
    const char* oldBytes = static_cast<const char*>(old.get());
    const bool lineBreakFirst = oldLength > 0 && oldBytes[oldLength - 1] != '\n' && oldBytes[oldLength - 1] != '\r';
    const size_t lineLength = strlen(line);
    if (lineLength > 0x7FFFFF00u - oldLength) return FALSE;
    vrk::HeapBlock block(HeapAlloc(GetProcessHeap(), 0, oldLength + lineLength + 4));
    if (!block.valid()) return FALSE;
    char* bytes = static_cast<char*>(block.get());
    size_t n = oldLength;
    if (oldLength) memcpy(bytes, oldBytes, oldLength);
    if (lineBreakFirst) {
        bytes[n++] = '\r';
        bytes[n++] = '\n';
    }
    memcpy(bytes + n, line, lineLength);
    n += lineLength;
    bytes[n++] = '\r';
    bytes[n++] = '\n';
    return ReplaceExpanded(expanded, bytes, static_cast<DWORD>(n));
}
