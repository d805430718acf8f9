// The language modules as the package installs them: every string id in both languages, the icon, and dialogs a person can use.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "dialog_template.h"
#include "dialog_text_fit.h"
#include "lang/resource.h"
#include "machine.h"

using namespace testing_machine;

namespace {

struct StringId {
    UINT id;
    int stringArguments;  // how many "%s" the text takes
};
const StringId kStringIds[] = {
    {IDS_CLEAN_NOTHING_DETECTED, 0}, {IDS_MESSAGE_CAPTION, 0},           {IDS_CLEAN_CONFIRM, 1},
    {IDS_DIALOG_NOT_CREATED, 1},     {IDS_CLEAN_RESTART_QUESTION, 1},    {IDS_DELFILES_NOT_FOUND, 0},
    {IDS_RESTART_FAILED, 0},         {IDS_X31_NO_CHANNELS, 0},           {IDS_WAN_NO_CONTROLLER, 0},
    {IDS_WAN_NONE_IN_USE, 0},        {IDS_WAN_X31_TAKE_OVER, 0},         {IDS_IPIPX_REPLACE_GATEWAYS, 0},
    {IDS_IPIPX_BAD_ADDRESS, 0},      {IDS_FIRSTLINK_PASSWORD_MISMATCH, 0}, {IDS_WAN_CAPTION, 0},
    {IDS_CONTROLLER_CAPTION, 0},     {IDS_NOTE_CLEAN_GATEWAY, 0},        {IDS_NOTE_CLEAN_REMOTE_ACCESS, 0},
    {IDS_NOTE_CLEAN_ROUTER, 0},      {IDS_NOTE_CAPTION, 0},              {IDS_NOTE_STOP_GATEWAY, 0},
    {IDS_NOTE_STOP_REMOTE_ACCESS, 0}, {IDS_NOTE_STOP_ROUTER, 0},         {IDS_HELP_FILE_NOT_FOUND, 0},
    {IDS_CALLER_BAD_NUMBER, 0},      {IDS_CALLER_REPLACE, 0},            {IDS_TRACE_VIEWER_FAILED, 0},
    {IDS_DRIVER_UNREACHABLE, 0},     {IDS_DRIVER_UNREACHABLE_CAPTION, 0},
};

const WORD kDialogIds[] = {IDD_PRODUCT_CHOICE, IDD_MONSTART_MESSAGE, IDD_LAN_CONFIG,   IDD_PROGRESS_NOTE,
                           IDD_IPIPX_CONFIG,   IDD_MSNEAZ_PAGE,      IDD_WAN_CONFIG,   IDD_CONTROLLER,
                           IDD_X31_CONFIG,     IDD_INCALLER_PAGE,    IDD_DEFAULT_PROTOCOLS_PAGE,
                           IDD_LOGGING_PAGE,   IDD_CONFIG_CENTER,    IDD_FIRST_LINK,   IDD_TRACING_PAGE};

const UINT kNoteTexts[] = {IDS_NOTE_CLEAN_GATEWAY, IDS_NOTE_CLEAN_REMOTE_ACCESS, IDS_NOTE_CLEAN_ROUTER,
                           IDS_NOTE_STOP_GATEWAY,  IDS_NOTE_STOP_REMOTE_ACCESS,  IDS_NOTE_STOP_ROUTER};

// Counts printf conversions: "%s" apart, any other conversion apart; "%%" is none.
void CountConversions(const std::string& text, int* strings, int* others) {
    *strings = *others = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (text[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < text.size() && strchr("-+ #0123456789.", text[j])) ++j;
        if (j < text.size() && text[j] == 's') ++*strings;
        else ++*others;
        i = j;
    }
}

class LanguageModules : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        english_ = LoadLibraryA((MakerDirectory() + "\\LANGENG.DLL").c_str());
        german_ = LoadLibraryA((MakerDirectory() + "\\LANGGER.DLL").c_str());
    }
    void SetUp() override {
        ASSERT_NE(nullptr, english_) << "LANGENG.DLL is not installed in the maker's directory";
        ASSERT_NE(nullptr, german_) << "LANGGER.DLL is not installed in the maker's directory";
    }
    static std::string Text(HMODULE module, UINT id) {
        char text[1024] = "";
        const int n = LoadStringA(module, id, text, sizeof text);
        return std::string(text, n > 0 ? n : 0);
    }
    static HMODULE english_, german_;
};
HMODULE LanguageModules::english_ = nullptr;
HMODULE LanguageModules::german_ = nullptr;

