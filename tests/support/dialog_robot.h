// Test support: drives the dialogs and message boxes that the code under test shows, the way a person would.
//
// The code under test runs on a thread of its own (BackgroundCall) or in another process; the robot
// finds its windows, reads and types into controls by id, clicks, and answers message boxes. Every
// wait has a time-out that fails the current test with a message saying what did not appear.
// Clicks are posted, so that a click that opens the next modal window never blocks the robot.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace dialog_robot {

constexpr DWORD kDefaultWaitMs = 10000;

// Runs call on a thread of its own. Destroying a call that has not returned waits once more and
// fails the test when it still runs; the thread is then left behind rather than killed.
class BackgroundCall {
public:
    explicit BackgroundCall(std::function<INT_PTR()> call);
    BackgroundCall(const BackgroundCall&) = delete;
    BackgroundCall& operator=(const BackgroundCall&) = delete;
    ~BackgroundCall();

    // True when the call has returned within the time; false (and a test failure) otherwise.
    bool Wait(DWORD timeoutMs = kDefaultWaitMs);
    bool Finished() const;
    INT_PTR result() const;

    struct State;

private:
    State* state_;
};

// Processes this thread's messages for the given time: a test thread that owns windows must keep
// them answering while the code under test sends to them.
void Pump(DWORD ms);

// A visible top-level window whose title is exactly caption, of any process.
HWND FindWindowByCaption(const std::string& caption);
HWND WaitForWindow(const std::string& caption, DWORD timeoutMs = kDefaultWaitMs);
// A visible dialog whose child controls carry every id of template templateId of module.
HWND WaitForDialog(HMODULE module, WORD templateId, DWORD timeoutMs = kDefaultWaitMs);
// True when the window has been destroyed within the time; false and a test failure otherwise.
bool WaitUntilGone(HWND window, DWORD timeoutMs = kDefaultWaitMs);

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
// Types text into an edit control (replacing its content), as WM_SETTEXT with EN_CHANGE.
void SetControlText(HWND dialog, int id, const std::string& text);
bool IsControlVisible(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);

// Clicks a button, check box or radio button; a control that is missing, hidden or disabled
// cannot be clicked by a person either and fails the test.
void Click(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
// Clicks the box when its state differs, and waits until the dialog has taken the click.
void SetChecked(HWND dialog, int id, bool checked);

std::vector<std::string> ListEntries(HWND dialog, int id);
int ListSelection(HWND dialog, int id);
// Selects an entry of a list box and notifies the dialog as a click on it would.
void SelectListEntry(HWND dialog, int id, int index);
void DoubleClickListEntry(HWND dialog, int id, int index);
std::vector<std::string> ComboEntries(HWND dialog, int id);
// Selects the combo box entry with exactly this text; a missing entry fails the test.
void SelectComboEntry(HWND dialog, int id, const std::string& text);

// What a person saw in a message box.
struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    UINT icon = 0;     // MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK or 0
    UINT buttons = 0;  // MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL, MB_RETRYCANCEL or MB_ABORTRETRYIGNORE
    bool topmost = false;  // system-modal boxes stay on top
};

// The next visible message box, of any process and caption; window is null after a time-out.
MessageBoxSeen WaitForMessageBox(DWORD timeoutMs = kDefaultWaitMs);
// Waits for a message box, records it, presses button (IDOK, IDYES, IDNO, ...) and waits until it
// has closed.
MessageBoxSeen AnswerMessageBox(int button, DWORD timeoutMs = kDefaultWaitMs);

}  // namespace dialog_robot
