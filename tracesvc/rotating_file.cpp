// RotatingFile: start, open, rotate, chunk writes with LF to CR LF, name changes and the final close.
#include "tracesvc/rotating_file.h"

#include <cstdio>
#include <cstring>

#include "common/ascii_case.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/setup_log.h"
#include "tracesvc/diag_log.h"
#include "tracesvc/stream_events.h"

namespace {

class Guard {
public:
    explicit Guard(CRITICAL_SECTION* lock) : lock_(lock) { EnterCriticalSection(lock_); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    ~Guard() { LeaveCriticalSection(lock_); }

private:
    CRITICAL_SECTION* lock_;
};

bool IsFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

BOOL BackupFileName(const char* name, DWORD k, char* out, DWORD size) {
    if (k == 0) return CopyText(out, size, name);
    // Only a '.' of the last component starts an extension: one in a folder name would send the
    // backups into a folder that does not exist.
    const char* dot = FindExtension(name);
    int n;
    if (dot)
        n = snprintf(out, size, "%.*s%lu.%s", static_cast<int>(dot - name), name, static_cast<unsigned long>(k),
                     dot + 1);
    else
        n = snprintf(out, size, "%s%lu", name, static_cast<unsigned long>(k));
    if (n < 0 || static_cast<DWORD>(n) >= size) {
        if (size) out[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

RotatingFile::RotatingFile() { InitializeCriticalSection(&lock_); }

RotatingFile::~RotatingFile() { DeleteCriticalSection(&lock_); }

void RotatingFile::Start(StreamKind kind, StreamReader reader) {
    Guard guard(&lock_);
    file_.reset();
    closed_ = false;
    closing_ = false;
    rotationPending_ = false;
    failing_ = false;
    lost_ = 0;
    ReadStreamFileName(kind, name_);
    count_ = ReadStreamFileCount(kind);
    const DWORD sizeKiB = ReadStreamFileSizeKiB(kind);
    limit_ = SizeLimitBytes(sizeKiB);
    poll_ = ReadPollInterval();
    reader_ = reader;
    append_ = kind == StreamKind::Log;
    TraceLog(kLogTrace, "%s : Filename=%s;Filecount=%d;Filesize=%d;Timeout=%d;append=%d",
             kind == StreamKind::Log ? "Loggingdatas" : "Tracingdatas", name_, static_cast<int>(count_.load()),
             static_cast<int>(limit_.load()), static_cast<int>(poll_), append_ ? 1 : 0);
    OpenLocked();
}

void RotatingFile::Open() {
    Guard guard(&lock_);
    if (!closed_) OpenLocked();
}

bool RotatingFile::Rotate() {
    Guard guard(&lock_);
    return RotateLocked();
}

void RotatingFile::Write(const char* bytes, DWORD length) {
    Guard guard(&lock_);
    WriteLocked(bytes, length);
}

void RotatingFile::Drain(char* buffer, DWORD size) {
    while (!closing_) {
        // The fetch happens under the lock: a close waits for the chunk in hand to be written.
        Guard guard(&lock_);
        if (closed_) return;
        const DWORD n = Fetch(buffer, size);
        if (n == 0) return;
        WriteLocked(buffer, n);
    }
}

bool RotatingFile::ChangeName(const char* name) {
    Guard guard(&lock_);
    if (closed_ || EqualsIgnoringCase(name, name_)) return false;
    CopyText(name_, sizeof name_, name);
    rotationPending_ = false;
    OpenLocked();
    return true;
}

void RotatingFile::SetLimits(DWORD count, DWORD limitBytes) {
    count_ = count;
    limit_ = limitBytes;
}

void RotatingFile::Close() {
    // A drain between two chunks sees this before it takes the lock again.
    closing_ = true;
    Guard guard(&lock_);
    file_.reset();
    closed_ = true;
}

DWORD RotatingFile::Fetch(char* buffer, DWORD size) const { return reader_ ? reader_(buffer, size) : 0; }

DWORD RotatingFile::Position() {
    Guard guard(&lock_);
    return position_;
}

bool RotatingFile::IsOpen() {
    Guard guard(&lock_);
    return file_.valid();
}

void RotatingFile::OpenLocked() {
    file_.reset();
    if (append_) {
        OpenFileLocked(true);
        return;
    }
    // Emptying a file that could not be moved aside would throw its text away: it is continued
    // instead, and the rotation is tried again with the next chunk.
    rotationPending_ = !RotateLocked();
    OpenFileLocked(rotationPending_);
}

bool RotatingFile::OpenFileLocked(bool appending) {
    file_.reset(CreateFileA(name_, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            appending ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    position_ = 0;
    if (!file_.valid()) {
        const DWORD error = GetLastError();
        // A file that stays unavailable is tried before every chunk: its line is written once.
        if (!failing_ || error != failure_) TraceLog(kLogTrace, "Open Error %d", static_cast<int>(error));
        FailedLocked(error, 0);
        return false;
    }
    if (appending) {
        // Something that opens like a file but has no size counts as empty, not as 4 GiB full.
        const DWORD size = GetFileSize(file_.get(), nullptr);
        position_ = size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR ? 0 : size;
        SetFilePointer(file_.get(), 0, nullptr, FILE_END);
    }
    TraceLog(kLogTrace, "Openfile %s; Filehandle=%X; Posit=%d; append=%d", name_,
             static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(file_.get())), static_cast<int>(position_),
             appending ? 1 : 0);
    return true;
}

bool RotatingFile::RotateLocked() {
    // Backups of an empty name would be files "1", "2", ... of whatever the current folder is.
    const DWORD count = count_;
    if (name_[0] == '\0' || count == 0 || !IsFile(name_)) return true;
    char names[2][kPathSize];
    // The shift ends at the first backup that is not there: nothing above it has to move.
    DWORD top = 1;
    for (; top < count; ++top)
        if (!BackupFileName(name_, top, names[0], kPathSize) || !IsFile(names[0])) break;

    // Every file that moves, and the oldest backup that is replaced, must be free to move before
    // anything moves: a move that fails halfway would leave the files shifted with a gap.
    for (DWORD k = 0; k <= top; ++k) {
        if (!BackupFileName(name_, k, names[0], kPathSize)) return false;
        if (k == top && !IsFile(names[0])) break;
        if (!CanMoveFile(names[0])) {
            if (!rotationPending_)
                TraceLog(kLogTrace, "Movefile of %s not possible now, error %d; no file is moved", names[0],
                         static_cast<int>(GetLastError()));
            return false;
        }
    }
    for (DWORD k = top; k >= 1; --k) {
        char* const older = names[0];
        char* const newer = names[1];
        if (!BackupFileName(name_, k, older, kPathSize) || !BackupFileName(name_, k - 1, newer, kPathSize))
            return false;
        TraceLog(kLogTrace, "Movefile from %s to %s", newer, older);
        if (MoveFileExA(newer, older, MOVEFILE_REPLACE_EXISTING)) continue;
        TraceLog(kLogTrace, "Movefile from %s to %s failed, error %d; the files move back",
                 newer, older, static_cast<int>(GetLastError()));
        // What moved already goes back, lowest first, each into the place the one below left free.
        for (DWORD j = k + 1; j <= top; ++j) {
            if (BackupFileName(name_, j, older, kPathSize) && BackupFileName(name_, j - 1, newer, kPathSize))
                MoveFileExA(older, newer, 0);
        }
        return false;
    }
    return true;
}

void RotatingFile::RotateAndReopenLocked() {
    file_.reset();
    const bool rotated = RotateLocked();
    rotationPending_ = !rotated;
    // After the rotation the trace file begins empty and the log file anew; a file that stayed
    // where it was is continued.
    OpenFileLocked(append_ || !rotated);
}

void RotatingFile::FailedLocked(DWORD error, DWORD lostBytes) {
    lost_ += lostBytes;
    if (failing_) return;
    failing_ = true;
    failure_ = error;
    ReportStreamFailure(name_, error);
}

void RotatingFile::WriteLocked(const char* bytes, DWORD length) {
    TraceLog(kLogTrace, "Writeoutput in file %s,count=%d on pos %d; -->%.*s", name_, static_cast<int>(length),
             static_cast<int>(position_), static_cast<int>(length), bytes);
    if (!closed_) {
        // A file that could not be opened or written before is tried again for every chunk, and
        // never emptied: it may hold what was written before the failure.
        if (!file_.valid()) OpenFileLocked(true);
        if (file_.valid() && (rotationPending_ || position_ > limit_)) RotateAndReopenLocked();
    }
    if (!file_.valid()) {
        if (!closed_) lost_ += length;
    } else {
        bool allWritten = true;
        DWORD error = 0;
        DWORD stored = 0;  // bytes of the chunk that reached the file, a line feed counted as its CR LF
        TraceLog(kLogDetail, "before while");
        DWORD left = length;
        const char* piece = bytes;
        while (left > 0) {
            const char* lineFeed = static_cast<const char*>(memchr(piece, '\n', left));
            const DWORD n = lineFeed ? static_cast<DWORD>(lineFeed - piece) : left;
            TraceLog(kLogDetail, "before writefile %d bytes write -->%.*s", static_cast<int>(n), static_cast<int>(n),
                     piece);
            DWORD written = 0;
            if (n > 0) {
                // A full disk may take part of the bytes and call that a success.
                const BOOL ok = WriteFile(file_.get(), piece, n, &written, nullptr);
                if (!ok || written != n) {
                    if (allWritten) error = ok ? ERROR_DISK_FULL : GetLastError();
                    allWritten = false;
                    TraceLog(kLogTrace, "Lasterror = %d", static_cast<int>(ok ? ERROR_DISK_FULL : GetLastError()));
                }
                position_ += written;
                stored += written;
            }
            if (!lineFeed) break;
            written = 0;
            const BOOL ok = WriteFile(file_.get(), "\r\n", 2, &written, nullptr);
            if (!ok || written != 2) {
                if (allWritten) error = ok ? ERROR_DISK_FULL : GetLastError();
                allWritten = false;
            } else {
                ++stored;
            }
            position_ += written;
            piece += n + 1;
            left -= n + 1;
        }
        if (!allWritten) {
            TraceLog(kLogDetail, "#####Error by writefile");
            file_.reset();
            FailedLocked(error, length - stored);
        } else if (failing_) {
            failing_ = false;
            ReportStreamResumed(name_, failure_, lost_);
            lost_ = 0;
        }
    }
    TraceLog(kLogDetail, "Writeoutput in file %s, now pos %d", name_, static_cast<int>(position_));
}
