#include "rasconfig/file_page.h"

#include <cstdio>
#include <string>

#include "common/answer_file.h"
#include "common/answer_section.h"
#include "common/ascii_case.h"
#include "common/dialog_controls.h"
#include "common/files.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/registry.h"
#include "lang/resource.h"
#include "rasconfig/page_frame.h"
#include "rasconfig/bilingual.h"
#include "rasconfig/command_line.h"
#include "rasconfig/driver_channel.h"
#include "rasconfig/entry_number.h"
#include "rasconfig/page_controls.h"
#include "rasconfig/program_start.h"
#include "rasconfig/service_staff_mode.h"
#include "rasconfig/trace_icons.h"
#include "tracesvc/stream_settings.h"

namespace {

constexpr int kLevelBoxes = 8;
constexpr DWORD kDefaultMaxCount = 9;
constexpr DWORD kDefaultMaxSize = 1024;
constexpr int kNameLength = kStreamNameSize - 1;
constexpr int kNumberEntrySize = 256;
const char kDefaultViewer[] = "%SystemRoot%\\SYSTEM32\\NOTEPAD.EXE";

}  // namespace

struct FilePageTraits {
    StreamKind stream;
    DWORD helpContext;
    int nameEdit, backupsEdit, sizeEdit;
    int storeButton, applyNowButton, viewButton;
    int firstSpecialBox;  // this box and those above it are shown in special mode only
    bool showsExpandedName;
    bool foregroundAfterApply;
    DWORD (*getLevel)();
    DWORD (*setLevel)(DWORD);
    const char* levelValue;  // the level's copy under the driver's key
    const char* maxCountValue;
    const char* maxSizeValue;
    const char* viewerValue;
    const char* errorCaption;     // refused input
    const char* infoCaption;      // corrected input, missing file
    const char* questionCaption;  // apply now
    Bilingual badName, badBackups, largeBackups, badSize, largeSize, smallSize, applyNow, missingFile;
    Bilingual viewFailed;  // the logging page's own text; the tracing page shows string 62
    UINT viewFailedTextId;
};

const FilePageTraits kLoggingPage = {
    StreamKind::Log, IDH_LOGGING_PAGE,
    IDC_LOG_FILE_NAME, IDC_LOG_BACKUPS, IDC_LOG_SIZE,
    IDC_LOG_STORE_LEVEL, IDC_LOG_APPLY_NOW, IDC_LOG_VIEW,
    IDC_LEVEL_BIT6, false, true,
    GetLogLevel, SetLogLevel, "LogLevel",
    "LogFilemaxCount", "LogFilemaxSize", "LogFileViewer",
    "Error Varnek ISDN DIALCORE logging", "Varnek ISDN DIALCORE logging", "Varnek ISDN DIALCORE Logging",
    {"The 'logfile name' cannot be used. A name must not be empty, must not contain a double quote, must not "
     "end with a backslash, and must have at most 255 characters once its environment variables are expanded.",
     "Der Eingabewert im Feld 'LogFile Name' kann nicht verwendet werden. Der Name darf nicht leer sein, kein "
     "Anführungszeichen enthalten, nicht mit einem Backslash enden und nach dem Einsetzen der "
     "Umgebungsvariablen höchstens 255 Zeichen lang sein."},
    {"You have enter a bad 'logfile backups'.",
     "Im Eingabefeld 'LogFile Backups' steht ein unzulässiger Eingabewert."},
    {"You have enter a to large 'logfile backups'. Will reset the value to maximal value.",
     "Im Eingabefeld 'LogFile Backups' wurde ein zu großer Wert eingegeben. Er wird auf den maximalen Wert "
     "zurückgesetzt."},
    {"You have enter a bad 'LogFilesize'.", "Im Eingabefeld 'LogFilesize' steht ein unzulässiger Eingabewert."},
    {"You have enter a to large 'LogFilesize'. Will reset the value to maximal value.",
     "Im Eingabefeld 'LogFilesize' wurde ein zu großer Wert eingegeben. Er wird auf den maximalen Wert "
     "zurückgesetzt."},
    {"You have enter a to small 'LogFilesize'. Will set the value to minimal value.",
     "Im Eingabefeld 'LogFilesize' wurde ein zu kleiner Wert eingegeben. Er wird auf den minimalen Wert "
     "kgesetzt."},
    {"The new logging files values are setting now.",
     "Die angegebenen Werte für die Logging Dateien werden jetzt neu gesetzt."},
    {"The logfile is not exist. Can't show this file now.",
     "Das Logfile ist noch nicht vorhanden und kann deshalb nicht angezeigt werden!"},
    {"Can't show logfile. Check the logfilename and in the registry the viewer filename",
     "Kann Logfile nicht anzeigen. Überprüfen Sie den Dateinamen des Logfiles sowie den Dateinamen des Viewers "
     "in der Registry"},
    0,
};

