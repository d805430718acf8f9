// The demo robot's hands: it finds the windows of the programs it runs, tells which dialog of the
// language module each one is, and answers dialogs and message boxes as they come, picturing each.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "demo_machine.h"
#include "dialog_robot.h"
#include "report_writer.h"

namespace demo {

// The language module whose dialog templates the windows are told by.
void UseLanguageModule(HMODULE module);
HMODULE LanguageModuleOfRobot();

DWORD ProcessOf(HWND window);
// Visible dialogs and message boxes of the process (of every process for 0), top first.
std::vector<HWND> VisibleDialogsOf(DWORD pid);
// Which dialog of the language module a window is: the template whose controls it carries, the
// one with the most controls first; 0 when none fits.
WORD TemplateOf(HWND window);
bool HasTemplate(WORD id);
// The beginning of a string of the language module, up to the first stop character.
std::string TextBefore(UINT id, char stop);
bool IsMessageBox(HWND window);

// The next visible dialog of the process that accept takes; null after the time.
HWND WaitForWindowOf(DWORD pid, const std::function<bool(HWND)>& accept, DWORD timeoutMs);
// The next dialog of the process made from the template; a complaint when it did not come.
HWND WaitForDialogOf(DWORD pid, WORD templateId, DWORD timeoutMs = dialog_robot::kDefaultWaitMs);

// The usual answer of an administrator who goes on: Yes, or OK.
int GoOn(const dialog_robot::MessageBoxSeen& box);
using BoxAnswer = std::function<int(const dialog_robot::MessageBoxSeen&)>;
// Records, pictures and answers one message box (caption, text and buttons in what it returns).
dialog_robot::MessageBoxSeen AnswerBox(Report& report, HWND box, const BoxAnswer& choose = GoOn);

// What the robot does with each dialog that a program shows, until the program has ended.
struct Answers {
    std::map<WORD, std::function<void(HWND)>> dialogs;
    BoxAnswer boxes = GoOn;
};

// Answers every dialog and message box of the program as it comes; the information window is
// pictured once and left alone, an unexpected dialog is cancelled. False when the program did not
// end in time; answered counts the dialogs and boxes.
bool AnswerUntilEnded(Report& report, Program& program, Answers& answers, DWORD timeoutMs, int* answered);
// Answers the messages of the dialog's program until the dialog has closed.
void AnswerUntilGone(Report& report, HWND dialog, DWORD timeoutMs = dialog_robot::kDefaultWaitMs);
// Pictures a filled dialog and clicks the button; the messages that follow are answered.
void Confirm(Report& report, HWND dialog, const std::string& caption, int button = IDOK);

}  // namespace demo
