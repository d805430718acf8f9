#include "router/wan_config.h"

#include "common/answer_file.h"
#include "common/ascii_case.h"
#include "common/dialog_controls.h"
#include "common/handles.h"
#include "common/messages.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "common/setup_results.h"
#include "lang/resource.h"
#include "router/controller_table.h"
#include "router/wan_answers.h"
#include "router/wan_format.h"

const char kMprControllersValue[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprWan\\Parameters\\Controllers";
const char kRasControllersValue[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters\\Controllers";
const char kRasAdapterNumberValue[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters\\AdapterNumber";
const char kModemValue[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprWan\\Parameters\\Modem";
const char kTapiDeviceKey[] = "HARDWARE\\DEVICEMAP\\TAPI DEVICES\\VrkRas";

namespace {

void WriteList(const char* path, const MultiStringBlock& list) {
    const std::string bytes = list.bytes();
    WriteRegMultiString(path, bytes.data(), kRegClose, static_cast<DWORD>(bytes.size()));
}

// Everything below HKLM\HARDWARE lives only until the next start: its keys must be made volatile.
void WriteTapiDevice(const MultiStringBlock& addresses) {
    vrk::RegKey key;
    char noClass[] = "";
    DWORD disposition = 0;
    // The registry functions return their status; they leave the last error alone.
    const LONG created = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTapiDeviceKey, 0, noClass, REG_OPTION_VOLATILE,
                                         KEY_ALL_ACCESS, nullptr, key.put(), &disposition);
    if (created != ERROR_SUCCESS) {
        if (LogLevel >= kLogFailure)
            WriteSetupLog(kLogSourceSetup, kLogFailure, "Can't create %s (%lu)", kTapiDeviceKey,
                          static_cast<unsigned long>(created));
        return;
    }
    const std::string bytes = addresses.bytes();
    RegSetValueExA(key.get(), "Address", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    static const char kMediaType[] = "ISDN";
    RegSetValueExA(key.get(), "Media Type", 0, REG_SZ, reinterpret_cast<const BYTE*>(kMediaType), sizeof kMediaType);
}

// One maker's drivers take the requests through another interface.
void ApplyInterfaceRule() {
    for (int i = 0; i < ControllerCount(); ++i) {
        ControllerEntry* entry = ControllerAt(i);
        if (ContainsIgnoringCase(entry->manufacturer, "KAMELL SOFTWARE GMBH"))
            lstrcpynA(entry->interfaceName, "IRP_GP", sizeof entry->interfaceName);
    }
}

bool AnyInUse() {
    for (int i = 0; i < ControllerCount(); ++i)
        if (ControllerAt(i)->enabled != 0) return true;
    return false;
}

void SaveWan(ProductId product) {
    SaveControllerTable(product);
    WriteControllerStrings(product);
}

// The answers in place of the dialog, then its OK path; the question whether to go back when no
// controller is in use is answered by a key, and going back ends as if cancelled.
BOOL ConfigureWanAnswered(const AnswerFile& file, const char* section, ProductId product, const char** result) {
    SectionAnswers answers(file, section);
    const INT_PTR shown = ApplyWanAnswers(&answers, product);
    if (shown == kDialogCancel) {
        *result = kResultUserCancel;
        return TRUE;
    }
    if (shown != kDialogOk) {
        *result = kResultWanDialogError;
        return FALSE;
    }
    *result = kResultOk;
    if (!AnyInUse()) {
        bool save = false;
        answers.YesNo(kSaveWithoutControllerKey, &save);
        if (!save) {
            if (!answers.refused()) answers.RefuseWithMessage(kSaveWithoutControllerKey, IDS_WAN_NONE_IN_USE);
            *result = kResultUserCancel;
            return TRUE;
        }
        *result = kResultNotAnyController;
    }
    SaveWan(product);
    return TRUE;
}

}  // namespace

void WriteControllerStrings(ProductId product) {
    DWORD adapter = 0;
    if (product == kProductRemoteAccess) ReadRegDword(kRasAdapterNumberValue, &adapter);
    const ControllerEntry* entries = ControllerCount() ? ControllerAt(0) : nullptr;
    const ControllerLists lists = BuildControllerLists(entries, ControllerCount(), adapter);
    switch (product) {
    case kProductIsdnRouter:
    case kProductMultiprotocolRouter:
    case kProductInternetRouter:
        WriteList(kMprControllersValue, lists.controllers);
        break;
    case kProductRemoteAccess:
        if (!lists.addresses.empty())
            WriteTapiDevice(lists.addresses);
        else
            DeleteRegTree(kTapiDeviceKey);
        WriteList(kRasControllersValue, lists.controllers);
        break;
    default:
        if (LogLevel >= kLogFailure)
            WriteSetupLog(kLogSourceSetup, kLogFailure, "Can't write a controllerstring for unknown product %d",
                          static_cast<int>(product));
        break;
    }
}

BOOL ConfigureWan(HWND parent, ProductId product, const char** result) {
    // Also called outside the setup frame, whose parsing makes the same choice.
    const HWND owner = OwnerWindow(parent);
    const AnswerFile file = AnswerFile::FromRegistry();
    const char* section = WanAnswerSection(product);
    const AnswerMode mode = section ? AnswerModeFor(file, section) : AnswerMode::Interactive;
    if (mode == AnswerMode::Unreadable) {
        *result = kResultUserCancel;
        return TRUE;
    }
    LoadControllerTable(product);
    ApplyInterfaceRule();
    if (ControllerCount() == 0) {
        if (mode == AnswerMode::Answered)
            LogAnswerNotice(section, IDS_WAN_NO_CONTROLLER);
        else
            MessageBoxFromIds(owner, IDS_WAN_NO_CONTROLLER, kNoticeStyle, IDS_MESSAGE_CAPTION);
        *result = kResultNotAnyController;
        WriteControllerStrings(product);
        return TRUE;
    }
    if (mode == AnswerMode::Answered) return ConfigureWanAnswered(file, section, product, result);
    for (;;) {
        const INT_PTR shown = RunWanDialog(owner, product);
        if (shown == 0) {
            *result = kResultUserCancel;
            return TRUE;
        }
        if (shown != 1) {
            ReportDialogError(owner, "WAN-CONFIGURE");
            *result = kResultWanDialogError;
            return FALSE;
        }
        *result = kResultOk;
        if (AnyInUse()) break;
        if (MessageBoxFromIds(owner, IDS_WAN_NONE_IN_USE, kQuestionStyle, IDS_MESSAGE_CAPTION) == IDYES) continue;
        *result = kResultNotAnyController;
        break;
    }
    SaveWan(product);
    return TRUE;
}

BOOL MprWanConfigWorker(const SetupArguments& arguments, const char** result) {
    return ConfigureWan(arguments.window, kProductMultiprotocolRouter, result);
}

BOOL RasWanConfigWorker(const SetupArguments& arguments, const char** result) {
    return ConfigureWan(arguments.window, kProductRemoteAccess, result);
}