const FilePageTraits kTracingPage = {
    StreamKind::Trace, IDH_TRACING_PAGE,
    IDC_TRACE_FILE_NAME, IDC_TRACE_BACKUPS, IDC_TRACE_SIZE,
    IDC_TRACE_STORE_LEVEL, IDC_TRACE_APPLY_NOW, IDC_TRACE_VIEW,
    IDC_LEVEL_BIT7, true, false,
    GetTraceLevel, SetTraceLevel, "TraceLevel",
    "TraceFilemaxCount", "TraceFilemaxSize", "TraceFileViewer",
    "Error Varnek ISDN DIALCORE tracing", "Varnek ISDN DIALCORE tracing", "Varnek ISDN DIALCORE Tracing",
    {"The 'tracefile name' cannot be used. A name must not be empty, must not contain a double quote, must not "
     "end with a backslash, and must have at most 255 characters once its environment variables are expanded.",
     "Der Eingabewert im Feld 'TraceFile Name' kann nicht verwendet werden. Der Name darf nicht leer sein, kein "
     "Anführungszeichen enthalten, nicht mit einem Backslash enden und nach dem Einsetzen der "
     "Umgebungsvariablen höchstens 255 Zeichen lang sein."},
    {"You have enter a bad 'Tracefile backups'.",
     "Im Eingabefeld 'TraceFile Backups' steht ein unzulässiger Eingabewert."},
    {"You have enter a to large 'Tracefile backups'. Will reset the value to maximal value.",
     "Im Eingabefeld 'TraceFile Backups' wurde ein zu großer Wert eingegeben. Er wird auf den maximalen Wert "
     "zurückgesetzt."},
    {"You have enter a bad 'tracefilesize'.", "Im Eingabefeld 'TraceFilesize' steht ein unzulässiger Eingabewert."},
    {"You have enter a to large 'tracefilesize'. Will reset the value to maximal value.",
     "Im Eingabefeld 'TraceFilesize' wurde ein zu großer Wert eingegeben. Er wird auf den maximalen Wert "
     "zurückgesetzt."},
    {"You have enter a to small 'Tracefilesize'. Will set the value to minimal value.",
     "Im Eingabefeld 'TraceFilesize' wurde ein zu kleiner Wert eingegeben. Er wird auf den minimalen Wert "
     "kgesetzt."},
    {"The new tracing files values are setting now.",
     "Die angegebenen Werte für die Tracing Dateien werden jetzt neu gesetzt."},
    {"The tracefile is'nt exist. Can't show this file now.",
     "Das Tracefile ist noch nicht vorhanden und kann deshalb nicht angezeigt werden!"},
    {nullptr, nullptr},
    IDS_TRACE_VIEWER_FAILED,
};

namespace {

// The page's values between loading and closing: the file name in force, expanded.
struct FilePage {
    const FilePageTraits* traits;
    char currentName[kStreamNameSize];
};

FilePage* PageOf(HWND page) { return PageValues<FilePage>(page); }

void Tell(HWND page, const char* caption, const Bilingual& text, UINT style) {
    MessageBoxA(page, text.text(), caption, style);
}

DWORD LevelMask(HWND page) {
    DWORD mask = 0;
    for (int i = 0; i < kLevelBoxes; ++i)
        if (IsDlgButtonChecked(page, IDC_LEVEL_BIT0 + i) == BST_CHECKED) mask |= 1u << i;
    return mask;
}

void SetText(HWND page, int id, DWORD number) {
    char text[16];
    snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(number));
    SetDlgItemTextA(page, id, text);
}

bool IsBlank(const char* text) {
    for (; *text; ++text)
        if (*text != ' ' && *text != '\t') return false;
    return true;
}

