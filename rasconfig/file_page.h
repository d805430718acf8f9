// The tracing page (dialog 144) and the logging page (dialog 137) of the configuration center:
// the driver's level as eight check boxes, sent at once, and the trace service's file name,
// backups and size for that stream, with the file's viewer.
#pragma once

#include <windows.h>

// What tells the two pages apart: controls, registry values, texts. The pages are twins.
struct FilePageTraits;
extern const FilePageTraits kTracingPage;
extern const FilePageTraits kLoggingPage;

// The dialog procedure of both pages; the creation parameter is the page's traits.
INT_PTR CALLBACK FilePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

class SectionAnswers;
// The page's OK path without its window: the values it would load, the answers of its section in
// place of what a person types, the same checks, then the same apply. False, and nothing stored or
// sent, when the checks refuse an answer or would correct it.
bool ApplyFilePageAnswers(const FilePageTraits& traits, SectionAnswers& answers);
