// The information window and the small dialog services, on the windows of the language module.
#include <gtest/gtest.h>

#include "common/dialog_controls.h"
#include "common/language.h"
#include "common/progress_note.h"
#include "dialog_robot.h"
#include "lang/resource.h"
#include "lang_fixture.h"

using namespace dialog_robot;
using namespace lang_test;

namespace {

struct Texts {
    const char* setupLanguage;
    const char* caption;
    const char* routerNote;
    const char* remoteAccessNote;
};
const Texts kTexts[] = {
    {"ENG", "Varnek ISDN - please wait",
     "The Varnek ISDN Multiprotocol Router is being removed from this computer. Please wait...",
     "Varnek ISDN DialCore is being removed from this computer. Please wait..."},
    {"GER", "Varnek ISDN - bitte warten",
     "Der Varnek ISDN Multiprotocol Router wird von diesem Computer entfernt. Bitte warten...",
     "Varnek ISDN DialCore wird von diesem Computer entfernt. Bitte warten..."},
};

class ProgressNote : public ::testing::Test {
protected:
    void TearDown() override {
        CloseProgressNote();
        DetachLanguageModule();
        SetSetupLanguage(nullptr);
    }
};

TEST_F(ProgressNote, IsCreatedOnceItsTextChangesAndItCloses) {
    for (const Texts& t : kTexts) {
        SCOPED_TRACE(t.setupLanguage);
        SetSetupLanguage(t.setupLanguage);
        ASSERT_TRUE(AttachLanguageModule());
        ShowProgressNote(nullptr, IDS_NOTE_CLEAN_ROUTER, IDS_NOTE_CAPTION);
        HWND note = WaitForDialog(LanguageModule(), IDD_PROGRESS_NOTE, 2000);
        ASSERT_NE(nullptr, note);
        EXPECT_EQ(note, ProgressNoteWindow());
        EXPECT_TRUE(IsWindowVisible(note));
        EXPECT_EQ(t.caption, WindowText(note));
        EXPECT_EQ(t.routerNote, ControlText(note, IDC_NOTE_TEXT));

        // A second note while one is open changes nothing, not even the text.
        ShowProgressNote(nullptr, IDS_NOTE_CLEAN_REMOTE_ACCESS, IDS_MESSAGE_CAPTION);
        EXPECT_EQ(note, ProgressNoteWindow());
        EXPECT_EQ(t.routerNote, ControlText(note, IDC_NOTE_TEXT));
        EXPECT_EQ(t.caption, WindowText(note));

        SetProgressNoteText(IDS_NOTE_CLEAN_REMOTE_ACCESS);
        EXPECT_EQ(t.remoteAccessNote, ControlText(note, IDC_NOTE_TEXT));

        CloseProgressNote();
        EXPECT_FALSE(IsWindow(note));
        EXPECT_EQ(nullptr, ProgressNoteWindow());
        SetProgressNoteText(IDS_NOTE_CLEAN_ROUTER);  // no note: nothing to change
        CloseProgressNote();
    }
}

TEST_F(ProgressNote, OwnedByTheCallersWindowAndOpenedAgainAfterClosing) {
    SetSetupLanguage("ENG");
    ASSERT_TRUE(AttachLanguageModule());
    HWND owner = CreateWindowA("STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    ShowProgressNote(owner, IDS_NOTE_STOP_ROUTER, IDS_NOTE_CAPTION);
    HWND first = ProgressNoteWindow();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(owner, GetWindow(first, GW_OWNER));
    CloseProgressNote();
    ShowProgressNote(nullptr, IDS_NOTE_STOP_GATEWAY, IDS_NOTE_CAPTION);
    ASSERT_NE(nullptr, ProgressNoteWindow());
    EXPECT_EQ("The Linvora windows are being closed and the log service is being stopped. Please wait...",
              ControlText(ProgressNoteWindow(), IDC_NOTE_TEXT));
    DestroyWindow(owner);
}

TEST_F(ProgressNote, WithoutALanguageModuleNoNoteAppears) {
    DetachLanguageModule();
    ShowProgressNote(nullptr, IDS_NOTE_CLEAN_ROUTER, IDS_NOTE_CAPTION);
    EXPECT_EQ(nullptr, ProgressNoteWindow());
}

TEST_F(ProgressNote, CaptionOfProductAndStringAndControlsDisabledAndHidden) {
    SetSetupLanguage("GER");
    ASSERT_TRUE(AttachLanguageModule());
    ShowProgressNote(nullptr, IDS_NOTE_CLEAN_ROUTER, IDS_NOTE_CAPTION);
    HWND note = ProgressNoteWindow();
    ASSERT_NE(nullptr, note);

    SetDialogCaption(note, 2, IDS_WAN_CAPTION);
    EXPECT_EQ("Varnek ISDN Multiprotocol Router WAN-Konfiguration", WindowText(note));
    SetDialogCaption(note, 8, 0);
    EXPECT_EQ("Varnek ISDN DialCore ", WindowText(note));
    SetDialogCaption(note, 5, IDS_CONTROLLER_CAPTION);
    EXPECT_EQ("UNKNOWN_PRODUCT_ID Controller-Einstellungen", WindowText(note));

    SetControlDisabled(note, IDC_NOTE_TEXT, TRUE);
    EXPECT_FALSE(IsControlEnabled(note, IDC_NOTE_TEXT));
    SetControlDisabled(note, IDC_NOTE_TEXT, FALSE);
    EXPECT_TRUE(IsControlEnabled(note, IDC_NOTE_TEXT));
    SetControlHidden(note, IDC_NOTE_TEXT, TRUE);
    EXPECT_FALSE(IsControlVisible(note, IDC_NOTE_TEXT));
    SetControlHidden(note, IDC_NOTE_TEXT, FALSE);
    EXPECT_TRUE(IsControlVisible(note, IDC_NOTE_TEXT));
}

}  // namespace
