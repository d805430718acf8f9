// Controls of the list pages of the configuration center: typed texts read within their limits,
// and list boxes that show a page's entries line by line.
#pragma once

#include <windows.h>

#include <string>

// The text of an edit or combo box; false, and text empty, when it holds more than max characters:
// a cut text is not what the user typed.
bool ReadControlText(HWND dialog, int id, size_t max, std::string* text);
// The first max characters of the text.
std::string ControlTextCut(HWND dialog, int id, size_t max);

// The selected line of a list box, or -1.
int SelectedLine(HWND dialog, int listId);
void AppendLine(HWND dialog, int listId, const std::string& line);
// Puts line in place of the line at index, keeping the selection where it was.
void ReplaceLine(HWND dialog, int listId, int index, const std::string& line);
void RemoveLine(HWND dialog, int listId, int index);
void SelectLine(HWND dialog, int listId, int index);
