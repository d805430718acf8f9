#include "rasconfig/caller_page.h"

#include <cstdio>
#include <cstring>

#include "common/files.h"
#include "common/handles.h"
#include "common/help.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "lang/resource.h"
#include "rasconfig/bilingual.h"
#include "rasconfig/caller_list.h"
#include "rasconfig/driver_channel.h"
#include "rasconfig/page_controls.h"
#include "tracesvc/stream_settings.h"

namespace {

const char kCallerFileValue[] = "IncomingCallerFile";
const char kIncallFlagValue[] = "IncallFlag";
const char kDefaultCallerFile[] = "%SystemRoot%\\SYSTEM32\\VARNEK\\caller.dat";
const int kListTabStops[] = {56, 186};
constexpr DWORD kFlagFirstBox = 1;
constexpr DWORD kFlagSecondBox = 2;

const char kWriteErrorCaption[] = "ERROR";
const Bilingual kWriteError = {
    "During open caller file occurs a error. Pleace check the filename, harddisk space and securitys for this file.",
    "Beim Öffnen der Datei für die Rufnummern, die überprüft werden sollen, ist ein Fehler aufgetreten. Überprüfen "
    "Sie bitte Dateinamen, Festplattenplatz und Zugriffsrechte."};
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
    bool renaming = false;
    size_t renamedIndex = 0;
    std::string renamedNumber;
};

CallerPage* PageOf(HWND page) { return reinterpret_cast<CallerPage*>(GetWindowLongPtrA(page, DWLP_USER)); }

bool ValuePath(const char* value, char* path, size_t size) {
    const int n = snprintf(path, size, "%s\\%s", kVrkRasParametersKey, value);
    return n > 0 && static_cast<size_t>(n) < size;
}

