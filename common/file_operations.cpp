#include <cstdio>
#include <cstring>

#include "common/ascii_case.h"
#include "common/files.h"
#include "common/multistring.h"
#include "common/registry.h"
#include "common/setup_log.h"

const char kDeleteListFile[] = "%SystemRoot%\\DELETE.LST";
const char kPendingFileRenameOperations[] =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\PendingFileRenameOperations";

namespace {

// The names matching mask, "." and ".." left out: a snapshot, so that deleting and renaming
// entries cannot disturb the enumeration.
void MatchingNames(const char* mask, MultiStringList* names) {
    WIN32_FIND_DATAA entry;
    vrk::FindHandle find(FindFirstFileA(mask, &entry));
    if (!find.valid()) return;
    do {
        if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0) continue;
        names->append(entry.cFileName);
    } while (FindNextFileA(find.get(), &entry));
}

DWORD BuildNumber() { return HIWORD(GetVersion()) & 0x7FFF; }

}  // namespace

BOOL AddPendingDelete(const char* path) {
    char entry[4 + kPathSize];
    const int entryLength = snprintf(entry, sizeof entry, "\\??\\%s", path);
    if (entryLength < 0 || static_cast<size_t>(entryLength) >= sizeof entry) return FALSE;

    DWORD type = REG_NONE, size = 0;
    const bool present = QueryRegValue(kPendingFileRenameOperations, &type, &size);
    // Only a list can take the pair; another type is left as it is rather than overwritten.
    if (present && type != REG_MULTI_SZ) return FALSE;
    // A value larger than the usual buffer is read whole all the same: cutting it would lose the
    // removals already scheduled. Room behind the data: the new pair, its NULs, and the read's own.
    DWORD capacity = kPendingReadSize;
    const unsigned long long needed = static_cast<unsigned long long>(size) + entryLength + 8;
    if (needed > 0x7FFFFFF0ull) return FALSE;
    if (needed > capacity) capacity = static_cast<DWORD>(needed);
    vrk::HeapBlock block(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, capacity));
    if (!block.valid()) return FALSE;
    char* list = static_cast<char*>(block.get());
    DWORD n = 0;
    if (present && size > 0) {
        // Room for a pair that is still missing: the value may have grown since it was measured.
        n = ReadRegMultiString(kPendingFileRenameOperations, list, capacity - entryLength - 6);
        if (n == 0) return FALSE;
    }

    // Every pair up to the last string: an empty source inside the value ends nothing.
    char* const end = list + MultiStringContentSize(list, n);
    char* p = list;
    bool targetMissing = false;
    while (p < end) {
        if (EqualsIgnoringCase(p, entry)) return TRUE;
        p += strlen(p) + 1;
        if (p >= end) {
            targetMissing = true;
            break;
        }
        p += strlen(p) + 1;
    }
    // A last string without its NUL ends at the one the read put behind the data, and p already
    // stands past it: that terminator stays, so the string keeps its own text and its place.
    // A source whose target was lost gets an empty target first.
    if (targetMissing) *p++ = '\0';
    memcpy(p, entry, static_cast<size_t>(entryLength) + 1);
    p += entryLength + 1;
    *p++ = '\0';
    *p++ = '\0';
    return WriteRegMultiString(kPendingFileRenameOperations, list, kRegClose, static_cast<DWORD>(p - list));
}

BOOL ScheduleDeleteAtBoot(const char* path) {
    if (BuildNumber() < kFirstPendingRenameBuild) return AppendLineToFile(kDeleteListFile, path);
    return AddPendingDelete(path);
}

namespace {

// path joined once already: a name from a directory listing is taken as it is, never expanded.
void DeleteOnePath(const char* path, BOOL deferred) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        WriteSetupLog(kLogSourceSetup, kLogTrace, "DeleteOneFile : File or directory not found %s", path);
        return;
    }
    const bool isDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (deferred) {
        if (!ScheduleDeleteAtBoot(path))
            WriteSetupLog(kLogSourceSetup, kLogFailure, "DeleteOneFile : can not add to the dellist %s", path);
        return;
    }
    if (!isDirectory ? DeleteFileA(path) : RemoveDirectoryA(path)) return;
    // The line says whether the removal really waits for the next start: one that could not be
    // scheduled either stays undone, and that is a failure.
    const char* what = isDirectory ? "DeleteOneDirectory : dir" : "DeleteOneFile : file";
    if (ScheduleDeleteAtBoot(path))
        WriteSetupLog(kLogSourceSetup, kLogTrace, "%s can not delete now; add to the dellist %s", what, path);
    else
        WriteSetupLog(kLogSourceSetup, kLogFailure, "%s can not delete now; can not add to the dellist %s", what,
                      path);
}

// folder and a listed name as one path, the name unchanged; false when it does not fit.
bool ListedPath(const char* folder, const char* name, char* out) {
    const int n = folder ? snprintf(out, kPathSize, "%s\\%s", folder, name) : snprintf(out, kPathSize, "%s", name);
    return n > 0 && static_cast<DWORD>(n) < kPathSize;
}

}  // namespace

void DeleteOneFile(const char* directory, const char* name, BOOL deferred) {
    char path[kPathSize];
    if (!JoinPath(directory, name, path)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "DeleteOneFile : path too long %s\\%s", directory ? directory : "",
                      name ? name : "");
        return;
    }
    DeleteOnePath(path, deferred);
}

