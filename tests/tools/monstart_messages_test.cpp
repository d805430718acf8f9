// monstart's message dialog on an English and on a German machine: the usage help, every refusal
// with its text, nothing closed or started after a refused command line, and the Help button.
#include "monstart_fixture.h"

#include "lang/resource.h"
#include "winhelp_observer.h"

using namespace dialog_robot;
using namespace monstart_test;
using namespace testing_journal;
using namespace testing_machine;

namespace {

std::string BadParameter(const std::string& rest) {
    return (kGermanMachine ? "falscher Parameter:" : "bad paramters in commandline: --> ") + rest;
}

std::string GridTooWide(int most) {
    return (kGermanMachine ? "zu gro\xDF" "er Wert f\xFC" "r x, mu\xDF kleiner sein als " : "to large size x, must be smaller as ") +
           std::to_string(most);
}

std::string LoadText(UINT id) {
    char text[1024] = "";
    const int n = LoadStringA(MachineModule(), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

TEST_F(MonstartTest, RefusalsShowTheirTextAndCloseOrStartNothingBeforeTheGridCheck) {
    const struct {
        const char* arguments;
        std::string text;
        bool closedFirst;  // -k came before the refusal
        int button;
    } cases[] = {
        {"-z", BadParameter("-z"), false, IDOK},
        {"-k -c3 -", BadParameter("-"), false, IDCANCEL},
        {"-k -s0 -c3", BadParameter("-s0 -c3"), false, IDOK},
        {"-s -2", BadParameter("-s -2"), false, IDOK},
        {"-s", BadParameter("-s"), false, IDOK},
        {"-x700 -s2", GridTooWide(512), false, IDOK},
        {"-s 2147483647 -x 2147483647", GridTooWide(0), false, IDOK},
        {"-k -x 20 -s 100", GridTooWide(10), true, IDCANCEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        ClearJournal();
        const DWORD other = StartDetached("C:\\testbed\\titledwindow.exe close RAS-MONITOR");
        ASSERT_NE(0u, other);
        HWND otherWindow = WaitForWindow("RAS-MONITOR");
        ASSERT_NE(nullptr, otherWindow);
        StartedMonstart program(c.arguments);
        HWND dialog = WaitForMessageDialog();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(c.text, ControlText(dialog, IDC_MONSTART_TEXT));
        Click(dialog, c.button);
        ASSERT_TRUE(program.Ended());
        EXPECT_EQ(1u, program.exitCode());
        EXPECT_TRUE(MonitorEvents("started").empty());
        const std::vector<JournalEntry> window = JournalOf("window");
        EXPECT_EQ(c.closedFirst ? 2u : 1u, window.size()) << "shown, and WM_CLOSE after -k";
        PostMessageA(otherWindow, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitForProcessEnd(other));
    }
}

TEST_F(MonstartTest, AMessageBehindALongCommandLineIsCutToTheDialogsBuffer) {
    const std::string rest = "-q" + std::string(3000, 'w');
    StartedMonstart program("-c1 " + rest);
    HWND dialog = WaitForMessageDialog();
    ASSERT_NE(nullptr, dialog);
    const std::string expected = BadParameter(rest).substr(0, 511);
    EXPECT_EQ(expected, ControlText(dialog, IDC_MONSTART_TEXT));
    Click(dialog, IDOK);
    ASSERT_TRUE(program.Ended());
}

TEST_F(MonstartTest, QuestionMarkShowsTheUsageWhoseHelpButtonOpensContext2107OrSaysThereIsNone) {
    const std::string helpName = kGermanMachine ? "SETUPGER.HLP" : "SETUPENG.HLP";
    const std::string makerHelp = MakerDirectory() + "\\" + helpName;
    StartedMonstart program("-c5 -k /?");
    HWND dialog = WaitForMessageDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("", ControlText(dialog, IDC_MONSTART_TEXT));

    // No help file anywhere: text 59 in a plain box.
    Click(dialog, IDHELP);
    const MessageBoxSeen none = AnswerMessageBox(IDOK);
    EXPECT_EQ(LoadText(IDS_HELP_FILE_NOT_FOUND), none.text);
    EXPECT_EQ(LoadText(IDS_MESSAGE_CAPTION), none.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), none.buttons);
    EXPECT_EQ(0u, none.icon);

    ASSERT_TRUE(WriteFileBytes(makerHelp, "help"));
    {
        winhelp_observer::WinHelpObserver help;
        ASSERT_TRUE(help.ready());
        Click(dialog, IDHELP);
        ASSERT_TRUE(help.WaitForCalls(1));
        EXPECT_EQ(0, lstrcmpiA(makerHelp.c_str(), help.Calls()[0].file.c_str())) << help.Calls()[0].file;
        EXPECT_EQ(static_cast<UINT>(HELP_CONTEXT), help.Calls()[0].command);
        EXPECT_EQ(static_cast<ULONG_PTR>(IDH_MONSTART_MESSAGE), help.Calls()[0].data);
    }
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(program.Ended());
    EXPECT_EQ(1u, program.exitCode());
    EXPECT_TRUE(MonitorEvents("started").empty());
}

TEST_F(MonstartTest, HelpBesideTheProgramWinsAndTheSetupLanguageChoosesModuleAndHelpFile) {
    // The other language configured: its module shows the dialog and its help file is looked for,
    // while the text built into monstart follows the system's language.
    const bool germanSetup = !kGermanMachine;
    SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "SetupLanguage", germanSetup ? "GER" : "ENG");
    const std::string helpName = germanSetup ? "SETUPGER.HLP" : "SETUPENG.HLP";
    const std::string dir = FreshDirectory("monstart copy");
    ASSERT_TRUE(CopyFileA(Monstart().c_str(), (dir + "\\monstart.exe").c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(dir + "\\" + helpName, "help"));
    ASSERT_TRUE(WriteFileBytes(MakerDirectory() + "\\" + helpName, "help"));

    HMODULE other = LoadLibraryA((MakerDirectory() + (germanSetup ? "\\LANGGER.DLL" : "\\LANGENG.DLL")).c_str());
    ASSERT_NE(nullptr, other);
    StartedMonstart program("-q", dir + "\\monstart.exe");
    HWND dialog = WaitForMessageDialog(other);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(germanSetup ? "RAS-Monitore starten" : "Remote Access Monitor launcher", WindowText(dialog));
    EXPECT_EQ(BadParameter("-q"), ControlText(dialog, IDC_MONSTART_TEXT));
    {
        winhelp_observer::WinHelpObserver help;
        ASSERT_TRUE(help.ready());
        Click(dialog, IDHELP);
        ASSERT_TRUE(help.WaitForCalls(1));
        EXPECT_EQ(dir + "\\" + helpName, help.Calls()[0].file);
        EXPECT_EQ(static_cast<ULONG_PTR>(IDH_MONSTART_MESSAGE), help.Calls()[0].data);
    }
    Click(dialog, IDOK);
    ASSERT_TRUE(program.Ended());
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "SetupLanguage");
}

}  // namespace
