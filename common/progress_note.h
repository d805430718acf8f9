// The information window: a modeless note (template 112 of the language module) shown during long operations.
#pragma once

#include <windows.h>

constexpr int kProgressNoteTextSize = 256;

// Opens the note with caption captionId and text textId, unless one is open already (then
// nothing changes). At most one note exists in the process.
void ShowProgressNote(HWND owner, UINT textId, UINT captionId);
// The open note shows string textId instead.
void SetProgressNoteText(UINT textId);
void CloseProgressNote();
// The open note, or null.
HWND ProgressNoteWindow();
