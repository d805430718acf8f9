// Pictures of every dialog of both language modules, shown as the system shows them, for docs/dialogs.md.
//
// Each picture lands in C:\gallery as dialog<id>-<language>.png; scripts/gallery.sh copies them
// into docs/. A dialog joins the gallery with one row of kDialogs.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "cleanup/product_choice.h"
#include "common/language.h"
#include "common/progress_note.h"
#include "lang/resource.h"
#include "dialog_robot.h"
#include "dialog_text_fit.h"
#include "lang_fixture.h"
#include "rasconfig/config_center.h"
#include "rasconfig/caller_page.h"
#include "rasconfig/file_page.h"
#include "rasconfig/msneaz_page.h"
#include "rasconfig/protocol_page.h"
#include "screenshot.h"
#include "tests/router/router_gallery.h"
#include "tools/monstart_command_line.h"
#include "tools/monstart_message.h"

using namespace lang_test;
using namespace testing_machine;

namespace {

const char kGalleryDirectory[] = "C:\\gallery";

// Dialogs that the system runs modally have no WS_VISIBLE of their own; made modeless, they are shown.
HWND Shown(HWND window) {
    if (window) ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

struct GalleryDialog {
    WORD templateId;
    HWND (*open)();  // shows the dialog the way the system does and returns it
    void (*close)(HWND);
};

// A dialog of VRKSUDLL.DLL, opened through its setup procedure as the setup engine calls it and
// closed with Cancel. The DLL is loaded for each picture, so that it takes the language just set.
struct SetupDialogCall {
    HMODULE dll = nullptr;
    std::unique_ptr<dialog_robot::BackgroundCall> call;
};
SetupDialogCall g_setupDialog;

HWND OpenThroughSetupDll(const char* exportName, WORD templateId) {
    using Procedure = BOOL(WINAPI*)(DWORD, LPSTR*, LPSTR*);
    // A machine with two LAN cards, one of them the router's already, shows every part of the
    // router's dialogs.
    static const bool provisioned = RunProgram("regedit.exe /S C:\\testbed\\network\\two-cards.reg").exitCode == 0;
    if (!provisioned) return nullptr;
    g_setupDialog.dll = LoadLibraryA((MakerDirectory() + "\\VRKSUDLL.DLL").c_str());
    if (!g_setupDialog.dll) return nullptr;
    Procedure procedure = reinterpret_cast<Procedure>(
        reinterpret_cast<void*>(GetProcAddress(g_setupDialog.dll, exportName)));
    if (!procedure) return nullptr;
    g_setupDialog.call.reset(new dialog_robot::BackgroundCall([procedure] {
        static char window[] = "0";
        LPSTR argv[] = {window, nullptr};
        LPSTR result = nullptr;
        return static_cast<INT_PTR>(procedure(1, argv, &result));
    }));
    return dialog_robot::WaitForDialog(LanguageModule(), templateId);
}

const char kRasParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters";

// A page of the configuration center over a few entries, made modeless so that it is shown.
HWND OpenCenterPage(WORD templateId, DLGPROC procedure) {
    static const bool provisioned = [] {
        const std::string table("123\0" "4711^B_X75\0" "+49(30)1234-5^B_V110\0\0", 37);
        const std::string callers = "-->\t030123456\tHead office\r\n   \t0401234\tHamburg branch\r\n"
                                    "-->\t+49(89)555-0\tMunich\r\n";
        return SetRegBytes(HKEY_LOCAL_MACHINE, kRasParameters, "MSNEAZ", REG_MULTI_SZ, table) &&
               SetRegString(HKEY_LOCAL_MACHINE, kRasParameters, "DefaultOutbound", "B_X75") &&
               SetRegDword(HKEY_LOCAL_MACHINE, kRasParameters, "IncallFlag", 1) &&
               WriteFileBytes(MakerDirectory() + "\\caller.dat", callers);
    }();
    if (!provisioned) return nullptr;
    return Shown(CreateDialogParamA(LanguageModule(), MAKEINTRESOURCEA(templateId), nullptr, procedure, 0));
}

void CloseWithCancel(HWND dialog) {
    if (dialog) dialog_robot::Click(dialog, IDCANCEL);
    if (g_setupDialog.call) g_setupDialog.call->Wait();
    g_setupDialog.call.reset();
    if (g_setupDialog.dll) FreeLibrary(g_setupDialog.dll);
    g_setupDialog.dll = nullptr;
}

const GalleryDialog kDialogs[] = {
    {IDD_PRODUCT_CHOICE,
     [] {
         return Shown(CreateDialogParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_PRODUCT_CHOICE), nullptr, ProductChoiceProc,
                                         static_cast<LPARAM>(kEveryLine)));
     },
     [](HWND window) { DestroyWindow(window); }},
    {IDD_PROGRESS_NOTE,
     [] {
         ShowProgressNote(nullptr, IDS_NOTE_CLEAN_ROUTER, IDS_NOTE_CAPTION);
         return ProgressNoteWindow();
     },
     [](HWND) { CloseProgressNote(); }},
    {IDD_WAN_CONFIG, router_gallery::OpenWanDialog, router_gallery::CloseWanDialog},
    {IDD_CONTROLLER, router_gallery::OpenControllerDialog, router_gallery::CloseControllerDialog},
    {IDD_X31_CONFIG, router_gallery::OpenX31Dialog, router_gallery::CloseX31Dialog},
    {IDD_CONFIG_CENTER,
     [] {
         return Shown(CreateDialogParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_CONFIG_CENTER), nullptr, ConfigCenterProc, 0));
     },
     [](HWND window) { DestroyWindow(window); }},
    {IDD_LOGGING_PAGE,
     [] {
         return Shown(CreateDialogParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_LOGGING_PAGE), nullptr, FilePageProc,
                                   reinterpret_cast<LPARAM>(&kLoggingPage)));
     },
     [](HWND window) { DestroyWindow(window); }},
    {IDD_TRACING_PAGE,
     [] {
         return Shown(CreateDialogParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_TRACING_PAGE), nullptr, FilePageProc,
                                   reinterpret_cast<LPARAM>(&kTracingPage)));
     },
     [](HWND window) { DestroyWindow(window); }},
    {IDD_MSNEAZ_PAGE, [] { return OpenCenterPage(IDD_MSNEAZ_PAGE, MsnEazPageProc); }, [](HWND window) { DestroyWindow(window); }},
    {IDD_DEFAULT_PROTOCOLS_PAGE, [] { return OpenCenterPage(IDD_DEFAULT_PROTOCOLS_PAGE, DefaultProtocolsPageProc); },
     [](HWND window) { DestroyWindow(window); }},
    {IDD_INCALLER_PAGE, [] { return OpenCenterPage(IDD_INCALLER_PAGE, CallerPageProc); }, [](HWND window) { DestroyWindow(window); }},
    {IDD_LAN_CONFIG, [] { return OpenThroughSetupDll("VrkMprLanConfig", IDD_LAN_CONFIG); }, CloseWithCancel},
    {IDD_IPIPX_CONFIG, [] { return OpenThroughSetupDll("VrkMprIPIPXConfig", IDD_IPIPX_CONFIG); }, CloseWithCancel},
    {IDD_FIRST_LINK, [] { return OpenThroughSetupDll("VrkMprConfigureFirstLink", IDD_FIRST_LINK); }, CloseWithCancel},
    {IDD_MONSTART_MESSAGE,
     [] {
         // With the refusal of a bad option, in the language of the module shown.
         static char text[kMonstartMessageSize];
         LaunchSettings settings;
         ParseMonstartCommandLine("-c4 -z", GetSetupLanguage() == kLanguageGerman, &settings, text, sizeof text);
         return Shown(CreateDialogParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_MONSTART_MESSAGE), nullptr,
                                         MonstartMessageProc, reinterpret_cast<LPARAM>(text)));
     },
     [](HWND window) { DestroyWindow(window); }},
};

