#include "rasconfig/caller_page.h"

#include <cstdio>
#include <cstring>

#include "common/answer_section.h"
#include "common/dialog_controls.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "lang/resource.h"
#include "rasconfig/page_frame.h"
#include "rasconfig/bilingual.h"
#include "rasconfig/caller_file.h"
#include "rasconfig/caller_list.h"
#include "rasconfig/driver_channel.h"
#include "rasconfig/list_answers.h"
#include "rasconfig/page_controls.h"
#include "tracesvc/stream_settings.h"

namespace {

const char kCallerFileValue[] = "IncomingCallerFile";
const char kIncallFlagValue[] = "IncallFlag";
const char kDefaultCallerFile[] = "%SystemRoot%\\SYSTEM32\\VARNEK\\caller.dat";
const int kListTabStops[] = {56, 186};
const int kListControls[] = {IDC_CALLER_LIST,   IDC_CALLER_NUMBER, IDC_CALLER_NAME,    IDC_CALLER_ADD,
                             IDC_CALLER_DELETE, IDC_CALLER_MARK,   IDC_CALLER_UNMARK, IDC_CALLER_COLLECT};
constexpr DWORD kFlagFirstBox = 1;
constexpr DWORD kFlagSecondBox = 2;

const char kWriteErrorCaption[] = "ERROR";
const Bilingual kWriteError = {
    "During open caller file occurs a error. Pleace check the filename, harddisk space and securitys for this file.",
    "Beim Öffnen der Datei für die Rufnummern, die überprüft werden sollen, ist ein Fehler aufgetreten. Überprüfen "
    "Sie bitte Dateinamen, Festplattenplatz und Zugriffsrechte."};
const Bilingual kDriverRefused = {
    "The driver did not take the incoming-caller list or its check flags (error %lu). The file is written; until "
    "the driver takes them, it checks incoming calls as it did before.",
    "Der Treiber hat die Liste der Anrufer oder ihre Prüfoptionen nicht übernommen (Fehler %lu). Die Datei ist "
    "geschrieben; bis der Treiber sie übernimmt, prüft er ankommende Anrufe wie bisher."};
// The driver reads the list as lines: one empty line is a list without a caller, where an empty
// request would not reach it at all.
const char kEmptyDriverList[] = "\r\n";
const Bilingual kCollectCaption = {"Varnek ISDN DIALCORE Incaller Configaration",
                                   "Varnek ISDN DIALCORE Incaller Konfigaration"};
const Bilingual kLogMissing = {
    "Have not found a logging file. Can't search anyone number for incaller check.",
    "Varnek ISDN DIALCORE Logging Datei wurde nicht gefunden. Es können keine Nummern übernommen werden."};
const Bilingual kLogNotOpened = {
    "Can't open the logging file. Can't search anyone number for incaller check.",
    "Varnek ISDN DIALCORE Logging Datei konnte nicht geöffnet werden. Es können keine Nummern übernommen werden."};
const Bilingual kNumbersAdded = {"There are %d new phone numbers in the incaller listbox.",
                                 "Es wurden %d neue Telefonnummern gefunden."};
const Bilingual kNoNumberAdded = {"There are not new checked phonenumbers added.",
                                  "Es wurden keine neuen Telefonnummern übernommen"};

// The page's values between loading and closing: the entries as the list shows them, and the
// entry whose name the name field is editing.
struct CallerPage {
    CallerList callers;
    // caller.dat is there but could not be read: the list shown is not the file's, so neither
    // of them may replace the other.
    bool unreadable = false;
    bool renaming = false;
    size_t renamedIndex = 0;
    std::string renamedNumber;
};

CallerPage* PageOf(HWND page) { return PageValues<CallerPage>(page); }

// The caller file's path, expanded (kExpandSize bytes). Without IncomingCallerFile the default is
// written there first; a value that is there but cannot be read (too long, another type) is left
// for its owner and the default used.
void CallerFilePath(char* file) {
    char path[kPathSize];
    file[0] = '\0';
    if (JoinRegistryPath(kVrkRasParametersKey, kCallerFileValue, path) && ReadRegString(path, file, kExpandSize) == 0) {
        CopyText(file, kExpandSize, kDefaultCallerFile);
        ExpandInPlace(file, kExpandSize);
        DWORD type, size;
        if (!QueryRegValue(path, &type, &size))
            WriteRegString(path, file, kRegClose);
        else
            WriteSetupLog(kLogSourceSetup, kLogFailure, "%s cannot be read; the caller file is %s", kCallerFileValue,
                          file);
    }
    ExpandInPlace(file, kExpandSize);
}

int Selected(HWND page, const CallerPage* values) {
    const int index = SelectedLine(page, IDC_CALLER_LIST);
    return index >= 0 && static_cast<size_t>(index) < values->callers.size() ? index : -1;
}

// The list from caller.dat, and the flags of the two check boxes.
DWORD ReadCallerValues(CallerPage* values) {
    char file[kExpandSize];
    CallerFilePath(file);
    std::string text;
    size_t cut = 0, leftOut = 0;
    if (ReadCallerFile(file, FILE_SHARE_READ, &text)) {
        values->callers = CallerList(SplitCallerText(text.data(), text.size(), &cut, &leftOut));
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND) {
        values->unreadable = true;
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Caller file %s cannot be read, error %lu; it is left as it is",
                      file, static_cast<unsigned long>(GetLastError()));
    }
    if (cut)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Caller file %s: %u lines longer than %u characters cut to %u", file,
                      static_cast<unsigned>(cut), static_cast<unsigned>(kCallerEntryMax),
                      static_cast<unsigned>(kCallerEntryMax));
    if (leftOut)
        WriteSetupLog(kLogSourceSetup, kLogFailure,
                      "Caller file %s: %u lines longer than %u characters left out: their numbers would be cut", file,
                      static_cast<unsigned>(leftOut), static_cast<unsigned>(kCallerEntryMax));
    DWORD flags = 0;
    char path[kPathSize];
    if (JoinRegistryPath(kVrkRasParametersKey, kIncallFlagValue, path)) ReadRegDword(path, &flags);
    return flags;
}

