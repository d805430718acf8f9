// The information window of each line's clean-up, watched in the test's own process: its caption
// and text in the machine's language, its owner, and that it stands from before the first step
// until after the last (the common step included).
#include <string>

#include "cleanup_fixture.h"
#include "common/language.h"
#include "common/progress_note.h"
#include "lang/resource.h"
#include "maintenance/cleanup_engine.h"

using namespace cleanup_testing;
using namespace maintenance_testing;
using namespace testing_machine;

namespace {

struct NoteSeen {
    int created = 0;
    HWND window = nullptr;
    HWND owner = nullptr;
    std::string caption, text;
    bool lineKeyWhenShown = false;
    bool makerKeyWhenClosed = true;
};

NoteSeen g_seen;
const char* g_lineKey = nullptr;

LRESULT CALLBACK WatchNote(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        if (!(create->lpcs->style & WS_CHILD) && std::string(className) == "#32770") {
            ++g_seen.created;
            g_seen.window = window;
            g_seen.owner = create->lpcs->hwndParent;
            g_seen.lineKeyWhenShown = RegKeyPresent(HKEY_LOCAL_MACHINE, g_lineKey);
        }
    } else if (code == HCBT_DESTROYWND && window == g_seen.window) {
        char text[512] = "";
        GetWindowTextA(window, text, sizeof text);
        g_seen.caption = text;
        GetDlgItemTextA(window, IDC_NOTE_TEXT, text, sizeof text);
        g_seen.text = text;
        g_seen.makerKeyWhenClosed = RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK");
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct LineNote {
    Line line;
    void (*cleanUp)(HWND, BOOL, BOOL);
    const char* lineKey;
    const char* english;
    const char* german;
};

const LineNote kNotes[] = {
    {kRouter, CleanUpRouter, "SYSTEM\\CurrentControlSet\\Services\\VrkMprSV",
     "The Varnek ISDN Multiprotocol Router is being removed from this computer. Please wait...",
     "Der Varnek ISDN Multiprotocol Router wird von diesem Computer entfernt. Bitte warten..."},
    {kRemoteAccess, CleanUpRemoteAccess, "SYSTEM\\CurrentControlSet\\Services\\VrkRas",
     "Varnek ISDN DialCore is being removed from this computer. Please wait...",
     "Varnek ISDN DialCore wird von diesem Computer entfernt. Bitte warten..."},
    {kGateway, CleanUpGateway, "SYSTEM\\CurrentControlSet\\Services\\VrkLV",
     "Linvora for Windows is being removed from this computer. Please wait...",
     "Linvora for Windows wird von diesem Computer entfernt. Bitte warten..."},
};

class CleanUpNoteTest : public CleanUpTest {};

TEST_F(CleanUpNoteTest, EachLineShowsItsNoteOwnedByTheCallerFromTheFirstStepToTheLast) {
    const bool german = LanguageModuleName() == "LANGGER.DLL";
    ASSERT_TRUE(AttachLanguageModule());
    HWND owner =
        CreateWindowA("STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    HHOOK hook = SetWindowsHookExA(WH_CBT, WatchNote, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    for (const LineNote& note : kNotes) {
        SCOPED_TRACE(LineName(note.line));
        InstallLines(note.line);
        // The shared lists of the common step name a harmless file only.
        DelFilesOverride list("[DELETE TempFiles]\r\n1=note.tmp\r\n");
        ASSERT_TRUE(WriteFileBytes(Maker("note.tmp"), "note"));
        g_seen = NoteSeen();
        g_lineKey = note.lineKey;
        note.cleanUp(owner, FALSE, TRUE);
        EXPECT_EQ(1, g_seen.created);
        EXPECT_EQ(owner, g_seen.owner);
        EXPECT_EQ(german ? "Varnek ISDN - bitte warten" : "Varnek ISDN - please wait", g_seen.caption);
        EXPECT_EQ(german ? note.german : note.english, g_seen.text);
        EXPECT_TRUE(g_seen.lineKeyWhenShown) << "the note comes before the first step";
        EXPECT_FALSE(g_seen.makerKeyWhenClosed) << "the note goes after the common step";
        EXPECT_EQ(nullptr, ProgressNoteWindow());
        EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, note.lineKey));
        EXPECT_FALSE(PathExists(Maker("note.tmp")));
    }
    UnhookWindowsHookEx(hook);
    DestroyWindow(owner);
    DetachLanguageModule();
}

}  // namespace
