#include "dialog_robot.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "dialog_template.h"

namespace dialog_robot {
namespace {

constexpr DWORD kPollMs = 20;
// A window that does not answer a message within this time is hung; the robot then gives up.
constexpr UINT kSendTimeoutMs = 5000;
// Message boxes: the static that holds the text; the icon static differs between platforms.
constexpr int kMessageTextId = 0xFFFF;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        ADD_FAILURE() << "window " << window << " did not answer message 0x" << std::hex << message;
    return static_cast<LRESULT>(result);
}

HWND Control(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) ADD_FAILURE() << "the dialog has no control " << id;
    return control;
}

void Notify(HWND dialog, int id, WORD code) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsDialog(HWND window) { return IsWindowVisible(window) && ClassOf(window) == "#32770"; }

template <typename Match>
HWND FindTopLevel(Match match) {
    struct Search {
        Match* match;
        HWND found;
    } search = {&match, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            Search* s = reinterpret_cast<Search*>(context);
            if (!(*s->match)(window)) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <typename Find>
HWND WaitFor(Find find, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = find()) return found;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Pump(kPollMs);
    }
}

bool IsMessageBox(HWND window) {
    if (!IsDialog(window)) return false;
    HWND text = GetDlgItem(window, kMessageTextId);
    return text && ClassOf(text) == "Static";
}

const LPCSTR kIcons[] = {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK};
const UINT kIconStyles[] = {MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK};

// The pixels of a window's rectangle as the screen shows them, one COLORREF each.
std::vector<COLORREF> Pixels(HDC source, int x, int y, int width, int height) {
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) pixels.push_back(GetPixel(memory, column, row));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// An icon handle of another process means nothing here: the icon is told by its picture, drawn
// on the background it is shown on.
UINT IconByPicture(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0 || width > 128 || height > 128) return 0;
    HDC screen = GetDC(nullptr);
    const std::vector<COLORREF> shown = Pixels(screen, r.left, r.top, width, height);
    ReleaseDC(nullptr, screen);
    for (size_t i = 0; i < sizeof kIcons / sizeof kIcons[0]; ++i) {
        HDC screenDc = GetDC(nullptr);
        HDC canvas = CreateCompatibleDC(screenDc);
        HBITMAP bitmap = CreateCompatibleBitmap(screenDc, width, height);
        HGDIOBJ old = SelectObject(canvas, bitmap);
        HBRUSH background = CreateSolidBrush(shown[0]);
        RECT all = {0, 0, width, height};
        FillRect(canvas, &all, background);
        DeleteObject(background);
        DrawIcon(canvas, 0, 0, LoadIconA(nullptr, kIcons[i]));
        const std::vector<COLORREF> drawn = Pixels(canvas, 0, 0, width, height);
        SelectObject(canvas, old);
        DeleteObject(bitmap);
        DeleteDC(canvas);
        ReleaseDC(nullptr, screenDc);
        if (drawn == shown) return kIconStyles[i];
    }
    return 0;
}

UINT IconOf(HWND box) {
    UINT found = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != "Static" || !IsWindowVisible(child)) continue;
        const HICON shown = reinterpret_cast<HICON>(Send(child, STM_GETICON, 0, 0));
        if (!shown) continue;
        for (size_t i = 0; i < sizeof kIcons / sizeof kIcons[0]; ++i)
            if (LoadIconA(nullptr, kIcons[i]) == shown) found = kIconStyles[i];
        DWORD process = 0;
        GetWindowThreadProcessId(child, &process);
        if (!found && process != GetCurrentProcessId()) {
            // The box may still be painting its first picture.
            for (int attempt = 0; attempt < 10 && !found; ++attempt) {
                RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                Pump(kPollMs);
                found = IconByPicture(child);
            }
        }
    }
    return found;
}

UINT ButtonsOf(HWND box) {
    static const struct {
        UINT style;
        int ids[3];
    } kSets[] = {{MB_OK, {IDOK, 0, 0}},
                 {MB_OKCANCEL, {IDOK, IDCANCEL, 0}},
                 {MB_YESNO, {IDYES, IDNO, 0}},
                 {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
                 {MB_RETRYCANCEL, {IDRETRY, IDCANCEL, 0}},
                 {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}}};
    std::vector<int> shown;
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button)) shown.push_back(id);
    }
    for (const auto& set : kSets) {
        std::vector<int> wanted;
        for (int id : set.ids)
            if (id) wanted.push_back(id);
        std::sort(wanted.begin(), wanted.end());
        std::vector<int> have = shown;
        std::sort(have.begin(), have.end());
        if (have == wanted) return set.style;
    }
    return 0xFFFF;
}

