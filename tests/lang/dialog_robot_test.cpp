// The dialog robot against real message boxes and a real dialog run on the thread of a call under test.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dialog_robot.h"
#include "lang/resource.h"
#include "machine.h"
#include "winhelp_observer.h"

using namespace dialog_robot;

namespace {

enum {
    kEdit = 100,
    kCheck = 101,
    kRadioA = 102,
    kRadioB = 103,
    kList = 104,
    kCombo = 105,
    kAsk = 106,
    kDisabled = 107,
    kHidden = 108,
};
const char kCaption[] = "Robot test dialog";

// A dialog template in memory, as the resource compiler would lay it out (DIALOG form).
class TemplateBuilder {
public:
    TemplateBuilder(const char* caption, int controls) {
        Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT);
        Dword(0);
        words_.push_back(static_cast<WORD>(controls));
        for (short v : {10, 10, 220, 150}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(0);  // menu
        words_.push_back(0);  // class
        Text(caption);
        words_.push_back(8);
        Text("MS Shell Dlg");
    }
    void Control(WORD kind, DWORD style, short x, short y, short cx, short cy, WORD id, const char* text) {
        if (words_.size() % 2) words_.push_back(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(kind);
        Text(text);
        words_.push_back(0);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Dword(DWORD d) {
        words_.push_back(LOWORD(d));
        words_.push_back(HIWORD(d));
    }
    void Text(const char* s) {
        while (*s) words_.push_back(static_cast<WORD>(static_cast<unsigned char>(*s++)));
        words_.push_back(0);
    }
    std::vector<WORD> words_;
};

// What the dialog saw: the values a person left in it and the notifications it got.
struct Record {
    std::string edit;
    bool checked = false;
    int radio = 0;
    int comboSelection = -1;
    int doubleClicked = -1;
    int askAnswer = 0;
};

INT_PTR CALLBACK RobotDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Record* record = reinterpret_cast<Record*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        for (const char* s : {"first", "second", "third"})
            SendDlgItemMessageA(dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        for (const char* s : {"one", "two", "three"})
            SendDlgItemMessageA(dialog, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        CheckRadioButton(dialog, kRadioA, kRadioB, kRadioA);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kList:
            if (HIWORD(wParam) == LBN_DBLCLK)
                record->doubleClicked = static_cast<int>(SendDlgItemMessageA(dialog, kList, LB_GETCURSEL, 0, 0));
            return TRUE;
        case kCombo:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                record->comboSelection = static_cast<int>(SendDlgItemMessageA(dialog, kCombo, CB_GETCURSEL, 0, 0));
            return TRUE;
        case kAsk:
            record->askAnswer = MessageBoxA(dialog, "Keep going?", "Question", MB_YESNO | MB_ICONQUESTION);
            return TRUE;
        case IDOK: {
            char text[64] = "";
            GetDlgItemTextA(dialog, kEdit, text, sizeof text);
            record->edit = text;
            record->checked = IsDlgButtonChecked(dialog, kCheck) == BST_CHECKED;
            record->radio = IsDlgButtonChecked(dialog, kRadioB) == BST_CHECKED ? kRadioB : kRadioA;
            EndDialog(dialog, 1);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

class DialogRobot : public ::testing::Test {
protected:
    DialogRobot() : dialog_(kCaption, 11) {
        dialog_.Control(0x81, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 100, 12, kEdit, "");
        dialog_.Control(0x80, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 26, 100, 10, kCheck, "Check");
        dialog_.Control(0x80, BS_AUTORADIOBUTTON | WS_GROUP, 10, 40, 50, 10, kRadioA, "A");
        dialog_.Control(0x80, BS_AUTORADIOBUTTON, 60, 40, 50, 10, kRadioB, "B");
        dialog_.Control(0x83, LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 10, 54, 100, 40, kList, "");
        dialog_.Control(0x85, CBS_DROPDOWNLIST | WS_VSCROLL, 120, 10, 90, 60, kCombo, "");
        dialog_.Control(0x80, BS_PUSHBUTTON, 120, 30, 90, 14, kAsk, "Ask");
        dialog_.Control(0x80, BS_PUSHBUTTON | WS_DISABLED, 120, 48, 90, 14, kDisabled, "Disabled");
        dialog_.Control(0x80, BS_PUSHBUTTON, 120, 66, 90, 14, kHidden, "Hidden");
        dialog_.Control(0x80, BS_DEFPUSHBUTTON, 60, 128, 50, 14, IDOK, "OK");
        dialog_.Control(0x80, BS_PUSHBUTTON, 120, 128, 50, 14, IDCANCEL, "Cancel");
    }
    BackgroundCall* Open(Record* record) {
        const DLGTEMPLATE* t = dialog_.get();
        return new BackgroundCall([t, record] {
            return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t, nullptr, RobotDialogProc,
                                           reinterpret_cast<LPARAM>(record));
        });
    }
    TemplateBuilder dialog_;
};

TEST_F(DialogRobot, DrivesEveryKindOfControlTheWayAPersonWould) {
    Record record;
    std::unique_ptr<BackgroundCall> call(Open(&record));
    HWND dialog = WaitForWindow(kCaption);
    ASSERT_NE(nullptr, dialog);
    ShowWindow(GetDlgItem(dialog, kHidden), SW_HIDE);

    EXPECT_EQ((std::vector<std::string>{"first", "second", "third"}), ListEntries(dialog, kList));
    EXPECT_EQ((std::vector<std::string>{"one", "two", "three"}), ComboEntries(dialog, kCombo));
    EXPECT_FALSE(IsControlEnabled(dialog, kDisabled));
    EXPECT_FALSE(IsControlVisible(dialog, kHidden));
    EXPECT_TRUE(IsChecked(dialog, kRadioA));

    SetControlText(dialog, kEdit, "typed text");
    EXPECT_EQ("typed text", ControlText(dialog, kEdit));
    SetChecked(dialog, kCheck, true);
    SetChecked(dialog, kRadioB, true);
    EXPECT_FALSE(IsChecked(dialog, kRadioA));
    SelectComboEntry(dialog, kCombo, "two");
    DoubleClickListEntry(dialog, kList, 1);
    EXPECT_EQ(1, ListSelection(dialog, kList));

    // The dialog answers this click with a modal message box of its own: the robot is not blocked.
    Click(dialog, kAsk);
    const MessageBoxSeen box = AnswerMessageBox(IDNO);
    EXPECT_EQ("Keep going?", box.text);
    EXPECT_EQ("Question", box.caption);

    Click(dialog, IDOK);
    ASSERT_TRUE(call->Wait());
    EXPECT_EQ(1, call->result());
    EXPECT_EQ("typed text", record.edit);
    EXPECT_TRUE(record.checked);
    EXPECT_EQ(kRadioB, record.radio);
    EXPECT_EQ(1, record.comboSelection);
    EXPECT_EQ(1, record.doubleClicked);
    EXPECT_EQ(IDNO, record.askAnswer);
}

TEST_F(DialogRobot, WhatAPersonCannotDoFailsTheTestWithAMessage) {
    Record record;
    std::unique_ptr<BackgroundCall> call(Open(&record));
    HWND dialog = WaitForWindow(kCaption);
    ASSERT_NE(nullptr, dialog);
    ShowWindow(GetDlgItem(dialog, kHidden), SW_HIDE);
    EXPECT_NONFATAL_FAILURE(Click(dialog, kDisabled), "is disabled and cannot be clicked");
    EXPECT_NONFATAL_FAILURE(Click(dialog, kHidden), "is hidden and cannot be clicked");
    EXPECT_NONFATAL_FAILURE(Click(dialog, 555), "the dialog has no control 555");
    EXPECT_NONFATAL_FAILURE(SelectComboEntry(dialog, kCombo, "four"), "has no entry \"four\"");
    EXPECT_NONFATAL_FAILURE(WaitForWindow("No such window", 200), "no window titled \"No such window\"");
    EXPECT_NONFATAL_FAILURE(WaitUntilGone(dialog, 200), "was still open");
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(call->Wait());
    EXPECT_EQ(0, call->result());
}

TEST(MessageBoxRobot, RecordsTextCaptionIconAndButtonsAndAnswers) {
    static const struct {
        UINT style;
        int answer;
        UINT icon;
        UINT buttons;
        bool topmost;
    } kCases[] = {
        {MB_OK | MB_ICONHAND | MB_SYSTEMMODAL, IDOK, MB_ICONHAND, MB_OK, true},
        {MB_YESNO | MB_ICONEXCLAMATION, IDNO, MB_ICONEXCLAMATION, MB_YESNO, false},
        {MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL, MB_ICONQUESTION, MB_OKCANCEL, false},
        {MB_YESNOCANCEL | MB_ICONASTERISK, IDYES, MB_ICONASTERISK, MB_YESNOCANCEL, false},
        {MB_OK, IDOK, 0, MB_OK, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.style);
        BackgroundCall call([&] { return MessageBoxA(nullptr, "Line one\nline two", "Box caption", c.style); });
        const MessageBoxSeen seen = AnswerMessageBox(c.answer);
        ASSERT_TRUE(call.Wait());
        EXPECT_EQ(c.answer, call.result());
        EXPECT_EQ("Line one\nline two", seen.text);
        EXPECT_EQ("Box caption", seen.caption);
        EXPECT_EQ(c.icon, seen.icon);
        EXPECT_EQ(c.buttons, seen.buttons);
        EXPECT_EQ(c.topmost, seen.topmost);
    }
    EXPECT_NONFATAL_FAILURE(WaitForMessageBox(200), "no message box appeared within 200 ms");
}

TEST(DialogByTemplate, IsFoundByTheControlsOfItsTemplate) {
    HMODULE module = LoadLibraryA((testing_machine::MakerDirectory() + "\\LANGENG.DLL").c_str());
    ASSERT_NE(nullptr, module);
    BackgroundCall call([module] {
        return DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_PROGRESS_NOTE), nullptr,
                               [](HWND d, UINT m, WPARAM, LPARAM) -> INT_PTR {
                                   if (m == WM_CLOSE) EndDialog(d, 7);
                                   return m == WM_INITDIALOG || m == WM_CLOSE;
                               },
                               0);
    });
    HWND dialog = WaitForDialog(module, IDD_PROGRESS_NOTE);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Please wait...", ControlText(dialog, IDC_NOTE_TEXT));
    EXPECT_NONFATAL_FAILURE(WaitForDialog(module, 999, 100), "no dialog template 999");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(call.Wait());
    EXPECT_EQ(7, call.result());
}

TEST(WinHelpObserver, SeesTheFileCommandAndContextOfEveryHelpCall) {
    winhelp_observer::WinHelpObserver help;
    ASSERT_TRUE(help.ready());
    EXPECT_TRUE(WinHelpA(nullptr, "C:\\help\\setupENG.hlp", HELP_CONTEXT, 2004));
    EXPECT_TRUE(WinHelpA(nullptr, "C:\\help\\other.hlp", HELP_CONTEXT, 2107));
    ASSERT_TRUE(help.WaitForCalls(2));
    const auto calls = help.Calls();
    EXPECT_EQ("C:\\help\\setupENG.hlp", calls[0].file);
    EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), calls[0].command);
    EXPECT_EQ(2004u, calls[0].data);
    EXPECT_EQ("C:\\help\\other.hlp", calls[1].file);
    EXPECT_EQ(2107u, calls[1].data);
}

}  // namespace
