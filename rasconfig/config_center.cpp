#include "rasconfig/config_center.h"

#include "common/answer_file.h"
#include "common/answer_section.h"
#include "common/ascii_case.h"
#include "common/help.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/setup_log.h"
#include "common/setup_results.h"
#include "lang/resource.h"
#include "rasconfig/caller_page.h"
#include "rasconfig/driver_channel.h"
#include "rasconfig/file_page.h"
#include "rasconfig/msneaz_page.h"
#include "rasconfig/protocol_page.h"

const char kCenterTitleEnglish[] = "Varnek ISDN DIALCORE configuration";
const char kCenterTitleGerman[] = "Varnek ISDN DIALCORE Konfiguration";

namespace {

const char kCenterName[] = "VrkRas Configuration Center";

struct CenterPage {
    int button;
    WORD templateId;
    const char* name;  // in the report when the page cannot be created
    DLGPROC procedure;
    const void* parameter;
};

const CenterPage kPages[] = {
    {IDC_CENTER_TRACING, IDD_TRACING_PAGE, "MAKETRACE", FilePageProc, &kTracingPage},
    {IDC_CENTER_LOGGING, IDD_LOGGING_PAGE, "MAKELOG", FilePageProc, &kLoggingPage},
    {IDC_CENTER_MSNEAZ, IDD_MSNEAZ_PAGE, "MAKEMSNEAZ", MsnEazPageProc, nullptr},
    {IDC_CENTER_DEFAULT_PROTOCOLS, IDD_DEFAULT_PROTOCOLS_PAGE, "STANDARDPROTOCOLS", DefaultProtocolsPageProc, nullptr},
    {IDC_CENTER_INCALLER, IDD_INCALLER_PAGE, "INCOMMINGCALLS", CallerPageProc, nullptr},
};

void OpenPage(HWND center, const CenterPage& page) {
    if (DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(page.templateId), center, page.procedure,
                        reinterpret_cast<LPARAM>(page.parameter)) == -1)
        ReportDialogError(center, page.name);
}

// The pages in the center's order, each with its section of the answer file and the keys it takes.
struct AnsweredPage {
    const char* section;
    std::initializer_list<const char*> keys;
    const FilePageTraits* traits;  // the tracing and logging pages
    bool (*apply)(SectionAnswers&);   // the others
};

const AnsweredPage kAnsweredPages[] = {
    {"Tracing", {"Level", "StoreLevel", "FileName", "Backups", "Size"}, &kTracingPage, nullptr},
    {"Logging", {"Level", "StoreLevel", "FileName", "Backups", "Size"}, &kLoggingPage, nullptr},
    {"MsnEaz", {"Clear", "Delete", "Add"}, nullptr, ApplyMsnEazAnswers},
    {"Protocols", {"Inbound", "Outbound"}, nullptr, ApplyProtocolAnswers},
    {"Callers", {"Clear", "Delete", "CollectFromLog", "Replace", "Add", "Mark", "Unmark", "Flags"}, nullptr,
     ApplyCallerAnswers},
};

HWND OpenCenter() {
    HWND open = FindWindowA(nullptr, kCenterTitleEnglish);
    return open ? open : FindWindowA(nullptr, kCenterTitleGerman);
}

}  // namespace

INT_PTR CALLBACK ConfigCenterProc(HWND center, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetClassLongPtrA(center, GCLP_HICON,
                         reinterpret_cast<LONG_PTR>(LoadIconA(LanguageModule(), MAKEINTRESOURCEA(IDI_CONFIG_CENTER))));
        SetForegroundWindow(center);
        return TRUE;
    case WM_HELP:
        ShowSetupHelp(center, IDH_CONFIG_CENTER);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(center, id);
            return TRUE;
        }
        if (id == IDHELP) {
            ShowSetupHelp(center, IDH_CONFIG_CENTER);
            return TRUE;
        }
        for (const CenterPage& page : kPages) {
            if (page.button != id) continue;
            OpenPage(center, page);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

bool AsksForUnattendedMode(const char* parameter) { return parameter && ContainsIgnoringCase(parameter, "UNATTENDED"); }

namespace {

// The center without a window: each page whose section the answer file holds takes its answers
// and goes its OK path; nothing is shown, and what a box would say goes to the setup log. No
// center opens, so an open one is neither a reason to stop nor brought forward.
void RunUnattendedCenter() {
    const AnswerFile file = AnswerFile::FromRegistry();
    if (!file.IsNamed()) {
        WriteSetupLog(kLogSourceSetup, kLogFailure,
                      "Configuration center UNATTENDED: no answer file is named; nothing is configured");
        return;
    }
    if (!file.Exists()) {
        WriteSetupLog(kLogSourceSetup, kLogFailure,
                      "Configuration center UNATTENDED: the answer file %s cannot be read; nothing is configured",
                      file.Path().c_str());
        return;
    }
    // The texts of the language module go to the log as its boxes would show them.
    const bool attachedHere = LanguageModule() == nullptr;
    if (attachedHere) AttachLanguageModule(nullptr);
    if (!ProbeDriver()) {
        char text[kMessageTextSize];
        LoadLanguageString(IDS_DRIVER_UNREACHABLE, text, sizeof text);
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Configuration center: %s", text);
    }
    for (const AnsweredPage& page : kAnsweredPages) {
        if (AnswerModeFor(file, page.section) != AnswerMode::Answered) continue;
        SectionAnswers answers(file, page.section, page.keys);
        const bool applied = page.traits ? ApplyFilePageAnswers(*page.traits, answers) : page.apply(answers);
        if (applied)
            TellAnswer(answers, "applied");
        else
            NoteAnswer(answers, nullptr, "nothing of this page is stored");
    }
    if (attachedHere) DetachLanguageModule();
}

}  // namespace

void RunConfigCenter(const char* parameter) {
    // The parameter belongs to the caller and may lie in read-only memory: it is only read.
    ChooseSpecialMode(parameter);
    if (AsksForUnattendedMode(parameter)) {
        RunUnattendedCenter();
        return;
    }
    if (HWND open = OpenCenter()) {
        SetForegroundWindow(open);
        ShowWindow(open, SW_RESTORE);
        return;
    }
    // The module a caller chose (AttachLangDLL with a directory) stays, and stays loaded after the
    // center for the procedures that follow; only a module attached here is detached again.
    const bool attachedHere = LanguageModule() == nullptr;
    if (attachedHere && !AttachLanguageModule(nullptr)) {
        ReportDialogError(nullptr, kCenterName);
        return;
    }
    if (!ProbeDriver())
        MessageBoxFromIds(nullptr, IDS_DRIVER_UNREACHABLE, MB_ICONINFORMATION | MB_SETFOREGROUND,
                          IDS_DRIVER_UNREACHABLE_CAPTION);
    if (DialogBoxParamA(LanguageModule(), MAKEINTRESOURCEA(IDD_CONFIG_CENTER), nullptr, ConfigCenterProc, 0) == -1)
        ReportDialogError(nullptr, kCenterName);
    if (attachedHere) DetachLanguageModule();
}

BOOL ConfigCenterWorker(const SetupArguments& arguments, const char** result) {
    RunConfigCenter(arguments.parameter);
    *result = kResultOk;
    return TRUE;
}