struct CallThread {
    static DWORD WINAPI Run(void* context);
};

}  // namespace

struct BackgroundCall::State {
    std::function<INT_PTR()> call;
    INT_PTR result = 0;
    HANDLE thread = nullptr;
    volatile LONG finished = 0;
};

namespace {
DWORD WINAPI CallThread::Run(void* context) {
    auto* state = static_cast<BackgroundCall::State*>(context);
    state->result = state->call();
    InterlockedExchange(&state->finished, 1);
    return 0;
}
}  // namespace

BackgroundCall::BackgroundCall(std::function<INT_PTR()> call) : state_(new State) {
    state_->call = std::move(call);
    state_->thread = CreateThread(nullptr, 0, CallThread::Run, state_, 0, nullptr);
    if (!state_->thread) ADD_FAILURE() << "cannot start the call's thread, error " << GetLastError();
}

BackgroundCall::~BackgroundCall() {
    if (!state_->thread) {
        delete state_;
        return;
    }
    if (!Finished() && !Wait()) return;  // the state stays with the thread that still runs
    CloseHandle(state_->thread);
    delete state_;
}

bool BackgroundCall::Wait(DWORD timeoutMs) {
    if (!state_->thread) return false;
    const DWORD start = GetTickCount();
    for (;;) {
        if (MsgWaitForMultipleObjects(1, &state_->thread, FALSE, kPollMs, QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
        Pump(0);
        if (GetTickCount() - start >= timeoutMs) break;
    }
    ADD_FAILURE() << "the call under test did not return within " << timeoutMs << " ms";
    return false;
}

bool BackgroundCall::Finished() const { return state_->finished != 0; }

INT_PTR BackgroundCall::result() const {
    EXPECT_TRUE(Finished()) << "result of a call that has not returned";
    return state_->result;
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms) MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms, kPollMs), QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

HWND FindWindowByCaption(const std::string& caption) {
    return FindTopLevel([&](HWND w) { return IsWindowVisible(w) && WindowText(w) == caption; });
}

HWND WaitForWindow(const std::string& caption, DWORD timeoutMs) {
    HWND found = WaitFor([&] { return FindWindowByCaption(caption); }, timeoutMs);
    if (!found) ADD_FAILURE() << "no window titled \"" << caption << "\" appeared within " << timeoutMs << " ms";
    return found;
}

HWND WaitForDialog(HMODULE module, WORD templateId, DWORD timeoutMs) {
    const dialog_template::Template t = dialog_template::Load(module, templateId);
    if (!t.found) {
        ADD_FAILURE() << "the module has no dialog template " << templateId;
        return nullptr;
    }
    auto matches = [&](HWND w) {
        if (!IsDialog(w)) return false;
        for (const auto& c : t.controls)
            if (c.id != -1 && c.id != 0xFFFF && !GetDlgItem(w, c.id)) return false;
        return true;
    };
    HWND found = WaitFor([&] { return FindTopLevel(matches); }, timeoutMs);
    if (!found) ADD_FAILURE() << "dialog " << templateId << " did not appear within " << timeoutMs << " ms";
    return found;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
    static const HWND kGone = reinterpret_cast<HWND>(1);
    if (WaitFor([&] { return IsWindow(window) ? nullptr : kGone; }, timeoutMs)) return true;
    ADD_FAILURE() << "window \"" << WindowText(window) << "\" was still open after " << timeoutMs << " ms";
    return false;
}

std::string WindowText(HWND window) {
    const LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min<LRESULT>(copied, length))));
    return text;
}

std::string ControlText(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control ? WindowText(control) : std::string();
}

void SetControlText(HWND dialog, int id, const std::string& text) {
    if (HWND control = Control(dialog, id)) Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool IsControlVisible(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE);
}

bool IsControlEnabled(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control && IsWindowEnabled(control);
}