void LoadPage(HWND page, CallerPage* values) {
    SendDlgItemMessageA(page, IDC_CALLER_LIST, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(kListTabStops));
    const DWORD flags = ReadCallerValues(values);
    for (const std::string& entry : values->callers.entries()) AppendLine(page, IDC_CALLER_LIST, entry);
    // Nothing typed into a list that cannot be stored.
    for (int id : kListControls) SetControlDisabled(page, id, values->unreadable);

    CheckDlgButton(page, IDC_CALLER_CHECK_FLAG0, flags & kFlagFirstBox ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_CALLER_CHECK_FLAG1, flags & kFlagSecondBox ? BST_CHECKED : BST_UNCHECKED);
}

// The selected entry's number and name in the fields; an entry without them changes nothing.
void ShowSelected(HWND page, const CallerPage* values) {
    const int index = Selected(page, values);
    if (index < 0) return;
    std::string number, name;
    const std::string& entry = values->callers.at(static_cast<size_t>(index));
    if (!CallerEntryNumber(entry, &number) || !CallerEntryName(entry, &name)) return;
    SetDlgItemTextA(page, IDC_CALLER_NUMBER, number.c_str());
    SetDlgItemTextA(page, IDC_CALLER_NAME, name.c_str());
}

void SetEntry(HWND page, CallerPage* values, int index, const std::string& entry) {
    values->callers.replace(static_cast<size_t>(index), entry);
    ReplaceLine(page, IDC_CALLER_LIST, index, entry);
}

void AddCaller(HWND page, CallerPage* values) {
    std::string number;
    const bool fits = ReadControlText(page, IDC_CALLER_NUMBER, kCallerEntryMax, &number);
    const NewCallerCheck check = fits ? CheckNewCaller(number) : NewCallerCheck::TooLong;
    if (check == NewCallerCheck::Empty) return;
    if (check != NewCallerCheck::Good) {
        MessageBoxFromIds(page, IDS_CALLER_BAD_NUMBER, MB_ICONEXCLAMATION, IDS_MESSAGE_CAPTION);
        return;
    }
    const std::string entry = NewCallerEntry(number, ControlTextCut(page, IDC_CALLER_NAME, kCallerEntryMax));
    const int listed = values->callers.find(number);
    if (listed >= 0) {
        if (MessageBoxFromIds(page, IDS_CALLER_REPLACE, MB_YESNO | MB_ICONINFORMATION, IDS_MESSAGE_CAPTION) == IDNO)
            return;
        values->callers.remove(static_cast<size_t>(listed));
        RemoveLine(page, IDC_CALLER_LIST, listed);
    }
    values->callers.add(entry);
    AppendLine(page, IDC_CALLER_LIST, entry);
    SelectLine(page, IDC_CALLER_LIST, values->callers.find(number));
}