bool EndsWithBackslash(const char* text) {
    const char* last = nullptr;
    for (; *text; ++text) last = text;
    return last && *last == '\\';
}

// A name the trace service can open and the setup program can be given: typed, without a quote or
// a closing backslash, and within 256 bytes once expanded.
bool CheckFileNameEntry(const std::string& typed, char* expanded) {
    if (typed.size() > static_cast<size_t>(kNameLength)) return false;
    if (IsBlank(typed.c_str()) || EndsWithBackslash(typed.c_str()) || !IsPassableArgument(typed.c_str())) return false;
    if (!CopyText(expanded, kStreamNameSize, typed.c_str()) || !ExpandInPlace(expanded, kStreamNameSize)) return false;
    return !IsBlank(expanded) && !EndsWithBackslash(expanded) && IsPassableArgument(expanded);
}

bool ReadFileNameEntry(HWND page, const FilePageTraits& traits, char* expanded) {
    std::string typed;
    return ReadControlText(page, traits.nameEdit, kNameLength, &typed) && CheckFileNameEntry(typed, expanded);
}

// A path from a drive's root ("C:\...") or a UNC path ("\\server\...").
bool IsFullPath(const char* text) {
    const bool drive = ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) && text[1] == ':' &&
                       text[2] == '\\';
    return drive || (text[0] == '\\' && text[1] == '\\');
}

bool WriteServiceString(const char* valueName, const char* text) {
    char path[kPathSize];
    return ServiceSettingPath(valueName, path, sizeof path) && WriteRegString(path, text, kRegClose);
}

bool WriteServiceDword(const char* valueName, DWORD value) {
    char path[kPathSize];
    return ServiceSettingPath(valueName, path, sizeof path) && WriteRegDword(path, value, kRegClose);
}

// What the page shows when it opens.
struct ShownValues {
    DWORD level;  // the eight boxes
    char name[kStreamNameSize];
    DWORD count, size;
};

void ReadShownValues(const FilePageTraits& traits, ShownValues* shown) {
    shown->level = traits.getLevel() & ((1u << kLevelBoxes) - 1);
    if (traits.showsExpandedName)
        ReadStreamFileName(traits.stream, shown->name);
    else
        ReadStreamFileNameAsStored(traits.stream, shown->name);
    shown->count = ReadStreamFileCount(traits.stream);
    shown->size = ReadStreamFileSizeKiB(traits.stream);
}

// The level bits whose boxes are hidden outside special mode: they keep the state they were loaded with.
DWORD SpecialLevelBits(const FilePageTraits& traits) {
    DWORD bits = 0;
    for (int id = traits.firstSpecialBox; id < IDC_LEVEL_BIT0 + kLevelBoxes; ++id) bits |= 1u << (id - IDC_LEVEL_BIT0);
    return bits;
}

