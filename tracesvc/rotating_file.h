// RotatingFile: one stream writer of the trace service, with numbered backups and a size limit.
#pragma once

#include <windows.h>

#include <atomic>

#include "common/handles.h"
#include "tracesvc/stream_settings.h"

// One fetch of driver text into buffer; returns the byte count, 0 when there is none.
using StreamReader = DWORD (*)(void* buffer, DWORD size);

// Backup k of a file name: k 0 is the name itself; otherwise the number goes before the extension
// of the last path component ("RasTrc.TXT", 2: "RasTrc2.TXT"), or after a name without one. FALSE
// when the result would not fit into size bytes.
BOOL BackupFileName(const char* name, DWORD k, char* out, DWORD size);

class RotatingFile {
public:
    RotatingFile();
    RotatingFile(const RotatingFile&) = delete;
    RotatingFile& operator=(const RotatingFile&) = delete;
    ~RotatingFile();

    // Reads the stream's settings, writes them to the diagnostic log and opens the file.
    void Start(StreamKind kind, StreamReader reader);
    // (Re)opens the current file: the trace file rotated and created empty, the log file appended
    // to. A trace file that cannot be rotated is appended to until a later chunk rotates it.
    void Open();
    // Shifts the backups by one: the current file becomes backup 1, the oldest backup is gone. All
    // or nothing: false, with every file where it was, when the current file or a backup in the
    // way cannot be moved now.
    bool Rotate();
    // Appends one chunk of driver text, LF written as CR LF. A file that could not be opened or
    // written is opened again first (appending), and one past its limit, or whose rotation failed
    // before, is rotated first.
    void Write(const char* bytes, DWORD length);
    // Fetches and writes chunk after chunk until the driver has nothing left. Once Close has
    // begun nothing more is fetched, so that no text leaves the driver that the file cannot take.
    void Drain(char* buffer, DWORD size);
    // Takes a new file name when it differs from the current one without regard to letter case, and
    // reopens the file under it; returns whether it changed.
    bool ChangeName(const char* name);
    // New count and limit for the next chunk on.
    void SetLimits(DWORD count, DWORD limitBytes);
    // Closes the file for good: what the writer is given afterwards is dropped, nothing reopens it.
    void Close();

    // One fetch through the stream's reader; 0 bytes end a drain.
    DWORD Fetch(char* buffer, DWORD size) const;
    DWORD PollInterval() const { return poll_; }
    DWORD Position();
    bool IsOpen();

private:
    void OpenLocked();
    bool OpenFileLocked(bool appending);
    bool RotateLocked();
    void RotateAndReopenLocked();
    void WriteLocked(const char* bytes, DWORD length);
    void FailedLocked(DWORD error, DWORD lostBytes);

    CRITICAL_SECTION lock_;
    char name_[kStreamNameSize] = {};
    std::atomic<DWORD> count_{kDefaultFileCount};
    std::atomic<DWORD> limit_{kDefaultFileSizeKiB * 1024};
    DWORD poll_ = kDefaultPollInterval;
    vrk::FileHandle file_;
    StreamReader reader_ = nullptr;
    DWORD position_ = 0;
    bool append_ = false;
    bool closed_ = false;
    std::atomic<bool> closing_{false};
    // The rotation that was due could not move the files: tried again before every chunk.
    bool rotationPending_ = false;
    // A failure was reported and nothing has been written since; lost_ counts the driver's bytes
    // that did not reach the file meanwhile.
    bool failing_ = false;
    DWORD failure_ = 0;
    unsigned long long lost_ = 0;
};
