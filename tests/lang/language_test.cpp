// Choosing and loading the language module, and the help file of the setup language, on English and German machines.
#include <gtest/gtest.h>

#include "common/help.h"
#include "common/language.h"
#include "lang/resource.h"
#include "lang_fixture.h"
#include "winhelp_observer.h"

using namespace lang_test;
using namespace testing_machine;

namespace {

class LanguageChoice : public ::testing::Test {
protected:
    void TearDown() override {
        DetachLanguageModule();
        SetSetupLanguage(nullptr);
    }
    std::string HelpFile(const char* language) {
        return Expand(std::string("%SystemRoot%\\SYSTEM32\\VARNEK\\setup") + language + ".hlp");
    }
    winhelp_observer::WinHelpObserver help_;
};

TEST_F(LanguageChoice, SystemLanguageIsTheMachines) { EXPECT_EQ(kGermanMachine, IsGermanSystem()); }

TEST_F(LanguageChoice, SetupLanguageChoosesTheModuleAndTheHelpFile) {
    static const struct {
        const char* value;  // null: no value
        DWORD type;
        int language;       // GetSetupLanguage on an English and on a German machine
        int languageDe;
        const char* module; // loaded on an English and on a German machine
        const char* moduleDe;
        const char* help;   // help file on an English and on a German machine
        const char* helpDe;
    } kRows[] = {
        {"GER", REG_SZ, 1, 1, "LANGGER.DLL", "LANGGER.DLL", "GER", "GER"},
        {"german", REG_SZ, 1, 1, "LANGGER.DLL", "LANGGER.DLL", "GER", "GER"},
        {"ENG", REG_SZ, 2, 2, "LANGENG.DLL", "LANGENG.DLL", "ENG", "ENG"},
        {"English", REG_SZ, 2, 2, "LANGENG.DLL", "LANGENG.DLL", "ENG", "ENG"},
        {"DETECT", REG_SZ, 2, 1, "LANGENG.DLL", "LANGGER.DLL", "ENG", "GER"},
        // An unknown language takes the system's module, but the help stays English.
        {"FRENCH", REG_SZ, 0, 0, "LANGENG.DLL", "LANGGER.DLL", "ENG", "ENG"},
        {nullptr, REG_SZ, 2, 1, "LANGENG.DLL", "LANGGER.DLL", "ENG", "GER"},
        // Only REG_SZ counts as configured.
        {"GER", REG_EXPAND_SZ, 2, 1, "LANGENG.DLL", "LANGGER.DLL", "ENG", "GER"},
    };
    size_t calls = 0;
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.value ? row.value : "(missing)");
        SetSetupLanguage(row.value, row.type);
        EXPECT_EQ(kGermanMachine ? row.languageDe : row.language, GetSetupLanguage());
        ASSERT_TRUE(AttachLanguageModule());
        const std::string module = ModulePath(LanguageModule());
        EXPECT_TRUE(EndsWithNoCase(module, kGermanMachine ? row.moduleDe : row.module)) << module;
        EXPECT_TRUE(EndsWithNoCase(module, MakerDirectory().substr(2) + "\\" + (kGermanMachine ? row.moduleDe : row.module)))
            << "not the maker's copy: " << module;

        EXPECT_TRUE(ShowSetupHelp(nullptr, IDH_WAN_CONFIG));
        ASSERT_TRUE(help_.WaitForCalls(++calls));
        const winhelp_observer::HelpCall call = help_.Calls().back();
        EXPECT_EQ(0, lstrcmpiA(HelpFile(kGermanMachine ? row.helpDe : row.help).c_str(), call.file.c_str())) << call.file;
        EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), call.command);
        EXPECT_EQ(static_cast<ULONG_PTR>(IDH_WAN_CONFIG), call.data);
    }
}

