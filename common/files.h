// File location and deferred file operations: finding the package's files, and deleting
// and moving files that may be in use, with removal at the next system start as the fallback.
#pragma once

#include <windows.h>

#include "common/handles.h"
#include "common/paths.h"

// Home of the package's own files; relative names of delete and move operations are taken there.
extern const char kMakerDirectory[];
// Deferred removal below build 1381: a text file of full paths, one a line.
extern const char kDeleteListFile[];
// Deferred removal from build 1381 on: pairs (source, target) of a REG_MULTI_SZ value.
extern const char kPendingFileRenameOperations[];
constexpr DWORD kFirstPendingRenameBuild = 1381;
// AddPendingDelete's read buffer; a larger value is read whole all the same.
constexpr DWORD kPendingReadSize = 65536;

// The first entry matching directory joined with name (wildcards allowed) is a file, or a directory.
BOOL FileExists(const char* directory, const char* name);
BOOL DirectoryExists(const char* directory, const char* name);
// Low 32 bits of the file's size, 0 when it cannot be opened for reading.
DWORD GetFileSizeByName(const char* path);

// Finds name in the fixed order of places (alternative directory, maker's directory, program
// directory, the tree below its parent, the platform's search, the whole drive) and logs the hit.
// out (kPathSize bytes) receives the path, or the empty text when the file is nowhere.
BOOL SearchFilePath(const char* name, char* out, const char* alternative = nullptr);
// Depth-first search of the tree at directory (kPathSize bytes, in and out) for a directory holding
// count of names; on success directory names it, otherwise it is as it was. With accept, a
// directory it refuses does not end the search.
using TreeMatchFilter = bool (*)(const char* directory, void* context);
BOOL FindInTree(char* directory, int count, const char* const* names, TreeMatchFilter accept = nullptr,
                void* context = nullptr);
// The first file matching directory\prefix*.* whose first 1024 bytes hold text; out its full path.
BOOL FindFileWithHeader(const char* directory, const char* prefix, const char* text, char* out);
// key=value lines of section as NUL-separated strings; the number of bytes read.
DWORD ReadIniSection(const char* section, char* buffer, DWORD size, const char* file);
// Appends line and CR LF, inserting CR LF first when the file ended without a line break. The file
// is replaced whole (ReplaceFileWhole): it gains the whole line or stays as it was.
BOOL AppendLineToFile(const char* file, const char* line);

// Replaces the file at path (environment references expanded) by length bytes: they are written to
// a file beside it, flushed to the disk and moved over it in one step, so that the file holds
// either all of them or what it held before, also when the disk is full or the process dies on the
// way. FALSE, with the file as it was and the file beside it gone, when a step fails; the last
// error says why.
BOOL ReplaceFileWhole(const char* path, const void* bytes, DWORD length);
// The whole file (an expanded path), opened for reading with the given sharing, into a heap block
// one byte longer than its length bytes; FALSE when it cannot be opened or read, the last error
// saying why (ERROR_FILE_NOT_FOUND: there is no such file).
BOOL ReadWholeFile(const char* path, DWORD share, vrk::HeapBlock* block, DWORD* length);
// The name of the file ReplaceFileWhole writes first: path with ".new" behind it.
BOOL ReplacementFileName(const char* path, char* out, DWORD size);

// Adds the pair "\??\path" / "" to PendingFileRenameOperations unless the source is there already.
BOOL AddPendingDelete(const char* path);
// Hands path to the operating system for removal at its next start (DELETE.LST below build 1381).
BOOL ScheduleDeleteAtBoot(const char* path);

// Deletes one file or empty directory now, or schedules it when that fails or deferred is set.
void DeleteOneFile(const char* directory, const char* name, BOOL deferred);
// DeleteOneFile for a plain name, or for every entry matching the mask.
void DeleteMatching(const char* directory, const char* nameOrMask, BOOL deferred);
// A text without ":" is taken in the maker's directory; otherwise the whole text is the mask.
void DeleteFiles(const char* pathOrName, BOOL deferred);

// Whether nobody holds the file in a way that keeps it from being moved or replaced now (a viewer
// that shares it for reading only does, as does a program that shares nothing); FALSE with the
// last error saying why.
BOOL CanMoveFile(const char* path);

// Renames source to target, replacing a target file; TRUE when moved. A source that cannot be moved
// leaves the target alone.
BOOL MoveOneFile(const char* sourceDirectory, const char* sourceName, const char* targetDirectory,
                 const char* targetName);
// MoveOneFile for a plain name, or for every entry of a mask in the file part under its own name.
void MoveFiles(const char* sourceDirectory, const char* sourceNameOrMask, const char* targetDirectory,
               const char* targetName);
void MoveFileInMakerDir(const char* sourceName, const char* targetName);

// A file opened for reading with a block of a fixed size (the file's size when size is 0). A path
// made of names from a directory listing is opened as it is (expand false), never expanded again.
class FileBuffer {
public:
    FileBuffer(const char* path, DWORD size, bool expand = true);
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;
    // Fills the block once; the number of bytes read, 0 when the file cannot be opened.
    DWORD read();
    // The block, a NUL behind the bytes read; the empty text when there is none.
    const char* data() const;
    DWORD size() const { return read_; }

private:
    vrk::FileHandle file_;
    vrk::HeapBlock block_;
    DWORD capacity_ = 0;
    DWORD read_ = 0;
    bool done_ = false;
};
