// CallRasConfigCenter in the test's own process, where the DLL's language module and the memory
// the caller passes can be watched.
#include <gtest/gtest.h>

#include <string>

#include "center_robot.h"
#include "winhelp_observer.h"

using namespace center_test;
using namespace dialog_robot;
using namespace testing_machine;

namespace {

using SetupProcedure = BOOL(WINAPI*)(DWORD argc, LPSTR argv[], LPSTR* result);

// Read-only memory: a procedure that wrote into its parameter would end the test here.
const char kReadOnlyParameter[] = "Special";

SetupProcedure Procedure(HMODULE dll, const char* name) {
    return reinterpret_cast<SetupProcedure>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// Calls the procedure on a thread of its own; true when it answered TRUE and "OK".
std::unique_ptr<BackgroundCall> CallInBackground(SetupProcedure procedure, const char* parameter) {
    return std::make_unique<BackgroundCall>([procedure, parameter] {
        char window[] = "0";
        LPSTR argv[] = {window, const_cast<LPSTR>(parameter), nullptr};
        LPSTR result = nullptr;
        const BOOL returned = procedure(2, argv, &result);
        return INT_PTR(returned && result && std::string(result) == "OK");
    });
}

std::string ModuleName() { return kGermanMachine ? "\\LANGGER.DLL" : "\\LANGENG.DLL"; }

// First: no copy of a language module may lie anywhere on the drive while this runs.
TEST(RasconfigCenterModule, AFailedLanguageAttachIsReportedAndOpensNothingElse) {
    const std::string maker = MakerDirectory();
    for (const char* name : {"\\LANGENG", "\\LANGGER"})
        ASSERT_TRUE(MoveFileA((maker + name + ".DLL").c_str(), (maker + name + ".DL_").c_str()));
    HMODULE dll = LoadLibraryA(Dll().c_str());
    ASSERT_NE(nullptr, dll);
    auto call = CallInBackground(Procedure(dll, "CallRasConfigCenter"), "");
    const MessageBoxSeen box = AnswerMessageBox(IDOK, 60000);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), box.icon);
    EXPECT_TRUE(box.topmost);
    // Answering the one report ends the call: no warning and no center came after it.
    EXPECT_TRUE(call->Wait(60000));
    EXPECT_EQ(1, call->result());
    for (const char* name : {"\\LANGENG", "\\LANGGER"})
        MoveFileA((maker + name + ".DL_").c_str(), (maker + name + ".DLL").c_str());
    EXPECT_NE(std::string::npos, ReadFileBytes("c:\\temp\\setup.log").find("Error DLG Box VrkRas Configuration Center"));
    FreeLibrary(dll);
}

TEST(RasconfigCenterModule, TheCallersModuleStaysAndTheParameterIsOnlyRead) {
    const std::string copies = FreshDirectory("langcopy");
    for (const char* name : {"\\LANGENG.DLL", "\\LANGGER.DLL"})
        ASSERT_TRUE(CopyFileA((MakerDirectory() + name).c_str(), (copies + name).c_str(), FALSE));
    HMODULE dll = LoadLibraryA(Dll().c_str());
    ASSERT_NE(nullptr, dll);
    char window[] = "0";
    std::string directory = copies;
    LPSTR argv[] = {window, &directory[0], nullptr};
    LPSTR result = nullptr;
    ASSERT_TRUE(Procedure(dll, "AttachLangDLL")(2, argv, &result));
    HMODULE copy = GetModuleHandleA((copies + ModuleName()).c_str());
    ASSERT_NE(nullptr, copy);

    auto call = CallInBackground(Procedure(dll, "CallRasConfigCenter"), kReadOnlyParameter);
    AnswerMessageBox(IDOK);  // no driver on this machine
    HWND center = WaitForDialog(copy, IDD_CONFIG_CENTER);
    ASSERT_NE(nullptr, center);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(LoadIconA(copy, MAKEINTRESOURCEA(IDI_CONFIG_CENTER))),
              GetClassLongPtrA(center, GCLP_HICON));
    winhelp_observer::WinHelpObserver help;
    HELPINFO f1 = {sizeof f1, HELPINFO_WINDOW, IDC_CENTER_TRACING, nullptr, 0, {0, 0}};
    SendMessageA(center, WM_HELP, 0, reinterpret_cast<LPARAM>(&f1));
    ASSERT_TRUE(help.WaitForCalls(1));
    EXPECT_EQ(static_cast<ULONG_PTR>(IDH_CONFIG_CENTER), help.Calls()[0].data);
    Click(center, IDC_CENTER_TRACING);
    HWND page = WaitForDialog(copy, IDD_TRACING_PAGE);
    ASSERT_NE(nullptr, page);
    EXPECT_TRUE(IsControlVisible(page, IDC_LEVEL_BIT7)) << "special mode from a parameter in any letter case";
    Click(page, IDCANCEL);
    WaitUntilGone(page);
    Click(center, IDCANCEL);
    ASSERT_TRUE(call->Wait());
    EXPECT_EQ(1, call->result());

    std::string parameter;
    for (const volatile char* p = kReadOnlyParameter; *p; ++p) parameter += *p;
    EXPECT_EQ("Special", parameter);
    EXPECT_EQ(copy, GetModuleHandleA((copies + ModuleName()).c_str())) << "the module chosen was dropped";
    EXPECT_EQ(nullptr, GetModuleHandleA((MakerDirectory() + ModuleName()).c_str()))
        << "the center took a module of its own instead of the caller's";
    FreeLibrary(dll);
}

}  // namespace
