#include "dialog_text_fit.h"

#include <cstdio>

namespace dialog_text_fit {
namespace {

std::string ClassOf(HWND control) {
    char name[64] = "";
    GetClassNameA(control, name, sizeof name);
    return name;
}

std::string TextOf(HWND control) {
    char text[1024] = "";
    GetWindowTextA(control, text, sizeof text);
    return text;
}

// The part of control's client area its text is drawn in, and the DrawText flags it is drawn with,
// as the window system's controls lay them out: a push button keeps its 3D frame (and a default
// button its dark rim) free, a check box or radio button starts its text half a digit's width
// right of the 13-pixel box and leaves a pixel each side for the focus rectangle, a group box keeps
// 7 pixels from each side. False for controls that show no text of their own.
bool TextRoom(HWND control, HDC dc, RECT* room, UINT* flags) {
    GetClientRect(control, room);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const std::string kind = ClassOf(control);
    if (lstrcmpiA(kind.c_str(), "Static") == 0) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
            *flags = DT_WORDBREAK | DT_EXPANDTABS;
            break;
        case SS_LEFTNOWORDWRAP:
        case SS_SIMPLE:
            *flags = DT_SINGLELINE | DT_EXPANDTABS;
            break;
        default:
            return false;
        }
        if (style & SS_NOPREFIX) *flags |= DT_NOPREFIX;
        return true;
    }
    if (lstrcmpiA(kind.c_str(), "Button") != 0) return false;
    *flags = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    const int frame = GetSystemMetrics(SM_CXEDGE);
    switch (style & BS_TYPEMASK) {
    case BS_DEFPUSHBUTTON:
        InflateRect(room, -1, -1);
        // fall through
    case BS_PUSHBUTTON:
        InflateRect(room, -frame, -frame);
        return true;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        INT digit = 0;
        GetCharWidth32A(dc, '0', '0', &digit);
        const int box = 12 * GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1;
        room->left += box + digit / 2 + 1;
        room->right -= 1;
        return true;
    }
    case BS_GROUPBOX:
        InflateRect(room, -7, 0);
        room->left += 1;
        return true;
    default:
        return false;
    }
}

}  // namespace

std::vector<std::string> Problems(HWND dialog) {
    std::vector<std::string> problems;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        const std::string text = TextOf(control);
        if (text.empty()) continue;
        HDC dc = GetDC(control);
        const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
        const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
        RECT room = {};
        UINT flags = 0;
        if (TextRoom(control, dc, &room, &flags)) {
            const int width = room.right - room.left, height = room.bottom - room.top;
            RECT needed = {0, 0, width, 0};
            DrawTextA(dc, text.c_str(), -1, &needed, flags | DT_CALCRECT);
            if (needed.right > width || needed.bottom > height) {
                char line[1200];
                snprintf(line, sizeof line, "%s %d \"%s\" needs %ldx%ld pixels, has %dx%d",
                         ClassOf(control).c_str(), GetDlgCtrlID(control), text.c_str(), needed.right,
                         needed.bottom, width, height);
                problems.push_back(line);
            }
        }
        if (previous) SelectObject(dc, previous);
        ReleaseDC(control, dc);
    }
    return problems;
}

}  // namespace dialog_text_fit
