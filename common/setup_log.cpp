#include "common/setup_log.h"

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "common/handles.h"
#include "common/paths.h"

DWORD LogLevel = 255;

const char kLogBanner[] = "*************************** new instance **********************************\r\n";

namespace {

// Read once by each line, so that a line never mixes the handle it tested with another it writes to.
std::atomic<HANDLE> g_logFile{INVALID_HANDLE_VALUE};

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

// "dd.mm.yyyy hh:mm:ss." of t, as "%2.2d.%2.2d.%4.4d %2.2d:%2.2d:%2.2d." formats it; returns the end.
char* PutSecond(char* p, const SYSTEMTIME& t) {
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
    return p;
}

// The time of a line. Reading the system clock cannot be avoided; what else costs is asking the
// system for the local time's offset (which changes only when daylight saving time begins or ends)
// and breaking the time into its fields. So the first line of each second does both and leaves the
// second's text, "dd.mm.yyyy hh:mm:ss.", for the lines after it; they add the milliseconds. The text
// is shared without a lock: a writer marks the stamp odd while it writes, and a reader takes the
// text only when the stamp holds its own second before and after reading it. A line that finds the
// text busy or of another second makes its own. Nothing is kept per thread.
constexpr ULONGLONG kFileTimePerSecond = 10000000;
constexpr ULONGLONG kFileTimePerMillisecond = 10000;
constexpr size_t kSecondTextSize = 20;

struct SecondText {
    std::atomic<ULONGLONG> stamp{0};  // the UTC second (since 1601) times two; odd while written
    std::atomic<ULONGLONG> words[3] = {};
};
SecondText g_second;

ULONGLONG FileTimeValue(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool CachedSecond(ULONGLONG second, char* out) {
    const ULONGLONG stamp = g_second.stamp.load(std::memory_order_acquire);
    if (stamp != second * 2) return false;
    ULONGLONG words[3];
    for (int i = 0; i < 3; ++i) words[i] = g_second.words[i].load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (g_second.stamp.load(std::memory_order_relaxed) != stamp) return false;
    memcpy(out, words, kSecondTextSize);
    return true;
}

void ShareSecond(ULONGLONG second, const char* text) {
    ULONGLONG stamp = g_second.stamp.load(std::memory_order_relaxed);
    if ((stamp & 1) || stamp == second * 2 ||
        !g_second.stamp.compare_exchange_strong(stamp, second * 2 + 1, std::memory_order_relaxed))
        return;
    std::atomic_thread_fence(std::memory_order_release);
    ULONGLONG words[3] = {};
    memcpy(words, text, kSecondTextSize);
    for (int i = 0; i < 3; ++i) g_second.words[i].store(words[i], std::memory_order_relaxed);
    g_second.stamp.store(second * 2, std::memory_order_release);
}

// The local date and time to the millisecond at p ("dd.mm.yyyy hh:mm:ss.mmm"); returns the end.
char* PutLocalNow(char* p) {
    FILETIME utc;
    GetSystemTimeAsFileTime(&utc);
    const ULONGLONG now = FileTimeValue(utc);
    const ULONGLONG second = now / kFileTimePerSecond;
    const unsigned milliseconds = static_cast<unsigned>(now / kFileTimePerMillisecond % 1000);
    if (CachedSecond(second, p)) return PutNumber(p + kSecondTextSize, milliseconds, 3);
    // Time zones lie whole minutes apart: the local time has the same milliseconds.
    FILETIME local, whole;
    SYSTEMTIME t;
    const ULONGLONG utcSecond = second * kFileTimePerSecond;
    whole.dwLowDateTime = static_cast<DWORD>(utcSecond);
    whole.dwHighDateTime = static_cast<DWORD>(utcSecond >> 32);
    if (FileTimeToLocalFileTime(&whole, &local) && FileTimeToSystemTime(&local, &t)) {
        char* const end = PutSecond(p, t);
        // Only a text of the usual width is shared: readers take exactly that many bytes.
        if (end - p == static_cast<ptrdiff_t>(kSecondTextSize)) ShareSecond(second, p);
        return PutNumber(end, milliseconds, 3);
    }
    GetLocalTime(&t);
    return PutNumber(PutSecond(p, t), t.wMilliseconds, 3);
}

// "SS LL dd.mm.yyyy hh:mm:ss.mmm: " as "%2.2d %2.2d " and "%2.2d.%2.2d.%4.4d %2.2d:%2.2d:%2.2d.%3.3d: "
// format it, with the local time now; at most 53 bytes.
int PutPrefix(char* line, DWORD source, DWORD level) {
    char* p = line;
    p = PutNumber(p, source, 2);
    *p++ = ' ';
    p = PutNumber(p, level, 2);
    *p++ = ' ';
    p = PutLocalNow(p);
    *p++ = ':';
    *p++ = ' ';
    return static_cast<int>(p - line);
}

// The message of a line. Its conversions are few (%d, %u, %x, %s and their like), and the C
// runtime's formatter, made for every conversion there is, costs a line more than a tenth of its
// write. So the conversions the lines use are formatted here; a format with any other conversion,
// flag or length is left to vsnprintf. What this writes is what vsnprintf would write.
class MessageText {
public:
    MessageText(char* out, int room) : p_(out), end_(out + room) {}
    // The message into out, cut at room bytes; its length, or -1 when the format is not one of ours.
    int format(const char* f, va_list arguments);

private:
    void put(char c) {
        if (p_ < end_) *p_++ = c;
        ++length_;
    }
    void putPadded(const char* text, int n, int width, bool left, char pad);
    // Wider fields than a line can hold are left to vsnprintf.
    static constexpr int kWidest = static_cast<int>(kLogLineSize);
    char* p_;
    char* end_;
    int length_ = 0;
};

void MessageText::putPadded(const char* text, int n, int width, bool left, char pad) {
    if (!left)
        for (int i = n; i < width; ++i) put(pad);
    for (int i = 0; i < n; ++i) put(text[i]);
    if (left)
        for (int i = n; i < width; ++i) put(' ');
}

int MessageText::format(const char* f, va_list arguments) {
    for (; *f; ++f) {
        if (*f != '%') {
            put(*f);
            continue;
        }
        ++f;
        bool left = false, zero = false;
        for (;; ++f) {
            if (*f == '-')
                left = true;
            else if (*f == '0')
                zero = true;
            else
                break;
        }
        int width = 0, precision = -1;
        if (*f == '*') {
            width = va_arg(arguments, int);
            if (width < -kWidest) return -1;
            if (width < 0) {
                left = true;
                width = -width;
            }
            ++f;
        } else {
            for (; *f >= '0' && *f <= '9'; ++f)
                if (width <= kWidest) width = width * 10 + (*f - '0');
        }
        if (*f == '.') {
            ++f;
            precision = 0;
            if (*f == '*') {
                precision = va_arg(arguments, int);
                ++f;
            } else {
                for (; *f >= '0' && *f <= '9'; ++f)
                    if (precision <= kWidest) precision = precision * 10 + (*f - '0');
            }
        }
        bool isLong = false;
        if (*f == 'l') {
            isLong = true;
            ++f;
        }
        if (width > kWidest || precision > kWidest) return -1;
        char digits[16];
        int n = 0;
        switch (*f) {
            case '%':
                if (left || zero || width || precision >= 0 || isLong) return -1;
                put('%');
                continue;
            case 'c': {
                if (isLong || zero || precision >= 0) return -1;
                const char c = static_cast<char>(va_arg(arguments, int));
                putPadded(&c, 1, width, left, ' ');
                continue;
            }
            case 's': {
                if (isLong || zero) return -1;
                const char* text = va_arg(arguments, const char*);
                if (!text) text = "(null)";
                int length = 0;
                while ((precision < 0 || length < precision) && text[length]) ++length;
                putPadded(text, length, width, left, ' ');
                continue;
            }
            case 'd':
            case 'i':
            case 'u':
            case 'x':
            case 'X': {
                const bool isSigned = *f == 'd' || *f == 'i';
                const unsigned base = (*f == 'x' || *f == 'X') ? 16 : 10;
                const char* letters = *f == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
                unsigned long value;
                bool negative = false;
                if (isSigned) {
                    const long v = isLong ? va_arg(arguments, long) : va_arg(arguments, int);
                    negative = v < 0;
                    value = negative ? 0UL - static_cast<unsigned long>(v) : static_cast<unsigned long>(v);
                } else {
                    value = isLong ? va_arg(arguments, unsigned long) : va_arg(arguments, unsigned);
                }
                do {
                    digits[n++] = letters[value % base];
                    value /= base;
                } while (value != 0);
                if (precision == 0 && n == 1 && digits[0] == '0') n = 0;
                const int figures = n > precision ? n : precision;
                const int whole = figures + (negative ? 1 : 0);
                const bool zeroPad = zero && !left && precision < 0;
                if (!left && !zeroPad)
                    for (int i = whole; i < width; ++i) put(' ');
                if (negative) put('-');
                if (zeroPad)
                    for (int i = whole; i < width; ++i) put('0');
                for (int i = n; i < figures; ++i) put('0');
                while (n > 0) put(digits[--n]);
                if (left)
                    for (int i = whole; i < width; ++i) put(' ');
                continue;
            }
            default:
                return -1;
        }
    }
    return length_;
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
    int used = PutPrefix(line, source, level);
    // Room for the message: the buffer less both prefixes and the CR LF, which takes the place of
    // vsnprintf's NUL and one byte more; a longer message is cut.
    const int room = static_cast<int>(kLogLineSize) - used - 2;
    if (room > 0) {
        va_list copy;
        va_copy(copy, arguments);
        int message = MessageText(line + used, room).format(format, copy);
        va_end(copy);
        if (message < 0) message = vsnprintf(line + used, static_cast<size_t>(room) + 1, format, arguments);
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