// The caller file's path, expanded (kExpandSize bytes). Without IncomingCallerFile the default is
// written there first; a value that is there but cannot be read (too long, another type) is left
// for its owner and the default used.
void CallerFilePath(char* file) {
    char path[kPathSize];
    file[0] = '\0';
    if (ValuePath(kCallerFileValue, path, sizeof path) && ReadRegString(path, file, kExpandSize) == 0) {
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

// The whole file up to its first NUL; false when it cannot be opened or read.
bool ReadWholeFile(const char* file, DWORD share, std::string* text) {
    text->clear();
    vrk::FileHandle handle(CreateFileA(file, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) return false;
    DWORD high = 0;
    const DWORD size = GetFileSize(handle.get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size >= 0x7FFFFFF0u) return false;
    vrk::HeapBlock block(HeapAlloc(GetProcessHeap(), 0, size + 1));
    if (!block.valid()) return false;
    char* bytes = static_cast<char*>(block.get());
    DWORD total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(handle.get(), bytes + total, size - total, &got, nullptr)) return false;
        if (got == 0) break;
        total += got;
    }
    bytes[total] = '\0';
    text->assign(bytes, strlen(bytes));
    return true;
}

// Creates the file anew with text; false, with the file as it was, when it cannot be created, and
// false when not every byte was written.
bool WriteWholeFile(const char* file, const std::string& text) {
    vrk::FileHandle handle(CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid()) return false;
    DWORD written = 0;
    return text.empty() ||
           (WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
            written == text.size());
}

int Selected(HWND page, const CallerPage* values) {
    const int index = SelectedLine(page, IDC_CALLER_LIST);
    return index >= 0 && static_cast<size_t>(index) < values->callers.size() ? index : -1;
}

void LoadPage(HWND page, CallerPage* values) {
    SendDlgItemMessageA(page, IDC_CALLER_LIST, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(kListTabStops));
    char file[kExpandSize];
    CallerFilePath(file);
    std::string text;
    size_t cut = 0;
    if (ReadWholeFile(file, FILE_SHARE_READ, &text)) values->callers = CallerList(SplitCallerText(text.data(), text.size(), &cut));
    if (cut)
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Caller file %s: %u lines longer than %u characters cut to %u", file,
                      static_cast<unsigned>(cut), static_cast<unsigned>(kCallerEntryMax),
                      static_cast<unsigned>(kCallerEntryMax));
    for (const std::string& entry : values->callers.entries()) AppendLine(page, IDC_CALLER_LIST, entry);

    DWORD flags = 0;
    char path[kPathSize];
    if (ValuePath(kIncallFlagValue, path, sizeof path)) ReadRegDword(path, &flags);
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

void CollectCallers(HWND page, CallerPage* values) {
    char log[kStreamNameSize];
    ReadStreamFileName(StreamKind::Log, log);
    if (!FileExists(nullptr, log)) {
        Tell(page, kLogMissing, MB_ICONHAND);
        return;
    }
    // The trace service keeps writing the log meanwhile.
    std::string text;
    if (!ReadWholeFile(log, FILE_SHARE_READ | FILE_SHARE_WRITE, &text)) {
        Tell(page, kLogNotOpened, MB_ICONHAND);
        return;
    }
    const size_t before = values->callers.size();
    const size_t added = values->callers.collect(ScanRingNumbers(text.data(), text.size()));
    for (size_t i = before; i < values->callers.size(); ++i) AppendLine(page, IDC_CALLER_LIST, values->callers.at(i));
    if (added == 0) {
        Tell(page, kNoNumberAdded, MB_ICONEXCLAMATION);
        return;
    }
    char message[160];
    snprintf(message, sizeof message, kNumbersAdded.text(), static_cast<int>(added));
    MessageBoxA(page, message, kCollectCaption.text(), MB_ICONINFORMATION);
}

// Stores file, list and flags and sends them to the driver. When the file cannot be written
// nothing is stored or sent and the page stays open, so that the edits are not lost.
bool ApplyPage(HWND page, CallerPage* values) {
    char file[kExpandSize];
    CallerFilePath(file);
    if (!WriteWholeFile(file, CallerFileText(values->callers.entries()))) {
        WriteSetupLog(kLogSourceSetup, kLogFailure, "Caller file %s cannot be written, error %lu", file,
                      static_cast<unsigned long>(GetLastError()));
        MessageBoxA(page, kWriteError.text(), kWriteErrorCaption, MB_SYSTEMMODAL | MB_ICONHAND);
        return false;
    }
    std::string text;
    if (ReadWholeFile(file, FILE_SHARE_READ, &text) && !text.empty())
        LoadCallerList(text.data(), static_cast<DWORD>(text.size()));

    DWORD flags = 0;
    if (IsDlgButtonChecked(page, IDC_CALLER_CHECK_FLAG0) == BST_CHECKED) flags |= kFlagFirstBox;
    if (IsDlgButtonChecked(page, IDC_CALLER_CHECK_FLAG1) == BST_CHECKED) flags |= kFlagSecondBox;
    char path[kPathSize];
    if (ValuePath(kIncallFlagValue, path, sizeof path)) WriteRegDword(path, flags, kRegClose);
    SetIncallFlags(flags);
    return true;
}

BOOL InitPage(HWND page) {
    CallerPage* values = new CallerPage;
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(values));
    SendDlgItemMessageA(page, IDC_CALLER_NUMBER, EM_LIMITTEXT, kCallerEntryMax, 0);
    SendDlgItemMessageA(page, IDC_CALLER_NAME, EM_LIMITTEXT, kCallerEntryMax, 0);
    LoadPage(page, values);
    SetForegroundWindow(page);
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
    case IDOK:
        // Enter reaches OK with the focus still in the name field: its rename comes first.
        FinishRename(page, values);
        if (ApplyPage(page, values)) EndDialog(page, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(page, 0);
        return TRUE;
    case IDHELP:
        ShowSetupHelp(page, IDH_INCALLER_PAGE);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK CallerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return InitPage(page);
    CallerPage* values = PageOf(page);
    if (!values) return FALSE;
    switch (message) {
    case WM_COMMAND:
        return Command(page, values, LOWORD(wParam), HIWORD(wParam));
    case WM_HELP:
        ShowSetupHelp(page, IDH_INCALLER_PAGE);
        return TRUE;
    case WM_DESTROY:
        SetWindowLongPtrA(page, DWLP_USER, 0);
        delete values;
        return FALSE;
    }
    return FALSE;
}