TEST_F(LanguageModules, EveryStringIdHasAnEnglishAndADifferentGermanTextWithItsFormat) {
    for (const StringId& s : kStringIds) {
        const std::string en = Text(english_, s.id), de = Text(german_, s.id);
        EXPECT_FALSE(en.empty()) << "English string " << s.id;
        EXPECT_FALSE(de.empty()) << "German string " << s.id;
        EXPECT_NE(en, de) << "string " << s.id << " is not translated";
        for (const std::string* text : {&en, &de}) {
            int strings = 0, others = 0;
            CountConversions(*text, &strings, &others);
            EXPECT_EQ(s.stringArguments, strings) << "string " << s.id << ": " << *text;
            EXPECT_EQ(0, others) << "string " << s.id << ": " << *text;
            EXPECT_LT(text->size(), 512u) << "string " << s.id << " does not fit the message buffer";
        }
    }
    EXPECT_LT(Text(english_, IDS_MESSAGE_CAPTION).size(), 128u);
    EXPECT_LT(Text(german_, IDS_MESSAGE_CAPTION).size(), 128u);
}

TEST_F(LanguageModules, GermanTextsCarryTheirUmlautsInCodePage1252) {
    EXPECT_NE(std::string::npos, Text(german_, IDS_CLEAN_CONFIRM).find("M\xF6" "chten"));
    EXPECT_NE(std::string::npos, Text(german_, IDS_DIALOG_NOT_CREATED).find("besch\xE4" "digt"));
    EXPECT_NE(std::string::npos, Text(german_, IDS_CLEAN_RESTART_QUESTION).find("schlie\xDF" "en"));
    EXPECT_NE(std::string::npos, Text(german_, IDS_CALLER_BAD_NUMBER).find("ung\xFC" "ltig"));
}

TEST_F(LanguageModules, EachModuleHoldsItsResourcesInItsOwnLanguage) {
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const WORD german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    // String ids 1 to 15 make up the first block of the string table.
    LPCSTR firstBlock = MAKEINTRESOURCEA(1);
    EXPECT_NE(nullptr, FindResourceExA(english_, reinterpret_cast<LPCSTR>(RT_STRING), firstBlock, english));
    EXPECT_NE(nullptr, FindResourceExA(german_, reinterpret_cast<LPCSTR>(RT_STRING), firstBlock, german));
    LPCSTR note = MAKEINTRESOURCEA(IDD_PROGRESS_NOTE);
    EXPECT_NE(nullptr, FindResourceExA(english_, reinterpret_cast<LPCSTR>(RT_DIALOG), note, english));
    EXPECT_NE(nullptr, FindResourceExA(german_, reinterpret_cast<LPCSTR>(RT_DIALOG), note, german));
}

