#include "rasconfig/page_controls.h"

#include <vector>

bool ReadControlText(HWND dialog, int id, size_t max, std::string* text) {
    text->clear();
    HWND control = GetDlgItem(dialog, id);
    if (!control) return false;
    const int length = GetWindowTextLengthA(control);
    if (length < 0 || static_cast<size_t>(length) > max) return false;
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, buffer.data(), length + 1);
    text->assign(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
    return true;
}

std::string ControlTextCut(HWND dialog, int id, size_t max) {
    std::vector<char> buffer(max + 1, '\0');
    const int copied = GetDlgItemTextA(dialog, id, buffer.data(), static_cast<int>(max + 1));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

int SelectedLine(HWND dialog, int listId) {
    const LRESULT index = SendDlgItemMessageA(dialog, listId, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void AppendLine(HWND dialog, int listId, const std::string& line) {
    SendDlgItemMessageA(dialog, listId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void ReplaceLine(HWND dialog, int listId, int index, const std::string& line) {
    const int selected = SelectedLine(dialog, listId);
    SendDlgItemMessageA(dialog, listId, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendDlgItemMessageA(dialog, listId, LB_INSERTSTRING, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(line.c_str()));
    if (selected >= 0) SelectLine(dialog, listId, selected);
}

void RemoveLine(HWND dialog, int listId, int index) {
    SendDlgItemMessageA(dialog, listId, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void SelectLine(HWND dialog, int listId, int index) {
    SendDlgItemMessageA(dialog, listId, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