void DeleteCaller(HWND page, CallerPage* values) {
    const int index = Selected(page, values);
    if (index < 0) return;
    values->callers.remove(static_cast<size_t>(index));
    RemoveLine(page, IDC_CALLER_LIST, index);
    if (values->callers.size() > 0) SelectLine(page, IDC_CALLER_LIST, 0);
}

void MarkCaller(HWND page, CallerPage* values, bool checked) {
    const int index = Selected(page, values);
    if (index < 0) return;
    SetEntry(page, values, index, MarkedEntry(values->callers.at(static_cast<size_t>(index)), checked));
    SelectLine(page, IDC_CALLER_LIST, index);
}

void ToggleCaller(HWND page, CallerPage* values) {
    const int index = Selected(page, values);
    if (index < 0) return;
    SetEntry(page, values, index, ToggledEntry(values->callers.at(static_cast<size_t>(index))));
    SelectLine(page, IDC_CALLER_LIST, index);
}

void StartRename(HWND page, CallerPage* values) {
    if (values->renaming) return;
    const int index = Selected(page, values);
    if (index < 0 || !CallerEntryNumber(values->callers.at(static_cast<size_t>(index)), &values->renamedNumber)) return;
    values->renaming = true;
    values->renamedIndex = static_cast<size_t>(index);
}

// The name field's text becomes the remembered entry's name, but only while the number field
// still holds that entry's number: a new caller typed into both fields renames nobody.
void FinishRename(HWND page, CallerPage* values) {
    if (!values->renaming) return;
    values->renaming = false;
    const size_t index = values->renamedIndex;
    std::string number, typed, renamed;
    if (index >= values->callers.size() || !CallerEntryNumber(values->callers.at(index), &number) ||
        number != values->renamedNumber)
        return;
    if (!ReadControlText(page, IDC_CALLER_NUMBER, kCallerEntryMax, &typed) || typed != number) return;
    const std::string& entry = values->callers.at(index);
    if (!RenamedEntry(entry, ControlTextCut(page, IDC_CALLER_NAME, kCallerEntryMax), &renamed) || renamed == entry)
        return;
    SetEntry(page, values, static_cast<int>(index), renamed);
}

void Tell(HWND page, const Bilingual& text, UINT style) {
    MessageBoxA(page, text.text(), kCollectCaption.text(), style);
}

// The callers that rang, from the driver's log, added to callers (*added of them); the text of the
// box that says why they cannot be, or null.
const Bilingual* CollectFromLog(CallerList* callers, size_t* added) {
    char log[kStreamNameSize];
    ReadStreamFileName(StreamKind::Log, log);
    if (!FileExists(nullptr, log)) return &kLogMissing;
    // The trace service keeps writing the log meanwhile.
    std::string text;
    if (!ReadCallerFile(log, FILE_SHARE_READ | FILE_SHARE_WRITE, &text)) return &kLogNotOpened;
    *added = callers->collect(ScanRingNumbers(text.data(), text.size()));
    return nullptr;
}

void CollectCallers(HWND page, CallerPage* values) {
    const size_t before = values->callers.size();
    size_t added = 0;
    if (const Bilingual* failure = CollectFromLog(&values->callers, &added)) {
        Tell(page, *failure, MB_ICONHAND);
        return;
    }
    for (size_t i = before; i < values->callers.size(); ++i) AppendLine(page, IDC_CALLER_LIST, values->callers.at(i));
    if (added == 0) {
        Tell(page, kNoNumberAdded, MB_ICONEXCLAMATION);
        return;
    }
    char message[160];
    snprintf(message, sizeof message, kNumbersAdded.text(), static_cast<int>(added));
    MessageBoxA(page, message, kCollectCaption.text(), MB_ICONINFORMATION);
}

