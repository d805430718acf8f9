// Message boxes from string ids as a person sees them, the report of a dialog that cannot be created, and the bounded formatting.
#include <gtest/gtest.h>

#include "common/language.h"
#include "common/messages.h"
#include "common/setup_log.h"
#include "dialog_robot.h"
#include "lang/resource.h"
#include "lang_fixture.h"

using namespace dialog_robot;
using namespace lang_test;
using namespace testing_machine;

namespace {

struct Language {
    const char* setupLanguage;
    const char* caption;
    const char* noController;
    const char* dialogErrorStart;
};
const Language kLanguages[] = {
    {"ENG", "Varnek ISDN Setup", "No ISDN controller was found. Please install the CAPI 2.0 driver of your ISDN card first.",
     "The dialog \"WAN-CONFIGURE\" cannot be shown."},
    {"GER", "Varnek ISDN Installation",
     "Es wurde kein ISDN-Controller gefunden. Bitte installieren Sie zuerst den CAPI-2.0-Treiber Ihrer ISDN-Karte.",
     "Das Dialogfenster \"WAN-CONFIGURE\" kann nicht angezeigt werden."},
};

class Messages : public ::testing::Test {
protected:
    void TearDown() override {
        DetachLanguageModule();
        SetSetupLanguage(nullptr);
    }
};

TEST_F(Messages, BoxShowsTextAndCaptionOfTheLoadedModuleAndReturnsTheButton) {
    for (const Language& l : kLanguages) {
        SCOPED_TRACE(l.setupLanguage);
        SetSetupLanguage(l.setupLanguage);
        ASSERT_TRUE(AttachLanguageModule());
        BackgroundCall call([] { return MessageBoxFromIds(nullptr, IDS_WAN_NO_CONTROLLER, 0x30, IDS_MESSAGE_CAPTION); });
        const MessageBoxSeen seen = AnswerMessageBox(IDOK);
        ASSERT_TRUE(call.Wait());
        EXPECT_EQ(IDOK, call.result());
        EXPECT_EQ(l.noController, seen.text);
        EXPECT_EQ(l.caption, seen.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), seen.icon);
        EXPECT_EQ(static_cast<UINT>(MB_OK), seen.buttons);

        BackgroundCall question([] { return MessageBoxFromIds(nullptr, IDS_WAN_NONE_IN_USE, 0x34, IDS_MESSAGE_CAPTION); });
        EXPECT_EQ(static_cast<UINT>(MB_YESNO), AnswerMessageBox(IDNO).buttons);
        ASSERT_TRUE(question.Wait());
        EXPECT_EQ(IDNO, question.result());
    }
}

TEST_F(Messages, DialogErrorIsLoggedAndShownSystemModalWithTheName) {
    const std::string log = FreshDirectory("messages") + "\\setup.log";
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", log));
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", 1));
    ASSERT_TRUE(OpenSetupLog(kSetupKey, "LogName", "LogLevel"));
    for (const Language& l : kLanguages) {
        SCOPED_TRACE(l.setupLanguage);
        SetSetupLanguage(l.setupLanguage);
        ASSERT_TRUE(AttachLanguageModule());
        BackgroundCall call([] {
            ReportDialogError(nullptr, "WAN-CONFIGURE");
            return 0;
        });
        const MessageBoxSeen seen = AnswerMessageBox(IDOK);
        ASSERT_TRUE(call.Wait());
        EXPECT_EQ(0u, seen.text.find(l.dialogErrorStart)) << seen.text;
        EXPECT_EQ(l.caption, seen.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), seen.icon);
        EXPECT_EQ(static_cast<UINT>(MB_OK), seen.buttons);
        EXPECT_TRUE(seen.topmost);
    }
    CloseSetupLog();
    const std::vector<std::string> lines = SplitLines(ReadFileBytes(log));
    int reported = 0;
    for (const std::string& line : lines)
        if (line.size() > 5 && line.compare(0, 6, "33 01 ") == 0 && line.find(": Error DLG Box WAN-CONFIGURE") != std::string::npos)
            ++reported;
    EXPECT_EQ(2, reported) << ReadFileBytes(log);
}

TEST_F(Messages, TooLongANameIsCutAtTheEndOfTheTextBuffer) {
    SetSetupLanguage("ENG");
    ASSERT_TRUE(AttachLanguageModule());
    const std::string name(2000, 'N');
    BackgroundCall call([&] { return MessageBoxFromIdsFormatted(nullptr, IDS_DIALOG_NOT_CREATED, MB_OK, IDS_MESSAGE_CAPTION, name.c_str()); });
    const MessageBoxSeen seen = AnswerMessageBox(IDOK);
    ASSERT_TRUE(call.Wait());
    EXPECT_EQ(static_cast<size_t>(kFormattedMessageSize - 1), seen.text.size());
    EXPECT_EQ(0u, seen.text.find("The dialog \"NNN"));
}

TEST_F(Messages, WithoutAModuleTheBoxIsEmptyButStillAnswers) {
    DetachLanguageModule();
    BackgroundCall call([] { return MessageBoxFromIds(nullptr, IDS_DELFILES_NOT_FOUND, MB_ICONHAND, IDS_MESSAGE_CAPTION); });
    const MessageBoxSeen seen = AnswerMessageBox(IDOK);
    ASSERT_TRUE(call.Wait());
    EXPECT_EQ("", seen.text);
    EXPECT_EQ("", seen.caption);
}

TEST(FormatWithString, OnlyTheFirstStringConversionTakesTheArgument) {
    char out[64];
    static const struct {
        const char* format;
        const char* argument;
        const char* expected;
    } kCases[] = {
        {"The dialog \"%s\" is missing.", "LAN-CONFIGURE", "The dialog \"LAN-CONFIGURE\" is missing."},
        {"100%% of %s", "it", "100% of it"},
        {"[%6s][%-6s]", "ab", "[    ab][%-6s]"},
        {"[%-6s]", "ab", "[ab    ]"},
        {"[%.2s]", "abcdef", "[ab]"},
        // Conversions that would read arguments that were never passed stay as they are.
        {"%d files in %s, %s", "C:\\x", "%d files in C:\\x, %s"},
        {"%s", nullptr, "(null)"},
        {"trailing %", "x", "trailing %"},
        {"", "x", ""},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(static_cast<int>(strlen(c.expected)), FormatWithString(out, sizeof out, c.format, c.argument));
        EXPECT_STREQ(c.expected, out) << c.format;
    }
}

TEST(FormatWithString, OutputIsCutToTheBufferAndAlwaysTerminated) {
    char out[8];
    memset(out, 'x', sizeof out);
    EXPECT_EQ(7, FormatWithString(out, sizeof out, "<%s>", "a long argument"));
    EXPECT_STREQ("<a long", out);
    EXPECT_EQ(7, FormatWithString(out, sizeof out, "%20s", "a"));
    EXPECT_STREQ("       ", out);
    EXPECT_EQ(0, FormatWithString(out, 1, "abc", "a"));
    EXPECT_STREQ("", out);
}

}  // namespace