TEST_F(LanguageModules, CenterIconIsInBothModules) {
    for (HMODULE module : {english_, german_}) {
        HICON icon = LoadIconA(module, MAKEINTRESOURCEA(IDI_CONFIG_CENTER));
        ASSERT_NE(nullptr, icon);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        EXPECT_EQ(32, bitmap.bmWidth);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
}

// Later dialogs join this check by their template alone: a dialog must exist in both modules with
// the same control ids, laid out so that its controls lie inside it and do not cover each other.
TEST_F(LanguageModules, EveryDialogIsInBothModulesWithTheSameControlsAndAUsableLayout) {
    int dialogs = 0;
    for (WORD id : kDialogIds) {
        const dialog_template::Template en = dialog_template::Load(english_, id);
        const dialog_template::Template de = dialog_template::Load(german_, id);
        EXPECT_EQ(en.found, de.found) << "dialog " << id << " is in one module only";
        if (!en.found || !de.found) continue;
        ++dialogs;
        std::multiset<int> enIds, deIds;
        for (const auto& c : en.controls) enIds.insert(c.id);
        for (const auto& c : de.controls) deIds.insert(c.id);
        EXPECT_EQ(enIds, deIds) << "dialog " << id << " has other controls in German";
        for (const auto* t : {&en, &de})
            for (const std::string& problem : dialog_template::LayoutProblems(*t))
                ADD_FAILURE() << "dialog " << id << ": " << problem;
    }
    EXPECT_GE(dialogs, 1);
}

// Alt and a letter reach one control: two controls of a dialog with the same access key leave the
// second out of reach from the keyboard.
TEST_F(LanguageModules, NoDialogGivesOneAccessKeyToTwoControls) {
    for (HMODULE module : {english_, german_}) {
        for (WORD id : kDialogIds) {
            const dialog_template::Template dialog = dialog_template::Load(module, id);
            std::map<char, std::string> keys;
            for (const auto& control : dialog.controls) {
                const std::string& text = control.text;
                for (size_t i = 0; i + 1 < text.size(); ++i) {
                    if (text[i] != '&') continue;
                    if (text[i + 1] == '&') {
                        ++i;
                        continue;
                    }
                    const char key = static_cast<char>(toupper(static_cast<unsigned char>(text[i + 1])));
                    const auto known = keys.emplace(key, text);
                    EXPECT_TRUE(known.second) << (module == german_ ? "German" : "English") << " dialog " << id
                                              << ": \"" << known.first->second << "\" and \"" << text << "\"";
                    break;
                }
            }
        }
    }
}

// Wine draws the caption buttons as Marlett glyphs and "MS Shell Dlg" in Tahoma. Without them the
// buttons show letters and every dialog is drawn, and measured below, in some stand-in font.
TEST_F(LanguageModules, TheMachineHasTheFontsDialogsAreDrawnWith) {
    for (const char* face : {"Marlett", "Tahoma"}) {
        LOGFONTA wanted = {};
        wanted.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
        int found = 0;
        HDC dc = GetDC(nullptr);
        EnumFontFamiliesExA(
            dc, &wanted, [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM count) -> int {
                ++*reinterpret_cast<int*>(count);
                return 0;
            },
            reinterpret_cast<LPARAM>(&found), 0);
        ReleaseDC(nullptr, dc);
        EXPECT_NE(0, found) << face << " is not installed";
    }
}

// Every text of every dialog, in the font the machine draws the dialog with, fits the control that
// shows it: no label, button or description is cut off in either language.
TEST_F(LanguageModules, EveryTextOfEveryDialogFitsItsControl) {
    for (HMODULE module : {english_, german_}) {
        const char* language = module == german_ ? "German" : "English";
        for (WORD id : kDialogIds) {
            HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(id), nullptr,
                                             [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR { return m == WM_INITDIALOG; }, 0);
            ASSERT_NE(nullptr, dialog) << language << " dialog " << id;
            for (const std::string& problem : dialog_text_fit::Problems(dialog))
                ADD_FAILURE() << language << " dialog " << id << ": " << problem;
            DestroyWindow(dialog);
        }
    }
}

TEST_F(LanguageModules, InformationWindowShowsTheLongestNoteTextWhole) {
    for (HMODULE module : {english_, german_}) {
        const dialog_template::Template t = dialog_template::Load(module, IDD_PROGRESS_NOTE);
        ASSERT_TRUE(t.found);
        bool hasText = false;
        for (const auto& c : t.controls) hasText |= c.id == IDC_NOTE_TEXT && c.kind == "STATIC";
        EXPECT_TRUE(hasText) << "static text 1023 is missing";

        HWND note = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_PROGRESS_NOTE), nullptr,
                                       [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR { return m == WM_INITDIALOG; }, 0);
        ASSERT_NE(nullptr, note);
        HWND text = GetDlgItem(note, IDC_NOTE_TEXT);
        ASSERT_NE(nullptr, text);
        RECT area;
        GetClientRect(text, &area);
        HDC dc = GetDC(text);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(text, WM_GETFONT, 0, 0)));
        for (UINT id : kNoteTexts) {
            const std::string s = Text(module, id);
            RECT needed = area;
            DrawTextA(dc, s.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            EXPECT_LE(needed.bottom - needed.top, area.bottom - area.top) << "cut off: " << s;
            EXPECT_LE(needed.right - needed.left, area.right - area.left) << "cut off: " << s;
        }
        SelectObject(dc, old);
        ReleaseDC(text, dc);
        DestroyWindow(note);
    }
}

}  // namespace
