// The router's setup procedures on a machine whose language modules are gone: every dialog fails
// to be created, is reported, and its procedure fails with its own result text.
#include <gtest/gtest.h>

#include <algorithm>

#include "network_fixture.h"

using namespace dialog_robot;
using namespace router_test;
using namespace testing_machine;

namespace {

TEST(RouterDialogErrorsTest, EachProcedureReportsItsDialogAndFails) {
    // Renamed in place: the module search walks the whole drive, so a copy elsewhere would be found.
    const std::string maker = MakerDirectory();
    for (const char* name : {"LANGENG", "LANGGER"})
        ASSERT_TRUE(MoveFileA((maker + "\\" + name + ".DLL").c_str(), (maker + "\\" + name + ".DL_").c_str())) << name;
    const List bindBefore = ReadList("SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage", "Bind");

    const struct {
        const char* exportName;
        const char* dialogName;
        const char* result;
    } cases[] = {
        {"VrkMprIPIPXConfig", "IPIPX-Number", "ERROR_DLGBOX_NOT_CREATE(IPIPX-Number)"},
        {"VrkMprConfigureFirstLink", "Firstlink", "ERROR_DLGBOX_NOT_CREATE(IPIPX-Number)"},
        {"VrkMprLanConfig", "LAN-CONFIGURE", "ERROR_DLGBOX_NOT_CREATE(LANCONTROLLER)"},
    };
    {
        SetupDll dll;
        for (const auto& c : cases) {
            SCOPED_TRACE(c.exportName);
            SetupCall call(dll, c.exportName, {"0", "INSTALL"});
            const MessageBoxSeen report = AnswerMessageBox(IDOK);
            EXPECT_TRUE(report.topmost) << "the report is system-modal";
            EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), report.icon);
            ASSERT_TRUE(call.Finish());
            EXPECT_FALSE(call.returned());
            EXPECT_EQ(c.result, call.result());
            const List log = LogMessages();
            EXPECT_NE(log.end(), std::find(log.begin(), log.end(), std::string("Error DLG Box ") + c.dialogName));
        }
    }
    for (const char* name : {"LANGENG", "LANGGER"})
        MoveFileA((maker + "\\" + name + ".DL_").c_str(), (maker + "\\" + name + ".DLL").c_str());

    // Nothing of any dialog was written.
    EXPECT_FALSE(HasValue("SOFTWARE\\VARNEK\\VrkMpr\\Base\\router", "ipx_net"));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr\\Base\\Link"));
    EXPECT_FALSE(HasValue("SYSTEM\\CurrentControlSet\\Services\\VrkMprLan\\Parameters", "Controllers"));
    EXPECT_EQ(bindBefore, ReadList("SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage", "Bind"));
}

}  // namespace
