// Events of the stream writers, in the system's default language, with the frame's event source.
#include "tracesvc/stream_events.h"

#include <cstdio>

#include "common/setup_log.h"
#include "rasconfig/bilingual.h"
#include "tracesvc/diag_log.h"

namespace {

const Bilingual kCannotWrite = {
    "%s cannot be written. The driver's text is dropped until the file can be written again.",
    "%s kann nicht geschrieben werden. Der Text des Treibers wird verworfen, bis die Datei wieder geschrieben "
    "werden kann."};
const Bilingual kWrittenAgain = {
    "%s is written again. %llu bytes of the driver's text could not be written.",
    "%s wird wieder geschrieben. %llu Bytes vom Text des Treibers konnten nicht geschrieben werden."};

void Report(WORD type, DWORD error, const char* text) {
    TraceLog(kLogFailure, "%s", text);
    char heading[80];
    snprintf(heading, sizeof heading, "Varnek DialCore TraceService error: %d", static_cast<int>(error));
    HANDLE source = RegisterEventSourceA(nullptr, "Varnek DialCore TraceService");
    if (!source) return;
    const char* strings[2] = {heading, text};
    ReportEventA(source, type, 0, 0, nullptr, 2, 0, strings, nullptr);
    DeregisterEventSource(source);
}

}  // namespace

void ReportStreamFailure(const char* file, DWORD error) {
    char text[512];
    snprintf(text, sizeof text, kCannotWrite.text(), file);
    Report(EVENTLOG_ERROR_TYPE, error, text);
}

void ReportStreamResumed(const char* file, DWORD error, unsigned long long lostBytes) {
    char text[512];
    snprintf(text, sizeof text, kWrittenAgain.text(), file, lostBytes);
    Report(EVENTLOG_WARNING_TYPE, error, text);
}