// Stores file, list and flags and sends them to the driver. False when the file cannot be written:
// then nothing is stored or sent. *refused: ERROR_SUCCESS, or the error with which the driver
// refused what it was sent.
bool StoreCallers(const CallerPage* values, DWORD flags, DWORD* refusedError) {
    DWORD refused = ERROR_SUCCESS;
    if (!values->unreadable) {
        char file[kExpandSize];
        CallerFilePath(file);
        std::string text;
        if (!WriteCallerFile(file, values->callers.entries(), &text)) {
            WriteSetupLog(kLogSourceSetup, kLogFailure, "Caller file %s cannot be written, error %lu", file,
                          static_cast<unsigned long>(GetLastError()));
            return false;
        }
        const DWORD error = text.empty() ? LoadCallerList(kEmptyDriverList, sizeof kEmptyDriverList - 1)
                                         : LoadCallerList(text.data(), static_cast<DWORD>(text.size()));
        if (!IsDriverAbsent(error)) refused = error;
    }

    char path[kPathSize];
    if (JoinRegistryPath(kVrkRasParametersKey, kIncallFlagValue, path)) WriteRegDword(path, flags, kRegClose);
    const DWORD error = SendIncallFlags(flags);
    if (refused == ERROR_SUCCESS && !IsDriverAbsent(error)) refused = error;
    if (refused != ERROR_SUCCESS)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "The driver did not take the caller list or the flags, error %lu",
                      static_cast<unsigned long>(refused));
    *refusedError = refused;
    return true;
}

std::string DriverRefusal(DWORD error) {
    char message[400];
    snprintf(message, sizeof message, kDriverRefused.text(), static_cast<unsigned long>(error));
    return message;
}

// When the file cannot be written nothing is stored or sent, and when the driver refuses what it is
// sent the page says so; in both cases the page stays open, so that the edits are not lost and OK
// can be tried again.
bool ApplyPage(HWND page, CallerPage* values) {
    DWORD flags = 0;
    if (IsDlgButtonChecked(page, IDC_CALLER_CHECK_FLAG0) == BST_CHECKED) flags |= kFlagFirstBox;
    if (IsDlgButtonChecked(page, IDC_CALLER_CHECK_FLAG1) == BST_CHECKED) flags |= kFlagSecondBox;
    DWORD refused = ERROR_SUCCESS;
    if (!StoreCallers(values, flags, &refused)) {
        MessageBoxA(page, kWriteError.text(), kWriteErrorCaption, MB_SYSTEMMODAL | MB_ICONHAND);
        return false;
    }
    if (refused == ERROR_SUCCESS) return true;
    MessageBoxA(page, DriverRefusal(refused).c_str(), kWriteErrorCaption, MB_SYSTEMMODAL | MB_ICONHAND);
    return false;
}

// Enter reaches OK with the focus still in the name field: its rename comes first.
bool Accept(HWND page, CallerPage* values) {
    FinishRename(page, values);
    return ApplyPage(page, values);
}

BOOL InitPage(HWND page) {
    CallerPage* values = new CallerPage;
    KeepPageValues(page, values);
    SendDlgItemMessageA(page, IDC_CALLER_NUMBER, EM_LIMITTEXT, kCallerEntryMax, 0);
    SendDlgItemMessageA(page, IDC_CALLER_NAME, EM_LIMITTEXT, kCallerEntryMax, 0);
    LoadPage(page, values);
    SetForegroundWindow(page);
    if (values->unreadable) MessageBoxA(page, kWriteError.text(), kWriteErrorCaption, MB_SYSTEMMODAL | MB_ICONHAND);
    return TRUE;
}

