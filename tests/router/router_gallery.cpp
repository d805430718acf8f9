#include "router_gallery.h"

#include <memory>

#include "capi_driver.h"
#include "common/language.h"
#include "dialog_robot.h"
#include "lang/resource.h"
#include "machine.h"
#include "router/wan_config.h"

using namespace dialog_robot;

namespace router_gallery {
namespace {

std::unique_ptr<BackgroundCall> g_call;
const char* g_result = nullptr;

HWND Wan() { return WaitForDialog(LanguageModule(), IDD_WAN_CONFIG); }

// Two cards, the router's names for some controllers, and X.31 on the first.
void Provision() {
    testing_capi::ProvisionShape("two-cards");
    const std::string tei = "SYSTEM\\CurrentControlSet\\Services\\VrkMprX31\\Parameters\\TEI5";
    testing_machine::SetRegString(HKEY_LOCAL_MACHINE, tei, "DeviceName", "CAPI1");
    testing_machine::SetRegDword(HKEY_LOCAL_MACHINE, tei, "Ch_HTC", 4);
    testing_machine::SetRegDword(HKEY_LOCAL_MACHINE, tei, "VrkMprEnabled", 1);
    testing_machine::SetRegString(HKEY_LOCAL_MACHINE, tei, "X25Address", "45001234");
    testing_machine::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\CAPI20\\1\\1", "VrkMprNickname", "Berlin");
    testing_machine::SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\CAPI20\\1\\1", "VrkMprPhone", "030123456");
    testing_machine::SetRegDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\CAPI20\\2\\2", "VrkMprEnabled", 0);
}

HWND Inner(int button, WORD templateId) {
    HWND wan = OpenWanDialog();
    if (!wan) return nullptr;
    Click(wan, button);
    return WaitForDialog(LanguageModule(), templateId);
}

void CloseInner(HWND dialog) {
    if (dialog) {
        Click(dialog, IDCANCEL);
        WaitUntilGone(dialog);
    }
    CloseWanDialog(Wan());
}

}  // namespace

HWND OpenWanDialog() {
    Provision();
    g_call = std::make_unique<BackgroundCall>(
        [] { return static_cast<INT_PTR>(ConfigureWan(nullptr, kProductMultiprotocolRouter, &g_result)); });
    return Wan();
}

void CloseWanDialog(HWND wan) {
    if (wan) Click(wan, IDCANCEL);
    if (g_call) g_call->Wait();
    g_call.reset();
}

HWND OpenControllerDialog() { return Inner(IDC_WAN_EDIT, IDD_CONTROLLER); }
void CloseControllerDialog(HWND dialog) { CloseInner(dialog); }

HWND OpenX31Dialog() {
    HWND x31 = Inner(IDC_WAN_X31, IDD_X31_CONFIG);
    if (x31) SetChecked(x31, IDC_X31_PACKET_SIZE_NEG, true);
    return x31;
}
void CloseX31Dialog(HWND dialog) { CloseInner(dialog); }

}  // namespace router_gallery