void LoadPage(HWND page, FilePage* values) {
    const FilePageTraits& traits = *values->traits;
    ShownValues shown;
    ReadShownValues(traits, &shown);
    for (int i = 0; i < kLevelBoxes; ++i)
        CheckDlgButton(page, IDC_LEVEL_BIT0 + i, (shown.level >> i) & 1 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(page, traits.nameEdit, shown.name);
    SetText(page, traits.backupsEdit, shown.count);
    SetText(page, traits.sizeEdit, shown.size);

    if (!SpecialMode())
        for (int id = traits.firstSpecialBox; id < IDC_LEVEL_BIT0 + kLevelBoxes; ++id) SetControlHidden(page, id, TRUE);
    ReadStreamFileName(traits.stream, values->currentName);
}

// A checked name in force: stored, and the program-group icons renewed, when it is not the name in
// force already (current, expanded). True when it changed.
bool StoreFileName(const FilePageTraits& traits, char* currentName, const char* name) {
    if (EqualsIgnoringCase(name, currentName)) return false;
    WriteServiceString(StreamFileNameValue(traits.stream), name);
    if (traits.stream == StreamKind::Trace)
        InstallTraceIcons(name, "");
    else
        InstallTraceIcons("", name);
    CopyText(currentName, kStreamNameSize, name);
    return true;
}

// A typed backups (size false) or size (size true) entry against the limit the service settings hold.
CheckedNumber CheckNumberEntry(const FilePageTraits& traits, bool size, const std::string& text) {
    DWORD max = size ? ReadServiceSetting(traits.maxSizeValue, kDefaultMaxSize)
                     : ReadServiceSetting(traits.maxCountValue, kDefaultMaxCount);
    // The service keeps no more backups than this, whatever the page's own limit says.
    if (!size && max > kMaxFileCount) max = kMaxFileCount;
    if (text.size() > static_cast<size_t>(kNumberEntrySize - 1)) {
        CheckedNumber bad;
        bad.bad = true;
        return bad;
    }
    return size ? CheckFileSize(text.c_str(), max) : CheckBackupCount(text.c_str(), max);
}

void StoreNumber(const FilePageTraits& traits, bool size, DWORD value) {
    WriteServiceDword(size ? StreamFileSizeValue(traits.stream) : StreamFileCountValue(traits.stream), value);
}

// Steps of the apply in their order; a refused value ends it there, and what was done stays done.
bool ApplyFileName(HWND page, FilePage* values) {
    const FilePageTraits& traits = *values->traits;
    char name[kStreamNameSize];
    if (!ReadFileNameEntry(page, traits, name)) {
        Tell(page, traits.errorCaption, traits.badName, MB_ICONHAND);
        return false;
    }
    if (StoreFileName(traits, values->currentName, name) && traits.foregroundAfterApply) SetForegroundWindow(page);
    return true;
}

bool ApplyNumber(HWND page, const FilePageTraits& traits, bool size) {
    const int id = size ? traits.sizeEdit : traits.backupsEdit;
    std::string text;
    CheckedNumber checked;
    if (ReadControlText(page, id, kNumberEntrySize - 1, &text))
        checked = CheckNumberEntry(traits, size, text);
    else
        checked.bad = true;
    if (checked.bad) {
        Tell(page, traits.errorCaption, size ? traits.badSize : traits.badBackups, MB_ICONHAND);
        return false;
    }
    if (checked.tooLarge)
        Tell(page, traits.infoCaption, size ? traits.largeSize : traits.largeBackups, MB_ICONINFORMATION);
    if (checked.tooSmall) Tell(page, traits.infoCaption, traits.smallSize, MB_ICONINFORMATION);
    StoreNumber(traits, size, checked.value);
    return true;
}

bool ApplyPage(HWND page, FilePage* values) {
    const FilePageTraits& traits = *values->traits;
    traits.setLevel(LevelMask(page));
    if (!ApplyFileName(page, values)) return false;
    if (!ApplyNumber(page, traits, false)) return false;
    if (!ApplyNumber(page, traits, true)) return false;
    if (traits.foregroundAfterApply) SetForegroundWindow(page);
    return true;
}

void ApplyNow(HWND page, FilePage* values) {
    const FilePageTraits& traits = *values->traits;
    if (MessageBoxA(page, traits.applyNow.text(), traits.questionCaption, MB_OKCANCEL | MB_ICONINFORMATION) != IDCANCEL)
        ApplyPage(page, values);
    LoadPage(page, values);
}

void StoreLevel(const FilePageTraits& traits, DWORD mask) {
    char path[kPathSize];
    if (JoinRegistryPath(kVrkRasParametersKey, traits.levelValue, path)) WriteRegDword(path, mask, kRegClose);
}

bool StartViewer(const FilePageTraits& traits, const char* file) {
    char viewer[kExpandSize] = "";
    char path[kPathSize];
    if (!ServiceSettingPath(traits.viewerValue, path, sizeof path) || !ReadRegString(path, viewer, sizeof viewer))
        CopyText(viewer, sizeof viewer, kDefaultViewer);
    if (!ExpandInPlace(viewer, sizeof viewer)) return false;
    // A viewer that is a program's full path is named as the program to start, so that a path with
    // blanks cannot start another program named by its first part. Any other value is a command
    // of its own (a name the system searches for, a program with arguments, a quoted path) and is
    // left to the system to take apart, as it always was.
    const bool program = IsFullPath(viewer) && FileExists(nullptr, viewer);
    char command[kViewerCommandSize];
    if (!FormatViewerCommand(command, sizeof command, viewer, file, program)) return false;
    return StartProgram(program ? viewer : nullptr, command, NORMAL_PRIORITY_CLASS);
}

void ViewFile(HWND page, const FilePageTraits& traits) {
    char file[kStreamNameSize];
    ReadStreamFileName(traits.stream, file);
    if (!FileExists(nullptr, file)) {
        Tell(page, traits.infoCaption, traits.missingFile, MB_ICONINFORMATION);
        return;
    }
    if (StartViewer(traits, file)) return;
    if (traits.viewFailedTextId)
        MessageBoxFromIds(page, traits.viewFailedTextId, MB_ICONEXCLAMATION, IDS_MESSAGE_CAPTION);
    else
        Tell(page, traits.infoCaption, traits.viewFailed, MB_SYSTEMMODAL | MB_ICONHAND);
}

BOOL InitPage(HWND page, const FilePageTraits* traits) {
    FilePage* values = new FilePage{traits, ""};
    KeepPageValues(page, values);
    SendDlgItemMessageA(page, traits->nameEdit, EM_LIMITTEXT, kNameLength, 0);
    LoadPage(page, values);
    SetForegroundWindow(page);
    return TRUE;
}

BOOL Command(HWND page, FilePage* values, int id, int code) {
    const FilePageTraits& traits = *values->traits;
    if (id >= IDC_LEVEL_BIT0 && id < IDC_LEVEL_BIT0 + kLevelBoxes) {
        if (code == BN_CLICKED) traits.setLevel(LevelMask(page));
        return TRUE;
    }
    if (id == traits.storeButton) {
        StoreLevel(traits, LevelMask(page));
    } else if (id == traits.applyNowButton) {
        ApplyNow(page, values);
    } else if (id == traits.viewButton) {
        ViewFile(page, traits);
    } else {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK FilePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return InitPage(page, reinterpret_cast<const FilePageTraits*>(lParam));
    FilePage* values = PageOf(page);
    return values ? DispatchPageMessage(page, values, message, wParam, Command, ApplyPage, values->traits->helpContext)
                  : FALSE;
}

bool ApplyFilePageAnswers(const FilePageTraits& traits, SectionAnswers& answers) {
    ShownValues shown;
    ReadShownValues(traits, &shown);
    char currentName[kStreamNameSize];
    ReadStreamFileName(traits.stream, currentName);

    DWORD level = shown.level;
    long answeredLevel = 0;
    if (answers.Number("Level", 0, (1 << kLevelBoxes) - 1, &answeredLevel)) {
        const DWORD kept = SpecialMode() ? 0 : SpecialLevelBits(traits);
        const DWORD answered = static_cast<DWORD>(answeredLevel);
        if ((answered ^ level) & kept) {
            char text[160];
            snprintf(text, sizeof text, "the bits 0x%02lX are set in special mode only; they stay as they were",
                     static_cast<unsigned long>(kept));
            NoteAnswer(answers, "Level", text);
        }
        level = (answered & ~kept) | (level & kept);
    }
    bool storeLevel = false;
    answers.YesNo("StoreLevel", &storeLevel);
    std::string typedName = shown.name, typedBackups = std::to_string(shown.count), typedSize = std::to_string(shown.size);
    answers.Text("FileName", kAnswerTextMax, &typedName);
    answers.Text("Backups", kAnswerTextMax, &typedBackups);
    answers.Text("Size", kAnswerTextMax, &typedSize);

    char name[kStreamNameSize];
    if (!CheckFileNameEntry(typedName, name)) answers.Refuse("FileName", traits.badName.text());
    const CheckedNumber backups = CheckNumberEntry(traits, false, typedBackups);
    if (backups.bad) answers.Refuse("Backups", traits.badBackups.text());
    if (backups.tooLarge) answers.Refuse("Backups", traits.largeBackups.text());
    const CheckedNumber size = CheckNumberEntry(traits, true, typedSize);
    if (size.bad) answers.Refuse("Size", traits.badSize.text());
    if (size.tooLarge) answers.Refuse("Size", traits.largeSize.text());
    if (size.tooSmall) answers.Refuse("Size", traits.smallSize.text());
    if (answers.refused()) return false;

    if (storeLevel) StoreLevel(traits, level);
    traits.setLevel(level);
    StoreFileName(traits, currentName, name);
    StoreNumber(traits, false, backups.value);
    StoreNumber(traits, true, size.value);
    return true;
}