TEST_F(LanguageChoice, HelpFileOfTheCallerIsExpandedAndUsedInAnyLanguage) {
    SetSetupLanguage("GER");
    EXPECT_TRUE(ShowSetupHelp(nullptr, IDH_MONSTART_MESSAGE, "%SystemRoot%\\SYSTEM32\\VARNEK\\SETUPENG.HLP"));
    ASSERT_TRUE(help_.WaitForCalls(1));
    EXPECT_EQ(Expand("%SystemRoot%\\SYSTEM32\\VARNEK\\SETUPENG.HLP"), help_.Calls()[0].file);
    EXPECT_EQ(static_cast<ULONG_PTR>(IDH_MONSTART_MESSAGE), help_.Calls()[0].data);
}

TEST_F(LanguageChoice, GivenDirectoryIsPreferredToTheMakersDirectory) {
    const std::string dir = FreshDirectory("langdir");
    const char* own = kGermanMachine ? "LANGGER.DLL" : "LANGENG.DLL";
    ASSERT_TRUE(CopyFileA((MakerDirectory() + "\\" + own).c_str(), (dir + "\\" + own).c_str(), FALSE));

    ASSERT_TRUE(AttachLanguageModule(dir.c_str()));
    EXPECT_EQ(0, lstrcmpiA((dir + "\\" + own).c_str(), ModulePath(LanguageModule()).c_str()))
        << ModulePath(LanguageModule());

    // A directory without the module: the maker's copy, and the first one is let go.
    const std::string empty = FreshDirectory("langdir-empty");
    ASSERT_TRUE(AttachLanguageModule(empty.c_str()));
    EXPECT_TRUE(EndsWithNoCase(ModulePath(LanguageModule()), MakerDirectory().substr(2) + "\\" + own));
    EXPECT_EQ(nullptr, GetModuleHandleA((dir + "\\" + own).c_str()));

    DetachLanguageModule();
    EXPECT_EQ(nullptr, LanguageModule());
    DeleteFileA((dir + "\\" + own).c_str());
}

TEST_F(LanguageChoice, WithoutAnyModuleTheTextsAreEmpty) {
    const std::string hidden = FreshDirectory("hidden-modules");
    for (const char* name : {"LANGENG.DLL", "LANGGER.DLL"})
        ASSERT_TRUE(MoveFileA((MakerDirectory() + "\\" + name).c_str(), (hidden + "\\" + name + ".away").c_str()));
    const BOOL attached = AttachLanguageModule();
    char text[64] = "left over";
    const int length = LoadLanguageString(IDS_MESSAGE_CAPTION, text, sizeof text);
    for (const char* name : {"LANGENG.DLL", "LANGGER.DLL"})
        MoveFileA((hidden + "\\" + name + ".away").c_str(), (MakerDirectory() + "\\" + name).c_str());

    EXPECT_FALSE(attached);
    EXPECT_EQ(nullptr, LanguageModule());
    EXPECT_EQ(0, length);
    EXPECT_STREQ("", text);
}

TEST_F(LanguageChoice, StringsComeFromTheLoadedModule) {
    char text[64];
    SetSetupLanguage("ENG");
    ASSERT_TRUE(AttachLanguageModule());
    EXPECT_EQ(17, LoadLanguageString(IDS_MESSAGE_CAPTION, text, sizeof text));
    EXPECT_STREQ("Varnek ISDN Setup", text);
    // A buffer too small gets the beginning, terminated.
    EXPECT_EQ(7, LoadLanguageString(IDS_MESSAGE_CAPTION, text, 8));
    EXPECT_STREQ("Varnek ", text);
    SetSetupLanguage("GER");
    ASSERT_TRUE(AttachLanguageModule());
    LoadLanguageString(IDS_WAN_CAPTION, text, sizeof text);
    EXPECT_STREQ("WAN-Konfiguration", text);
    EXPECT_EQ(0, LoadLanguageString(9999, text, sizeof text));
    EXPECT_STREQ("", text);
}

}  // namespace
