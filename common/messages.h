// Message boxes built from string ids of the language module, and the report of a dialog that cannot be created.
#pragma once

#include <windows.h>

constexpr int kMessageTextSize = 512;
constexpr int kMessageCaptionSize = 128;
constexpr int kFormattedMessageSize = 1024;

// The dialogs' message boxes: a question answered Yes or No, and a notice closed with OK (the
// refusal of a typed text among them).
constexpr UINT kQuestionStyle = MB_ICONEXCLAMATION | MB_YESNO;
constexpr UINT kNoticeStyle = MB_ICONEXCLAMATION | MB_OK;

// Fills format's string conversion with argument into out (size bytes, always terminated, cut
// when longer). Only the first "%s" (with optional "-", width and precision) takes the argument
// and "%%" gives "%"; every other conversion is copied as it stands, so that a text of the
// language module can never make the formatting read arguments that were not passed.
// Returns the length written.
int FormatWithString(char* out, int size, const char* format, const char* argument);

// Text (512 bytes) and caption (128 bytes) from the language module in a message box of the
// given style; the button pressed.
int MessageBoxFromIds(HWND owner, UINT textId, UINT style, UINT captionId);
// The same with the text as a format filled with one string; the result is cut at 1024 bytes.
int MessageBoxFromIdsFormatted(HWND owner, UINT textId, UINT style, UINT captionId, const char* argument);

// Logs "Error DLG Box %s" and tells the user that the dialog name cannot be created (text 6,
// caption 2, system-modal with the stop icon).
void ReportDialogError(HWND owner, const char* name);

// A program that runs from an answer file has nobody to answer its boxes: while this is on, the
// two functions above write the box's text to the setup log (level 1) instead of showing it and
// return the answer that changes nothing (No, Cancel, or OK for a notice).
void SendMessageBoxesToLog(bool toLog);
