// cfgcenter.exe as a program-group icon starts it: finding VRKSUDLL.DLL, its three error boxes,
// and the command line handed to the configuration center.
#include <gtest/gtest.h>

#include <string>

#include "tests/rasconfig/center_robot.h"

using namespace center_test;
using namespace dialog_robot;
using namespace testing_machine;

namespace {

const char kCaption[] = "Varnek DialCore Driver configuration error";

std::unique_ptr<Started> StartCfgcenter(const std::string& program, const std::string& commandLine) {
    return Start("\"" + program + "\"" + (commandLine.empty() ? "" : " " + commandLine));
}

std::string Cfgcenter() { return MakerDirectory() + "\\cfgcenter.exe"; }

// The tracing page shows bit 7 in special mode only.
void ExpectSpecialMode(std::unique_ptr<Started> program, bool special) {
    AnswerMessageBox(IDOK);  // no driver on this machine
    HWND center = WaitForCenter();
    ASSERT_NE(nullptr, center);
    HWND page = OpenPage(center, IDC_CENTER_TRACING, IDD_TRACING_PAGE);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(special, IsControlVisible(page, IDC_LEVEL_BIT7));
    Click(page, IDCANCEL);
    WaitUntilGone(page);
    CloseCenter(center, program.get());
    EXPECT_EQ(0u, program->result.exitCode);
}

TEST(ToolsCfgcenter, ThreeErrorBoxesEachEndTheProgramWithExitCodeZero) {
    const std::string dll = Dll(), moved = MakerDirectory() + "\\VRKSUDLL.DL_";
    ASSERT_TRUE(MoveFileA(dll.c_str(), moved.c_str()));
    const struct {
        const char* library;  // what lies in VRKSUDLL.DLL's place: nothing, no library, a library without the export
        const char* text;
    } cases[] = {
        {nullptr, "Can't find 'VRKSUDLL.DLL' in the varnek directory! Install your product new and try again!"},
        {"", "Can't load 'VRKSUDLL.DLL'! Install your product new and try again!"},
        {"\\LANGENG.DLL",
         "Can't load function CallRasConfigCenter in 'VRKSUDLL.DLL'! Install your product new and try again!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.library && *c.library) {
            ASSERT_TRUE(CopyFileA((MakerDirectory() + c.library).c_str(), dll.c_str(), FALSE));
        } else if (c.library) {
            ASSERT_TRUE(WriteFileBytes(dll, "This is not a library.\r\n"));
        }
        auto program = StartCfgcenter(Cfgcenter(), "");
        const MessageBoxSeen box = AnswerMessageBox(IDOK, 60000);
        EXPECT_EQ(c.text, box.text);
        EXPECT_EQ(kCaption, box.caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), box.icon);
        EXPECT_TRUE(box.topmost);
        ASSERT_TRUE(program->Ended());
        EXPECT_EQ(0u, program->result.exitCode);
        DeleteFileA(dll.c_str());
    }
    ASSERT_TRUE(MoveFileA(moved.c_str(), dll.c_str()));
}

TEST(ToolsCfgcenter, TheCommandLineReachesTheCenterAndACopyBesideTheProgramIsFound) {
    ExpectSpecialMode(StartCfgcenter(Cfgcenter(), ""), false);

    const std::string dir = FreshDirectory("cfgcenter copy");
    ASSERT_TRUE(CopyFileA(Cfgcenter().c_str(), (dir + "\\cfgcenter.exe").c_str(), FALSE));
    ASSERT_TRUE(MoveFileA(Dll().c_str(), (dir + "\\VRKSUDLL.DLL").c_str()));
    ExpectSpecialMode(StartCfgcenter(dir + "\\cfgcenter.exe", "SPECIAL"), true);
    MoveFileA((dir + "\\VRKSUDLL.DLL").c_str(), Dll().c_str());
}

}  // namespace
