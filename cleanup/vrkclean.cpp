// VrkClean: removes installed product lines of the package outside the INF scripts. It finds the
// lines, lets the user choose and confirm, runs the clean-up engine for each chosen line, hands
// over to the network control panel and offers to restart the computer. It takes no arguments and
// ends with exit code 0 on every path.
#include <windows.h>

#include "cleanup/installed_lines.h"
#include "cleanup/network_settings.h"
#include "cleanup/product_choice.h"
#include "cleanup/restart.h"
#include "cleanup/start_record.h"
#include "common/answer_file.h"
#include "common/answer_section.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "lang/resource.h"

namespace {

const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
const char kLogNameValue[] = "SOFTWARE\\VARNEK\\VrkSetup\\LogName";
const char kLogFile[] = "c:\\temp\\setup.log";
const char kChoiceDialogName[] = "PRODUCT-CHOICE";

// Without the language module no question of the program has a text, and a Yes to an empty box
// would remove everything: the program says so in the language of the system (in the log, when it
// runs from an answer file) and removes nothing.
void ReportLanguageModuleMissing(bool toLog) {
    WriteSetupLog(kLogSourceSetup, kLogFailure, "Error DLG Box %s", kChoiceDialogName);
    const SetupLanguageName language = GetSetupLanguage();
    const bool germanModule = language == kLanguageGerman || (language == kLanguageUnknown && IsGermanSystem());
    char text[kFormattedMessageSize];
    if (IsGermanSystem()) {
        FormatWithString(text, sizeof text,
                         "Das Sprachmodul %s von Varnek ISDN wurde nicht gefunden. Ohne das Sprachmodul kann das "
                         "Entfernen der Produktlinien nicht angezeigt werden; es wurde nichts entfernt.\n\n"
                         "Bitte installieren Sie das Produkt neu.",
                         germanModule ? kGermanModuleName : kEnglishModuleName);
    } else {
        FormatWithString(text, sizeof text,
                         "The language module %s of Varnek ISDN was not found. Without it the removal of the product "
                         "lines cannot be shown; nothing has been removed.\n\nPlease install the product again.",
                         germanModule ? kGermanModuleName : kEnglishModuleName);
    }
    if (toLog) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "%s", text);
        return;
    }
    MessageBoxA(nullptr, text, IsGermanSystem() ? "Varnek ISDN Installation" : "Varnek ISDN Setup",
                MB_OK | MB_ICONHAND | MB_SYSTEMMODAL);
}

const char kAnswerSection[] = "VrkClean";

// What [VrkClean] answers in place of the user: the lines to remove among the detected ones (none
// when Lines is not answered), whether their files go (no), whether the network control panel
// follows (yes, as it always does) and whether the computer restarts (no).
struct CleanAnswers {
    ProductBits lines = 0;
    BOOL deleteFiles = FALSE;
    bool networkSettings = true;
    bool restart = false;
};

// False, with the reason in the log, when an answer cannot be taken: then nothing is removed.
bool ReadCleanAnswers(const AnswerFile& file, ProductBits detected, CleanAnswers* answers) {
    SectionAnswers section(file, kAnswerSection, {"Lines", "DeleteFiles", "NetworkSettings", "Restart"});
    std::vector<std::string> names;
    ProductBits named = 0;
    if (AnswerList(section, "Lines", &names)) {
        for (const std::string& name : names) {
            const ProductBits line = LineOfAnswerName(name.c_str());
            if (line == 0) section.Refuse("Lines", ("\"" + name + "\" is none of Router, RemoteAccess, Gateway, All").c_str());
            named |= line;
        }
    }
    bool yes = false;
    if (section.YesNo("DeleteFiles", &yes)) answers->deleteFiles = yes ? TRUE : FALSE;
    section.YesNo("NetworkSettings", &answers->networkSettings);
    section.YesNo("Restart", &answers->restart);
    if (section.refused()) return false;
    if (detected == 0) {
        // Nothing detected: All is the Yes to the question whether to remove every line.
        answers->lines = named == kEveryLine ? kEveryLine : 0;
        if (named != 0 && named != kEveryLine) NoteAnswer(section, "Lines", "no product line is detected; nothing to remove");
        return true;
    }
    answers->lines = named & detected;
    const ProductBits missing = named == kEveryLine ? 0 : named & ~detected;
    if (missing != 0) {
        char names[kConfirmationListSize];
        BuildConfirmationList(missing, names, sizeof names);
        NoteAnswer(section, "Lines", std::string("not detected, left out: ") + names);
    }
    return true;
}

