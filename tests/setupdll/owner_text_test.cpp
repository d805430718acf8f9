// The owner text of the setup procedures: read once for every procedure, and a text that names no
// window shows each procedure's window all the same, owned by nobody.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "capi_driver.h"
#include "lang/resource.h"
#include "network_fixture.h"
#include "common/setup_procedure.h"

using namespace dialog_robot;
using namespace router_test;

namespace {

// No window has this handle: its low word is no handle index.
const char kNoWindowText[] = "7FFF0000";
const UINT_PTR kNoWindow = 0x7FFF0000;

TEST(SetupOwnerTest, TheOwnerIsTheWindowNamedTheFocusWindowOrNone) {
    ASSERT_FALSE(IsWindow(reinterpret_cast<HWND>(kNoWindow)));
    HWND focus = CreateWindowExA(0, "STATIC", "Setup", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, focus);
    SetForegroundWindow(focus);
    SetFocus(focus);
    Pump(100);
    ASSERT_EQ(focus, GetFocus());
    const UINT_PTR focusNumber = reinterpret_cast<UINT_PTR>(focus);
    char focusText[32];
    snprintf(focusText, sizeof focusText, "%llx", static_cast<unsigned long long>(focusNumber));

    const struct {
        DWORD argc;
        std::vector<const char*> argv;
        HWND owner;
        UINT_PTR shown;
        const char* parameter;
    } cases[] = {
        {1, {focusText}, focus, focusNumber, nullptr},
        {2, {kNoWindowText, "INSTALL"}, nullptr, kNoWindow, "INSTALL"},
        {1, {nullptr}, focus, focusNumber, nullptr},
        {2, {nullptr, "x"}, focus, focusNumber, "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argv[0] ? c.argv[0] : "(null)");
        std::vector<LPSTR> argv;
        for (const char* a : c.argv) argv.push_back(const_cast<LPSTR>(a));
        const SetupArguments parsed = ParseSetupArguments(c.argc, argv.data());
        EXPECT_EQ(c.owner, parsed.window);
        EXPECT_EQ(c.shown, parsed.shownWindow);
        EXPECT_STREQ(c.parameter, parsed.parameter);
    }
    DestroyWindow(focus);
}

// The dialogs that the procedure's thread creates, and the owner of the last one. One procedure
// runs at a time.
struct DialogsSeen {
    int count = 0;
    HWND owner = nullptr;
};
DialogsSeen g_seen;

LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        char className[32] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
        if (!(create->lpcs->style & WS_CHILD) && strcmp(className, "#32770") == 0) {
            ++g_seen.count;
            g_seen.owner = create->lpcs->hwndParent;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const char kLanParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprLan\\Parameters";

// Install mode marks every adapter, and a cancelled dialog saves the marks as they stand.
void ExpectEveryAdapterOwned() { EXPECT_EQ((List{"EL59X1", "E100B1"}), ReadList(kLanParameters, "Controllers")); }

struct Procedure {
    const char* exportName;
    const char* parameter;
    WORD dialog;  // answered with Cancel; 0: the information window, which the procedure closes itself
    const char* result;
    void (*check)();
};

const Procedure kProcedures[] = {
    {"VrkMprWanConfig", nullptr, IDD_WAN_CONFIG, "USER_CANCEL", nullptr},
    {"VrkRasWanConfig", nullptr, IDD_WAN_CONFIG, "USER_CANCEL", nullptr},
    {"VrkMprIPIPXConfig", nullptr, IDD_IPIPX_CONFIG, "USER_CANCEL", nullptr},
    {"VrkMprConfigureFirstLink", nullptr, IDD_FIRST_LINK, "USER_CANCEL", nullptr},
    {"VrkMprLanConfig", "INSTALL", IDD_LAN_CONFIG, "USER_CANCEL", ExpectEveryAdapterOwned},
    {"VrkMprStopProcesses", nullptr, 0, "OK", nullptr},
    {"VrkRasStopProcesses", nullptr, 0, "OK", nullptr},
    {"VrkLVStopProcesses", nullptr, 0, "OK", nullptr},
    // The removals last: they take the package's keys and files with them.
    {"VrkMprCleanUp", nullptr, 0, "OK", nullptr},
    {"VrkRasCleanUp", nullptr, 0, "OK", nullptr},
    {"VrkLVCleanUp", nullptr, 0, "OK", nullptr},
};

TEST(SetupOwnerTest, EveryProcedureShowsItsWindowForAnOwnerTextThatNamesNoWindow) {
    ASSERT_TRUE(testing_capi::ProvisionShape("one-card"));
    ProvisionNetwork("two-cards");
    WriteList(kLanParameters, "Controllers", {"EL59X1"});
    // Each removal takes DELFILES.DAT with it; the next one gets it back, as a fresh installation has it.
    const std::string delfiles = testing_machine::MakerDirectory() + "\\DELFILES.DAT";
    const char kDelfilesCopy[] = "C:\\temp\\delfiles.bak";
    ASSERT_TRUE(CopyFileA(delfiles.c_str(), kDelfilesCopy, FALSE));
    SetupDll dll;
    ASSERT_NE(nullptr, dll.module());
    for (const Procedure& p : kProcedures) {
        SCOPED_TRACE(p.exportName);
        ASSERT_TRUE(CopyFileA(kDelfilesCopy, delfiles.c_str(), FALSE));
        using Export = BOOL(WINAPI*)(DWORD, LPSTR*, LPSTR*);
        const Export procedure =
            reinterpret_cast<Export>(reinterpret_cast<void*>(GetProcAddress(dll.module(), p.exportName)));
        ASSERT_NE(nullptr, procedure);
        std::string owner = kNoWindowText, parameter = p.parameter ? p.parameter : "";
        LPSTR argv[] = {&owner[0], &parameter[0]};
        LPSTR result = nullptr;
        g_seen = DialogsSeen();
        BackgroundCall call([&] {
            HHOOK hook = SetWindowsHookExA(WH_CBT, WatchDialogs, nullptr, GetCurrentThreadId());
            const BOOL returned = procedure(p.parameter ? 2 : 1, argv, &result);
            if (hook) UnhookWindowsHookEx(hook);
            return static_cast<INT_PTR>(returned);
        });
        if (p.dialog) {
            HWND dialog = WaitForDialog(RobotLanguageModule(), p.dialog);
            ASSERT_NE(nullptr, dialog);
            Click(dialog, IDCANCEL);
        }
        ASSERT_TRUE(call.Wait(60000));
        EXPECT_TRUE(call.result());
        EXPECT_STREQ(p.result, result);
        EXPECT_EQ(1, g_seen.count);
        EXPECT_EQ(nullptr, g_seen.owner);
        if (p.check) p.check();
    }
}

}  // namespace