BOOL Command(HWND page, CallerPage* values, int id, int code) {
    switch (id) {
    case IDC_CALLER_LIST:
        // Every notification shows the selected entry; a double click then turns its mark.
        ShowSelected(page, values);
        if (code == LBN_DBLCLK) ToggleCaller(page, values);
        return TRUE;
    case IDC_CALLER_NAME:
        if (code == EN_SETFOCUS) StartRename(page, values);
        if (code == EN_KILLFOCUS) FinishRename(page, values);
        return TRUE;
    case IDC_CALLER_ADD:
        AddCaller(page, values);
        return TRUE;
    case IDC_CALLER_DELETE:
        DeleteCaller(page, values);
        return TRUE;
    case IDC_CALLER_MARK:
        MarkCaller(page, values, true);
        return TRUE;
    case IDC_CALLER_UNMARK:
        MarkCaller(page, values, false);
        return TRUE;
    case IDC_CALLER_COLLECT:
        CollectCallers(page, values);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK CallerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return InitPage(page);
    CallerPage* values = PageOf(page);
    return values ? DispatchPageMessage(page, values, message, wParam, Command, Accept, IDH_INCALLER_PAGE) : FALSE;
}

bool ApplyCallerAnswers(SectionAnswers& answers) {
    CallerPage values;
    DWORD flags = ReadCallerValues(&values);
    if (values.unreadable) {
        NoteAnswer(answers, nullptr, kWriteError.text());
        return false;
    }
    CallerList& callers = values.callers;
    ClearAndDeleteAnswered(answers, &callers);
    bool collect = false;
    if (answers.YesNo("CollectFromLog", &collect) && collect) {
        size_t added = 0;
        if (const Bilingual* failure = CollectFromLog(&callers, &added)) {
            answers.Refuse("CollectFromLog", failure->text());
        } else if (added == 0) {
            TellAnswer(answers, kNoNumberAdded.text());
        } else {
            char message[160];
            snprintf(message, sizeof message, kNumbersAdded.text(), static_cast<int>(added));
            TellAnswer(answers, message);
        }
    }
    bool replace = false;
    answers.YesNo("Replace", &replace);
    std::vector<std::string> entries;
    if (AnswerList(answers, "Add", &entries)) {
        char invalid[kMessageTextSize];
        LoadLanguageString(IDS_CALLER_BAD_NUMBER, invalid, sizeof invalid);
        for (const std::string& entry : entries) {
            // "number name": a number holds no blank; the name is the rest, blanks and all.
            const size_t blank = entry.find_first_of(" \t");
            const std::string number = entry.substr(0, blank);
            const size_t nameStart = blank == std::string::npos ? entry.size() : entry.find_first_not_of(" \t", blank);
            const std::string name = nameStart == std::string::npos ? "" : entry.substr(nameStart, kCallerEntryMax);
            if (number.size() > kCallerEntryMax || CheckNewCaller(number) != NewCallerCheck::Good) {
                answers.Refuse("Add", (entry + ": " + invalid).c_str());
                continue;
            }
            const int listed = callers.find(number);
            if (listed >= 0) {
                if (!replace) {
                    NoteAnswer(answers, "Add", number + " is listed already and stays as it is (Replace=no)");
                    continue;
                }
                callers.remove(static_cast<size_t>(listed));
            }
            callers.add(NewCallerEntry(number, name));
        }
    }
    for (const bool checked : {false, true}) {
        const char* key = checked ? "Mark" : "Unmark";
        std::vector<std::string> numbers;
        if (!AnswerList(answers, key, &numbers)) continue;
        for (const std::string& number : numbers) {
            const int index = callers.find(number);
            if (index < 0)
                NoteAnswer(answers, key, number + " is not listed");
            else
                callers.replace(static_cast<size_t>(index), MarkedEntry(callers.at(static_cast<size_t>(index)), checked));
        }
    }
    long answeredFlags = 0;
    if (answers.Number("Flags", 0, kFlagFirstBox | kFlagSecondBox, &answeredFlags)) flags = static_cast<DWORD>(answeredFlags);
    if (answers.refused()) return false;

    DWORD refused = ERROR_SUCCESS;
    if (!StoreCallers(&values, flags & (kFlagFirstBox | kFlagSecondBox), &refused)) {
        NoteAnswer(answers, nullptr, kWriteError.text());
        return false;
    }
    if (refused != ERROR_SUCCESS) NoteAnswer(answers, nullptr, DriverRefusal(refused));
    return true;
}