// The run without a person: the lines, files, network settings and restart as [VrkClean] answers,
// no box shown, and every step in the log.
void RunUnattended(const AnswerFile& file, ProductBits detected) {
    SendMessageBoxesToLog(true);
    CleanAnswers answers;
    if (!ReadCleanAnswers(file, detected, &answers)) {
        WriteSetupLog(kLogSourceClean, kLogFailure, "VrkClean: nothing removed");
        return;
    }
    char names[kConfirmationListSize];
    BuildConfirmationList(answers.lines, names, sizeof names);
    if (answers.lines == 0) {
        WriteSetupLog(kLogSourceClean, kLogTrace, "VrkClean: no line to remove");
        return;
    }
    WriteSetupLog(kLogSourceClean, kLogTrace, "VrkClean: removing %s(files %s)", names,
                  answers.deleteFiles ? "deleted" : "kept");
    CleanUpSelected(nullptr, answers.lines, answers.deleteFiles);
    if (answers.networkSettings)
        OpenNetworkSettings();
    else
        WriteSetupLog(kLogSourceClean, kLogTrace, "VrkClean: network settings not opened");
    if (!answers.restart) {
        WriteSetupLog(kLogSourceClean, kLogTrace, "VrkClean: no restart");
    } else if (RestartSystem(nullptr)) {
        WriteSetupLog(kLogSourceClean, kLogTrace, "VrkClean: restart started");
    }
}

// The user declined: nothing is removed, and what the start wrote goes back as it was.
void Decline(StartRecord* start) {
    CloseSetupLog();
    start->GiveBack();
}

// The program's run; returns when the program ends, on every path.
void RunCleanUp() {
    StartRecord start;
    start.Take(kLogNameValue, kLogFile);
    WriteRegString(kLogNameValue, kLogFile, kRegClose);
    OpenSetupLog(kSetupKey, "LogName", "LogLevel");
    char program[kPathSize] = "";
    GetModuleFileNameA(nullptr, program, sizeof program);
    WriteSetupLog(kLogSourceClean, kLogTrace, "VRKCLEAN.EXE ENTER (%s)", program);
    AttachLanguageModule();

    const ProductBits detected = DetectInstalledProducts();
    ProductBits lines = 0;
    BOOL deleteFiles = FALSE;
    const AnswerFile answerFile = AnswerFile::FromRegistry();
    const AnswerMode mode = AnswerModeFor(answerFile, kAnswerSection);
    if (!LanguageModule()) {
        ReportLanguageModuleMissing(mode != AnswerMode::Interactive);
        return;
    }
    if (mode == AnswerMode::Unreadable) {
        start.Drop();
        WriteSetupLog(kLogSourceClean, kLogFailure, "VrkClean: nothing removed");
        WriteSetupLog(kLogSourceClean, kLogTrace, "VRKCLEAN.EXE LEAVE");
        return;
    }
    if (mode == AnswerMode::Answered) {
        start.Drop();
        RunUnattended(answerFile, detected);
        WriteSetupLog(kLogSourceClean, kLogTrace, "VRKCLEAN.EXE LEAVE");
        return;
    }
    if (detected == 0) {
        if (MessageBoxFromIds(nullptr, IDS_CLEAN_NOTHING_DETECTED, MB_YESNO, IDS_MESSAGE_CAPTION) != IDYES)
            return Decline(&start);
        lines = kEveryLine;
        deleteFiles = TRUE;
    } else {
        const INT_PTR choice = ChooseProducts(detected);
        if (choice == kChoiceNotShown) {
            ReportDialogError(nullptr, kChoiceDialogName);
            return;
        }
        if (choice == 0) return Decline(&start);
        const ProductBits chosen = static_cast<ProductBits>(choice);
        deleteFiles = (chosen & kDeleteFilesBit) != 0;
        lines = chosen & ~kDeleteFilesBit;
    }
    // The lines that are removed, named in the confirmation and again in the restart question.
    char names[kConfirmationListSize];
    BuildConfirmationList(lines, names, sizeof names);
    if (detected != 0 &&
        MessageBoxFromIdsFormatted(nullptr, IDS_CLEAN_CONFIRM, MB_YESNO | MB_ICONEXCLAMATION, IDS_MESSAGE_CAPTION,
                                   names) != IDYES)
        return Decline(&start);

    CleanUpSelected(nullptr, lines, deleteFiles);
    OpenNetworkSettings();
    if (MessageBoxFromIdsFormatted(nullptr, IDS_CLEAN_RESTART_QUESTION, MB_YESNO | MB_ICONEXCLAMATION,
                                   IDS_MESSAGE_CAPTION, names) == IDYES)
        RestartSystem(nullptr);
    WriteSetupLog(kLogSourceClean, kLogTrace, "VRKCLEAN.EXE LEAVE");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RunCleanUp();
    CloseSetupLog();
    return 0;
}