const struct {
    const char* setupLanguage;
    const char* suffix;
} kLanguages[] = {{"ENG", "eng"}, {"GER", "ger"}};

// Distinct colours in a picture: a window that did not paint shows one or two.
size_t Colours(const screenshot::Image& image) {
    std::set<unsigned long> seen;
    for (size_t i = 0; i + 2 < image.rgb.size() && seen.size() < 64; i += 3)
        seen.insert((static_cast<unsigned long>(image.rgb[i]) << 16) | (image.rgb[i + 1] << 8) | image.rgb[i + 2]);
    return seen.size();
}

TEST(DialogGallery, EveryDialogInBothLanguages) {
    CreateDirectoryA(kGalleryDirectory, nullptr);
    for (const auto& language : kLanguages) {
        SetSetupLanguage(language.setupLanguage);
        ASSERT_TRUE(AttachLanguageModule());
        for (const GalleryDialog& d : kDialogs) {
            SCOPED_TRACE(std::to_string(d.templateId) + " " + language.suffix);
            HWND window = d.open();
            ASSERT_NE(nullptr, window);
            const screenshot::Image image = screenshot::CaptureWindow(window);
            EXPECT_GT(Colours(image), 4u) << "the dialog did not paint";
            const std::string path = std::string(kGalleryDirectory) + "\\dialog" + std::to_string(d.templateId) + "-" +
                                     language.suffix + ".png";
            EXPECT_TRUE(WriteFileBytes(path, screenshot::EncodePng(image))) << path;
            // The texts filled in at run time as well: a picture shows no text cut off.
            for (const std::string& problem : dialog_text_fit::Problems(window)) ADD_FAILURE() << problem;
            d.close(window);
        }
        DetachLanguageModule();
    }
    SetSetupLanguage(nullptr);
}

}  // namespace