void DeleteMatching(const char* directory, const char* nameOrMask, BOOL deferred) {
    if (nameOrMask && !HasWildcard(nameOrMask)) {
        DeleteOneFile(directory, nameOrMask, deferred);
        return;
    }
    char mask[kPathSize];
    if (!JoinPath(directory, nameOrMask, mask)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Delete files; mask too long %s", directory ? directory : "");
        return;
    }
    WriteSetupLog(kLogSourceSetup, kLogTrace, "Delete files; check mask %s", mask);
    MultiStringList names;
    MatchingNames(mask, &names);
    char folder[kPathSize];
    memcpy(folder, mask, sizeof folder);
    const bool hasFolder = strchr(folder, '\\') != nullptr;
    CutLastComponent(folder);
    char path[kPathSize];
    for (const char* name; (name = names.next()) != nullptr;) {
        if (ListedPath(hasFolder ? folder : nullptr, name, path))
            DeleteOnePath(path, deferred);
        else
            WriteSetupLog(kLogSourceSetup, kLogFailure, "DeleteOneFile : path too long %s\\%s", folder, name);
    }
}

void DeleteFiles(const char* pathOrName, BOOL deferred) {
    char text[kPathSize];
    if (!pathOrName || !CopyText(text, sizeof text, pathOrName) || !ExpandInPlace(text, sizeof text)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Delete files; path too long %s", pathOrName ? pathOrName : "");
        return;
    }
    if (!strchr(text, ':'))
        DeleteMatching(kMakerDirectory, text, deferred);
    else
        DeleteMatching(text, nullptr, deferred);
}

namespace {

// Both paths joined once already: a name from a directory listing is taken as it is.
BOOL MoveOnePath(const char* source, const char* target) {
    // The move lists run at every update: when the old file is gone, the current one under the
    // target name must stay, so nothing is deleted before the source is known to be there.
    if (GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Move file did not successful (%s --> %s); error %ld", source,
                      target, static_cast<long>(ERROR_FILE_NOT_FOUND));
        return FALSE;
    }
    // A file moved onto itself (a mask's match under its own name in the same folder) stays: deleting
    // the target first would delete the source. Unlike the names the tool set compares, this asks
    // whether two paths are one file, so the locale's letters count too: the file system also takes
    // a path with an umlaut in other case for the same file, and mistaking one file for two loses it.
    char sourceFull[kPathSize], targetFull[kPathSize];
    const DWORD sourceLength = GetFullPathNameA(source, sizeof sourceFull, sourceFull, nullptr);
    const DWORD targetLength = GetFullPathNameA(target, sizeof targetFull, targetFull, nullptr);
    if (sourceLength > 0 && sourceLength < sizeof sourceFull && targetLength > 0 && targetLength < sizeof targetFull &&
        lstrcmpiA(sourceFull, targetFull) == 0)
        return TRUE;
    // The target goes only once the source can take its place: a held source would leave neither.
    if (!CanMoveFile(source)) {
        const long error = static_cast<long>(GetLastError());
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Move file did not successful (%s --> %s); error %ld", source,
                      target, error);
        return FALSE;
    }
    const DWORD targetAttributes = GetFileAttributesA(target);
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && !(targetAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !DeleteFileA(target)) {
        const long error = static_cast<long>(GetLastError());
        WriteSetupLog(kLogSourceSetup, kLogFailure,
                      "in Move file delete file did not successful (%s --> %s); error %ld", source, target, error);
        return FALSE;
    }
    if (MoveFileA(source, target)) {
        WriteSetupLog(kLogSourceSetup, kLogTrace, "Move File from %s to %s", source, target);
        return TRUE;
    }
    const long error = static_cast<long>(GetLastError());
    WriteSetupLog(kLogSourceSetup, kLogFailure, "Move file did not successful (%s --> %s); error %ld", source, target,
                  error);
    return FALSE;
}

}  // namespace

BOOL MoveOneFile(const char* sourceDirectory, const char* sourceName, const char* targetDirectory,
                 const char* targetName) {
    char source[kPathSize], target[kPathSize];
    if (!JoinPath(sourceDirectory, sourceName, source) || !JoinPath(targetDirectory, targetName, target)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not move file %s", sourceName ? sourceName : "");
        return FALSE;
    }
    return MoveOnePath(source, target);
}

void MoveFiles(const char* sourceDirectory, const char* sourceNameOrMask, const char* targetDirectory,
               const char* targetName) {
    char mask[kPathSize];
    if (!JoinPath(sourceDirectory, sourceNameOrMask, mask)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not move file %s", sourceNameOrMask ? sourceNameOrMask : "");
        return;
    }
    char folder[kPathSize];
    memcpy(folder, mask, sizeof folder);
    char* slash = strrchr(folder, '\\');
    if (!slash) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not move file %s", mask);
        return;
    }
    *slash = '\0';
    const char* filePart = slash + 1;
    if (HasWildcard(folder)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not move file because path contains jokers (%s)", folder);
        return;
    }
    if (!HasWildcard(filePart)) {
        MoveOneFile(folder, filePart, targetDirectory, targetName);
        return;
    }
    WriteSetupLog(kLogSourceSetup, kLogTrace, "Move files; check mask %s", mask);
    char targetFolder[kPathSize];
    if (!JoinPath(targetDirectory, nullptr, targetFolder)) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not move file %s", mask);
        return;
    }
    MultiStringList names;
    MatchingNames(mask, &names);
    char source[kPathSize], target[kPathSize];
    for (const char* name; (name = names.next()) != nullptr;) {
        if (ListedPath(folder, name, source) && ListedPath(targetFolder, name, target))
            MoveOnePath(source, target);
        else
            WriteSetupLog(kLogSourceSetup, kLogFailure, "Can not move file %s", name);
    }
}

void MoveFileInMakerDir(const char* sourceName, const char* targetName) {
    MoveFiles(kMakerDirectory, sourceName, kMakerDirectory, targetName);
}