void Click(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    if (!control) return;
    if (!IsWindowVisible(control) || !IsWindowEnabled(control)) {
        ADD_FAILURE() << "control " << id << " \"" << WindowText(control) << "\" is "
                      << (IsWindowVisible(control) ? "disabled" : "hidden") << " and cannot be clicked";
        return;
    }
    PostMessageA(control, BM_CLICK, 0, 0);
}

bool IsChecked(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control && Send(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool checked) {
    if (IsChecked(dialog, id) == checked) return;
    Click(dialog, id);
    if (!WaitFor([&] { return IsChecked(dialog, id) == checked ? dialog : nullptr; }, kDefaultWaitMs))
        ADD_FAILURE() << "control " << id << " did not become " << (checked ? "checked" : "unchecked");
}

// One line of a list or combo box in wide characters, given back in the code page: Wine answers
// LB_GETTEXT and CB_GETLBTEXT of a control in another process with wide text even when asked
// through the ANSI interface, which would overrun an ANSI buffer.
static std::string LineOf(HWND control, UINT lengthMessage, UINT textMessage, LRESULT index) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, lengthMessage, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length) ||
        static_cast<LRESULT>(length) <= 0)
        return std::string();
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&wide[0]),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied) ||
        static_cast<LRESULT>(copied) <= 0)
        return std::string();
    wide.resize(std::min(static_cast<size_t>(copied), static_cast<size_t>(length)));
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(std::max(bytes, 0)), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], bytes, nullptr, nullptr);
    return text;
}

std::vector<std::string> ListEntries(HWND dialog, int id) {
    std::vector<std::string> entries;
    HWND list = Control(dialog, id);
    if (!list) return entries;
    const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) entries.push_back(LineOf(list, LB_GETTEXTLEN, LB_GETTEXT, i));
    return entries;
}

int ListSelection(HWND dialog, int id) {
    HWND list = Control(dialog, id);
    return list ? static_cast<int>(Send(list, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

void SelectListEntry(HWND dialog, int id, int index) {
    HWND list = Control(dialog, id);
    if (!list) return;
    if (Send(list, LB_SETCURSEL, index, 0) == LB_ERR) {
        ADD_FAILURE() << "list " << id << " has no entry " << index;
        return;
    }
    Notify(dialog, id, LBN_SELCHANGE);
}

void DoubleClickListEntry(HWND dialog, int id, int index) {
    SelectListEntry(dialog, id, index);
    Notify(dialog, id, LBN_DBLCLK);
}

std::vector<std::string> ComboEntries(HWND dialog, int id) {
    std::vector<std::string> entries;
    HWND combo = Control(dialog, id);
    if (!combo) return entries;
    const LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) entries.push_back(LineOf(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, i));
    return entries;
}

void SelectComboEntry(HWND dialog, int id, const std::string& text) {
    HWND combo = Control(dialog, id);
    if (!combo) return;
    const std::vector<std::string> entries = ComboEntries(dialog, id);
    const auto it = std::find(entries.begin(), entries.end(), text);
    if (it == entries.end()) {
        ADD_FAILURE() << "combo box " << id << " has no entry \"" << text << "\"";
        return;
    }
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(it - entries.begin()), 0);
    Notify(dialog, id, CBN_SELCHANGE);
}

MessageBoxSeen WaitForMessageBox(DWORD timeoutMs) {
    MessageBoxSeen seen;
    seen.window = WaitFor([] { return FindTopLevel(IsMessageBox); }, timeoutMs);
    if (!seen.window) {
        ADD_FAILURE() << "no message box appeared within " << timeoutMs << " ms";
        return seen;
    }
    seen.caption = WindowText(seen.window);
    seen.text = ControlText(seen.window, kMessageTextId);
    seen.icon = IconOf(seen.window);
    seen.buttons = ButtonsOf(seen.window);
    seen.topmost = (GetWindowLongA(seen.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    return seen;
}

MessageBoxSeen AnswerMessageBox(int button, DWORD timeoutMs) {
    MessageBoxSeen seen = WaitForMessageBox(timeoutMs);
    if (!seen.window) return seen;
    Click(seen.window, button);
    WaitUntilGone(seen.window, timeoutMs);
    return seen;
}

}  // namespace dialog_robot
