#include "common/setup_log.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "common/handles.h"
#include "common/paths.h"

DWORD LogLevel = 255;

const char kLogBanner[] = "*************************** new instance **********************************\r\n";

namespace {

// Read once by each line, so that a line never mixes the handle it tested with another it writes to.
std::atomic<HANDLE> g_logFile{INVALID_HANDLE_VALUE};

// The time of a line. Reading the system time is cheap; what costs is asking the system for the
// local time's offset, which changes only when daylight saving time begins or ends. So the offset
// is asked for once a second, by the first line of that second, and kept in one 64-bit word
// together with the second it was taken in: a thread sees all of an update or none of it, and a
// line that does not find its own second there asks anew. Nothing is kept per thread.
constexpr ULONGLONG kFileTimePerSecond = 10000000;

// Bits 0-31: the low 32 bits of the UTC second (0: nothing known); bits 32-63: local minus UTC in seconds.
std::atomic<ULONGLONG> g_offset{0};

ULONGLONG FileTimeValue(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Local minus UTC in seconds for the UTC time now; false when the system cannot tell.
bool LocalOffset(const FILETIME& utc, LONGLONG* offset) {
    const ULONGLONG now = FileTimeValue(utc);
    const ULONGLONG second = (now / kFileTimePerSecond) & 0xFFFFFFFFu;
    const ULONGLONG known = g_offset.load(std::memory_order_acquire);
    if (second != 0 && (known & 0xFFFFFFFFu) == second) {
        *offset = static_cast<LONG>(static_cast<DWORD>(known >> 32));
        return true;
    }
    FILETIME local;
    if (!FileTimeToLocalFileTime(&utc, &local)) return false;
    const LONG seconds = static_cast<LONG>((static_cast<LONGLONG>(FileTimeValue(local)) - static_cast<LONGLONG>(now)) /
                                           static_cast<LONGLONG>(kFileTimePerSecond));
    g_offset.store((static_cast<ULONGLONG>(static_cast<DWORD>(seconds)) << 32) | second, std::memory_order_release);
    *offset = seconds;
    return true;
}

void LocalNow(SYSTEMTIME* out) {
    FILETIME utc;
    GetSystemTimeAsFileTime(&utc);
    LONGLONG offset = 0;
    if (LocalOffset(utc, &offset)) {
        const ULONGLONG local = FileTimeValue(utc) + static_cast<ULONGLONG>(offset) * kFileTimePerSecond;
        FILETIME time;
        time.dwLowDateTime = static_cast<DWORD>(local);
        time.dwHighDateTime = static_cast<DWORD>(local >> 32);
        if (FileTimeToSystemTime(&time, out)) return;
    }
    GetLocalTime(out);
}

// value in decimal with at least digits digits, zero-padded ("%2.2d"); returns the end.
char* PutNumber(char* p, unsigned value, int digits) {
    char reversed[12];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < digits) reversed[n++] = '0';
    while (n > 0) *p++ = reversed[--n];
    return p;
}

// "SS LL dd.mm.yyyy hh:mm:ss.mmm: " as "%2.2d %2.2d " and "%2.2d.%2.2d.%4.4d %2.2d:%2.2d:%2.2d.%3.3d: "
// format it; at most 53 bytes.
int PutPrefix(char* line, DWORD source, DWORD level, const SYSTEMTIME& t) {
    char* p = line;
    p = PutNumber(p, source, 2);
    *p++ = ' ';
    p = PutNumber(p, level, 2);
    *p++ = ' ';
    p = PutNumber(p, t.wDay, 2);
    *p++ = '.';
    p = PutNumber(p, t.wMonth, 2);
    *p++ = '.';
    p = PutNumber(p, t.wYear, 4);
    *p++ = ' ';
    p = PutNumber(p, t.wHour, 2);
    *p++ = ':';
    p = PutNumber(p, t.wMinute, 2);
    *p++ = ':';
    p = PutNumber(p, t.wSecond, 2);
    *p++ = '.';
    p = PutNumber(p, t.wMilliseconds, 3);
    *p++ = ':';
    *p++ = ' ';
    return static_cast<int>(p - line);
}

bool IsFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Size of an existing file, 64 bits wide; false when it cannot be read.
bool FileSize(const char* path, unsigned long long* size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    *size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

}  // namespace

BOOL LogGenerationName(const char* name, int n, char* out, DWORD size) {
    if (n == 0) return CopyText(out, size, name);
    const char* dot = FindExtension(name);
    const size_t stem = dot ? static_cast<size_t>(dot - name) : strlen(name);
    const int written =
        snprintf(out, size, "%.*s_%d%s", static_cast<int>(stem), name, n, dot ? dot : "");
    if (written < 0 || static_cast<DWORD>(written) >= size) {
        if (size) out[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

void RotateLogFiles(const char* name, int count) {
    char older[kPathSize], newer[kPathSize];
    for (int n = count; n >= 1; --n) {
        if (!LogGenerationName(name, n, older, sizeof older) || !LogGenerationName(name, n - 1, newer, sizeof newer))
            continue;
        if (n == count && IsFile(older)) DeleteFileA(older);
        MoveFileA(newer, older);
    }
}

BOOL OpenSetupLogFile(const char* name) {
    CloseSetupLog();

    unsigned long long size = 0;
    bool keepOld = false;
    if (FileSize(name, &size) && size > kLogRotateSize) {
        RotateLogFiles(name, kLogGenerations);
        // A generation held by another program stops the file from moving aside: its text is then
        // in no generation, so this instance goes on behind it rather than throwing it away.
        keepOld = IsFile(name);
    }

    vrk::FileHandle file(CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        LogLevel = 0;
        return FALSE;
    }
    if (keepOld) {
        SetFilePointer(file.get(), 0, nullptr, FILE_END);
    } else {
        SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file.get());
    }
    DWORD written = 0;
    WriteFile(file.get(), kLogBanner, sizeof kLogBanner - 1, &written, nullptr);
    g_logFile.store(file.release());
    return TRUE;
}

void WriteSetupLogV(DWORD source, DWORD level, const char* format, va_list arguments) {
    const HANDLE file = g_logFile.load(std::memory_order_relaxed);
    if (LogLevel < level || file == INVALID_HANDLE_VALUE) return;
    // The line's own buffer of 1144 bytes, private to this call, so that threads never share one;
    // on the stack rather than the heap: the allocation cost a tenth of the write.
    char line[kLogLineSize];
    SYSTEMTIME t;
    LocalNow(&t);
    int used = PutPrefix(line, source, level, t);
    // Room for the message: the buffer less both prefixes and the CR LF, which takes the place of
    // vsnprintf's NUL and one byte more; a longer message is cut.
    const int room = static_cast<int>(kLogLineSize) - used - 2;
    if (room > 0) {
        const int message = vsnprintf(line + used, static_cast<size_t>(room) + 1, format, arguments);
        if (message > 0) used += message < room ? message : room;
    }
    line[used++] = '\r';
    line[used++] = '\n';
    DWORD written = 0;
    // A full disk may take the first part of a line: it goes again, so that the next line does not
    // run on from the cut one.
    if (WriteFile(file, line, static_cast<DWORD>(used), &written, nullptr) && written > 0 &&
        written < static_cast<DWORD>(used) &&
        SetFilePointer(file, -static_cast<LONG>(written), nullptr, FILE_CURRENT) != INVALID_SET_FILE_POINTER)
        SetEndOfFile(file);
}

void WriteSetupLog(DWORD source, DWORD level, const char* format, ...) {
    if (LogLevel < level || !IsSetupLogOpen()) return;
    va_list arguments;
    va_start(arguments, format);
    WriteSetupLogV(source, level, format, arguments);
    va_end(arguments);
}

void CloseSetupLog() {
    const HANDLE file = g_logFile.exchange(INVALID_HANDLE_VALUE);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

void RetireSetupLog() { g_logFile.store(INVALID_HANDLE_VALUE); }

bool IsSetupLogOpen() { return g_logFile.load(std::memory_order_relaxed) != INVALID_HANDLE_VALUE; }
