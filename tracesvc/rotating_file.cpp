// RotatingFile: start, open, rotate, chunk writes with LF to CR LF, name changes and the final close.
#include "tracesvc/rotating_file.h"

#include <cstdio>
#include <cstring>

#include "common/paths.h"
#include "common/setup_log.h"
#include "tracesvc/diag_log.h"

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

void RotatingFile::Rotate() {
    Guard guard(&lock_);
    RotateLocked();
}

void RotatingFile::Write(const char* bytes, DWORD length) {
    Guard guard(&lock_);
    WriteLocked(bytes, length);
}

bool RotatingFile::ChangeName(const char* name) {
    Guard guard(&lock_);
    if (closed_ || lstrcmpiA(name, name_) == 0) return false;
    CopyText(name_, sizeof name_, name);
    OpenLocked();
    return true;
}

void RotatingFile::SetLimits(DWORD count, DWORD limitBytes) {
    count_ = count;
    limit_ = limitBytes;
}

void RotatingFile::Close() {
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
    if (!append_) RotateLocked();
    file_.reset(CreateFileA(name_, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            append_ ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    position_ = 0;
    if (!file_.valid()) {
        TraceLog(kLogTrace, "Open Error %d", static_cast<int>(GetLastError()));
        return;
    }
    if (append_) {
        // Something that opens like a file but has no size counts as empty, not as 4 GiB full.
        const DWORD size = GetFileSize(file_.get(), nullptr);
        position_ = size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR ? 0 : size;
        SetFilePointer(file_.get(), 0, nullptr, FILE_END);
    }
    TraceLog(kLogTrace, "Openfile %s; Filehandle=%X; Posit=%d; append=%d", name_,
             static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(file_.get())), static_cast<int>(position_),
             append_ ? 1 : 0);
}

void RotatingFile::RotateLocked() {
    // Backups of an empty name would be files "1", "2", ... of whatever the current folder is.
    if (name_[0] == '\0') return;
    char older[kPathSize], newer[kPathSize];
    for (DWORD k = count_; k >= 1; --k) {
        if (!BackupFileName(name_, k - 1, newer, sizeof newer) || !BackupFileName(name_, k, older, sizeof older))
            continue;
        TraceLog(kLogTrace, "Movefile from %s to %s", newer, older);
        MoveFileExA(newer, older, MOVEFILE_REPLACE_EXISTING);
    }
}

void RotatingFile::WriteLocked(const char* bytes, DWORD length) {
    TraceLog(kLogTrace, "Writeoutput in file %s,count=%d on pos %d; -->%.*s", name_, static_cast<int>(length),
             static_cast<int>(position_), static_cast<int>(length), bytes);
    if (!closed_ && position_ > limit_) {
        file_.reset();
        // The trace file's open does the one rotation itself; the log file's open only appends.
        if (append_) RotateLocked();
        OpenLocked();
    }
    if (file_.valid()) {
        bool allWritten = true;
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
                if (!WriteFile(file_.get(), piece, n, &written, nullptr)) {
                    allWritten = false;
                    TraceLog(kLogTrace, "Lasterror = %d", static_cast<int>(GetLastError()));
                }
                position_ += written;
            }
            if (!lineFeed) break;
            written = 0;
            if (!WriteFile(file_.get(), "\r\n", 2, &written, nullptr)) allWritten = false;
            position_ += written;
            piece += n + 1;
            left -= n + 1;
        }
        if (!allWritten) {
            TraceLog(kLogDetail, "#####Error by writefile");
            file_.reset();
        }
    }
    TraceLog(kLogDetail, "Writeoutput in file %s, now pos %d", name_, static_cast<int>(position_));
}
