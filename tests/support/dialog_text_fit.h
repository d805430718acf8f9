// Test support: whether every text of a dialog on screen fits the control that shows it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace dialog_text_fit {

// The static texts, push buttons, check boxes, radio buttons and group boxes of dialog whose text,
// drawn in the control's own font as the control draws it, would be cut off or run past the room
// the control gives it: one line each, naming the control, its text and the room it needs and has.
// Hidden controls are measured too (a dialog shows them in some cases); controls without text are
// left out. Empty when every text fits.
std::vector<std::string> Problems(HWND dialog);

}  // namespace dialog_text_fit
