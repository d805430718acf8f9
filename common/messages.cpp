#include "common/messages.h"

#include <cstring>

#include "common/language.h"
#include "common/setup_log.h"
#include "lang/resource.h"

namespace {

constexpr UINT kDialogErrorStyle = MB_SYSTEMMODAL | MB_ICONHAND;

// Appends up to count bytes of text to out, keeping room for the terminating NUL.
void Append(char* out, int size, int* used, const char* text, int count) {
    const int room = size - 1 - *used;
    if (count > room) count = room;
    if (count <= 0) return;
    memcpy(out + *used, text, static_cast<size_t>(count));
    *used += count;
}

void AppendRepeated(char* out, int size, int* used, char c, int count) {
    for (int i = 0; i < count; ++i) Append(out, size, used, &c, 1);
}

// Reads a decimal number of a conversion; stops before it could overflow.
int ReadNumber(const char** p) {
    int n = 0;
    while (**p >= '0' && **p <= '9') {
        if (n < 100000) n = n * 10 + (**p - '0');
        ++*p;
    }
    return n;
}

bool g_boxesToLog = false;

// The box as the log holds it, and the answer nobody gave.
int LogInsteadOfBox(const char* text, UINT style) {
    WriteSetupLog(kLogSourceSetup, kLogFailure, "%s", text);
    switch (style & MB_TYPEMASK) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL: return IDCANCEL;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    }
    return IDOK;
}

}  // namespace

void SendMessageBoxesToLog(bool toLog) { g_boxesToLog = toLog; }

int FormatWithString(char* out, int size, const char* format, const char* argument) {
    if (!out || size <= 0) return 0;
    int used = 0;
    bool argumentUsed = false;
    const char* value = argument ? argument : "(null)";
    for (const char* p = format ? format : ""; *p;) {
        if (*p != '%') {
            Append(out, size, &used, p++, 1);
            continue;
        }
        if (p[1] == '%') {
            Append(out, size, &used, "%", 1);
            p += 2;
            continue;
        }
        const char* q = p + 1;
        const bool left = *q == '-';
        if (left) ++q;
        const int width = ReadNumber(&q);
        int precision = -1;
        if (*q == '.') {
            ++q;
            precision = ReadNumber(&q);
        }
        if (*q != 's' || argumentUsed) {
            Append(out, size, &used, p++, 1);
            continue;
        }
        argumentUsed = true;
        int length = static_cast<int>(strlen(value));
        if (precision >= 0 && precision < length) length = precision;
        const int pad = width > length ? width - length : 0;
        if (!left) AppendRepeated(out, size, &used, ' ', pad);
        Append(out, size, &used, value, length);
        if (left) AppendRepeated(out, size, &used, ' ', pad);
        p = q + 1;
    }
    out[used] = '\0';
    return used;
}

int MessageBoxFromIds(HWND owner, UINT textId, UINT style, UINT captionId) {
    char text[kMessageTextSize];
    char caption[kMessageCaptionSize];
    LoadLanguageString(textId, text, sizeof text);
    if (g_boxesToLog) return LogInsteadOfBox(text, style);
    LoadLanguageString(captionId, caption, sizeof caption);
    return MessageBoxA(owner, text, caption, style);
}

int MessageBoxFromIdsFormatted(HWND owner, UINT textId, UINT style, UINT captionId, const char* argument) {
    char format[kMessageTextSize];
    char text[kFormattedMessageSize];
    char caption[kMessageCaptionSize];
    LoadLanguageString(textId, format, sizeof format);
    FormatWithString(text, sizeof text, format, argument);
    if (g_boxesToLog) return LogInsteadOfBox(text, style);
    LoadLanguageString(captionId, caption, sizeof caption);
    return MessageBoxA(owner, text, caption, style);
}

void ReportDialogError(HWND owner, const char* name) {
    if (LogLevel >= kLogFailure) WriteSetupLog(kLogSourceSetup, kLogFailure, "Error DLG Box %s", name ? name : "(null)");
    MessageBoxFromIdsFormatted(owner, IDS_DIALOG_NOT_CREATED, kDialogErrorStyle, IDS_MESSAGE_CAPTION, name);
}
