#include "common/progress_note.h"

#include "common/language.h"
#include "lang/resource.h"

namespace {

HWND g_note = nullptr;

// The callers work without a message loop while the note is open, so it is painted at once.
void PaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

INT_PTR CALLBACK NoteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        char caption[kProgressNoteTextSize];
        LoadLanguageString(static_cast<UINT>(lParam), caption, sizeof caption);
        SetWindowTextA(window, caption);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_NOTE_SET_TEXT) {
            SetDlgItemTextA(window, IDC_NOTE_TEXT, reinterpret_cast<const char*>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        if (g_note == window) g_note = nullptr;
        return FALSE;
    }
    return FALSE;
}

}  // namespace

void ShowProgressNote(HWND owner, UINT textId, UINT captionId) {
    if (g_note && IsWindow(g_note)) return;
    g_note = CreateDialogParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_PROGRESS_NOTE), owner, NoteProc,
                                static_cast<LPARAM>(captionId));
    if (!g_note) return;
    SetProgressNoteText(textId);
}

void SetProgressNoteText(UINT textId) {
    if (!g_note) return;
    char text[kProgressNoteTextSize];
    LoadLanguageString(textId, text, sizeof text);
    SendMessageA(g_note, WM_COMMAND, MAKEWPARAM(IDM_NOTE_SET_TEXT, 0), reinterpret_cast<LPARAM>(text));
    PaintNow(g_note);
}

void CloseProgressNote() {
    if (g_note) DestroyWindow(g_note);
    g_note = nullptr;
}

HWND ProgressNoteWindow() { return g_note; }
