// VrkClean.exe as a user runs it: the questions it asks on machines with no, one and all product
// lines, the product choice, what the clean-ups leave in the registry, the network control panel
// in its three shapes, the restart answered both ways, and a missing language module.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cleanup/product_lines.h"
#include "dialog_robot.h"
#include "journal.h"
#include "lang/resource.h"
#include "machine.h"
#include "tests/maintenance/maintenance_fixture.h"

using namespace dialog_robot;
using namespace testing_machine;
using maintenance_testing::ReadRegTree;
using maintenance_testing::RegTree;

namespace {

#ifdef VRK_GERMAN_MACHINE
constexpr bool kGermanMachine = true;
#else
constexpr bool kGermanMachine = false;
#endif

const char kLog[] = "c:\\temp\\setup.log";
const char kServices[] = "SYSTEM\\CurrentControlSet\\Services";
const char kNetworkCards[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
const char kRestartVariable[] = "VRK_TESTBED_RESTART_JOURNAL";
const char kJournal[] = "C:\\testbed\\journal.txt";
const char kRouterName[] = "\"Varnek ISDN Multiprotocol Router\" ";
const char kDialCoreName[] = "\"Varnek ISDN DialCore\" ";
const char kLinvoraName[] = "\"Linvora for Windows\" ";

std::string Maker(const std::string& name) { return MakerDirectory() + "\\" + name; }
std::string System32(const std::string& name) { return Expand("%SystemRoot%\\SYSTEM32\\" + name); }

HMODULE MachineModule() {
    static HMODULE module = LoadLibraryExA(Maker(kGermanMachine ? "LANGGER.DLL" : "LANGENG.DLL").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

std::string LoadText(UINT id) {
    char text[1024] = "";
    const int n = LoadStringA(MachineModule(), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

std::string Formatted(UINT id, const std::string& argument) {
    std::string text = LoadText(id);
    const size_t at = text.find("%s");
    return at == std::string::npos ? text : text.replace(at, 2, argument);
}

// VrkClean started as from the Explorer, running while the robot answers it.
struct Run {
    ProgramResult result;
    std::unique_ptr<BackgroundCall> call;
    bool Ended() { return call->Wait(60000); }
};

std::unique_ptr<Run> StartVrkClean() {
    auto run = std::make_unique<Run>();
    Run* r = run.get();
    r->call = std::make_unique<BackgroundCall>([r] {
        r->result = RunProgram("\"" + Maker("VrkClean.exe") + "\"", 180000);
        return INT_PTR(0);
    });
    return run;
}

// The next question of the program; the information windows of the clean-ups, which carry a
// picture where a message box has its text, are waited out.
MessageBoxSeen NextBox() {
    const std::string noteCaption = LoadText(IDS_NOTE_CAPTION);
    for (;;) {
        MessageBoxSeen seen = WaitForMessageBox(60000);
        if (!seen.window || seen.caption != noteCaption) return seen;
        WaitUntilGone(seen.window, 60000);
    }
}

MessageBoxSeen Answer(int button) {
    const MessageBoxSeen seen = NextBox();
    if (seen.window) {
        Click(seen.window, button);
        WaitUntilGone(seen.window);
    }
    return seen;
}

void ExpectBox(const MessageBoxSeen& seen, const std::string& text, UINT buttons, UINT icon) {
    EXPECT_EQ(text, seen.text);
    EXPECT_EQ(LoadText(IDS_MESSAGE_CAPTION), seen.caption);
    EXPECT_EQ(buttons, seen.buttons);
    EXPECT_EQ(icon, seen.icon);
}

void ExpectEndedWithZero(Run* run) {
    ASSERT_TRUE(run->Ended());
    EXPECT_FALSE(run->result.timedOut);
    EXPECT_EQ(0u, run->result.exitCode);
}

// The log's lines without their time: "SS LL message".
std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    for (const std::string& line : SplitLines(ReadFileBytes(kLog)))
        if (line.size() > 30 && line[2] == ' ' && line[5] == ' ') lines.push_back(line.substr(0, 6) + line.substr(31));
    return lines;
}

bool Logged(const std::string& line) {
    for (const std::string& l : LogLines())
        if (l == line) return true;
    return false;
}

// Position of the first log line that begins with prefix; npos when none does.
size_t LogPosition(const std::string& prefix) {
    const std::vector<std::string> lines = LogLines();
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind(prefix, 0) == 0) return i;
    return std::string::npos;
}

std::vector<std::string> JournalDetails(const std::string& who, const std::string& what) {
    std::vector<std::string> details;
    for (const auto& entry : testing_journal::JournalOf(who))
        if (entry.what == what) details.push_back(entry.detail);
    return details;
}

bool Import(const std::string& regFile) {
    const ProgramResult r = RunProgram("regedit.exe /S C:\\testbed\\" + regFile, 60000);
    return r.started && !r.timedOut && r.exitCode == 0;
}

// What a clean-up may change, taken whole.
struct Registry {
    RegTree services = ReadRegTree(HKEY_LOCAL_MACHINE, kServices);
    RegTree maker = ReadRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK GmbH");
    RegTree cards = ReadRegTree(HKEY_LOCAL_MACHINE, kNetworkCards);
    RegTree capi = ReadRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\CAPI20");
};

void ExpectUnchanged(const Registry& before) {
    const Registry after;
    EXPECT_TRUE(before.services == after.services);
    EXPECT_TRUE(before.maker == after.maker);
    EXPECT_TRUE(before.cards == after.cards);
    EXPECT_TRUE(before.capi == after.capi);
}

bool Service(const std::string& name) { return RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\" + name); }

class CleanupVrkClean : public ::testing::Test {
protected:
    // The package as installed, kept aside under other names (the program searches the whole drive
    // for its language module): a clean-up of the last line deletes it.
    static void SetUpTestSuite() {
        CreateDirectoryA(kPackageCopy, nullptr);
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(Maker("*").c_str(), &found);
        ASSERT_NE(INVALID_HANDLE_VALUE, find);
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                CopyFileA(Maker(found.cFileName).c_str(), Kept(found.cFileName).c_str(), FALSE);
        } while (FindNextFileA(find, &found));
        FindClose(find);
        ASSERT_NE(nullptr, MachineModule());
    }

    void SetUp() override {
        // Never a real restart: it would end the whole test machine.
        ASSERT_TRUE(SetEnvironmentVariableA(kRestartVariable, kJournal));
        testing_journal::ClearJournal();
    }

    void TearDown() override {
        CreateDirectoryA(MakerDirectory().c_str(), nullptr);
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(Kept("*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            const std::string name(found.cFileName, strlen(found.cFileName) - strlen(kKeptSuffix));
            if (!PathExists(Maker(name))) CopyFileA(Kept(name).c_str(), Maker(name).c_str(), TRUE);
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }

    static constexpr const char* kPackageCopy = "C:\\temp\\package-copy";
    static constexpr const char* kKeptSuffix = ".kept";
    static std::string Kept(const std::string& name) { return std::string(kPackageCopy) + "\\" + name + kKeptSuffix; }
};

TEST(CleanupProductLines, KeyNamesAndConfirmationLists) {
    const struct {
        const char* name;
        ProductBits line;
    } names[] = {
        {"VrkRas", kRemoteAccessLine}, {"vrkrastracesv", kRemoteAccessLine}, {"OldVRKMPR1", kRouterLine},
        {"VrkLVMon", kGatewayLine},    {"VrkMprVrkRas", kRemoteAccessLine},  {"VrkLVVrkMpr", kRouterLine},
        {"VrkSetup", 0},               {"VrkL", 0},                          {"", 0},
    };
    for (const auto& c : names) EXPECT_EQ(c.line, LineOfKeyName(c.name)) << c.name;

    const struct {
        ProductBits bits;
        size_t size;
        std::string list;
    } lists[] = {
        {0, 260, ""},
        {kDeleteFilesBit, 260, ""},
        {0x01, 260, kRouterName},
        {0x12 | kDeleteFilesBit, 260, std::string(kRouterName) + kLinvoraName},
        {kEveryLine, 260, std::string(kRouterName) + kDialCoreName + kLinvoraName},
        // A name that does not fit whole is left out, the list stays terminated.
        {0x1A, 30, kDialCoreName},
        {0x08, 23, ""},
    };
    for (const auto& c : lists) {
        char out[260];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(c.list.size(), BuildConfirmationList(c.bits, out, c.size)) << c.bits;
        EXPECT_EQ(c.list, std::string(out)) << c.bits;
    }
}

TEST_F(CleanupVrkClean, NothingInstalledAsksWhetherToRemoveEverything) {
    const bool hadLog = PathExists(kLog);
    const std::string log = ReadFileBytes(kLog);
    auto run = StartVrkClean();
    ExpectBox(Answer(IDNO), LoadText(IDS_CLEAN_NOTHING_DETECTED), MB_YESNO, 0);
    ExpectEndedWithZero(run.get());
    // Declined: the setup log is as it was.
    EXPECT_EQ(hadLog, PathExists(kLog));
    EXPECT_EQ(log, ReadFileBytes(kLog));
    EXPECT_TRUE(testing_journal::JournalOf("NCPA.CPL").empty());

    // Yes removes all three lines with their files, in order, and names them in the restart question.
    run = StartVrkClean();
    Answer(IDYES);
    ExpectBox(Answer(IDNO), Formatted(IDS_CLEAN_RESTART_QUESTION, std::string(kRouterName) + kDialCoreName + kLinvoraName),
              MB_YESNO, MB_ICONEXCLAMATION);
    ExpectEndedWithZero(run.get());
    const size_t router = LogPosition("33 02 _DeleteFileList DELETE VrkMpr;");
    const size_t remote = LogPosition("33 02 _DeleteFileList DELETE VrkRas;");
    const size_t gateway = LogPosition("33 02 _DeleteFileList DELETE VrkLV;");
    const size_t shared = LogPosition("33 02 _DeleteFileList DELETE MFC Files;");
    ASSERT_NE(std::string::npos, shared);
    EXPECT_LT(router, remote);
    EXPECT_LT(remote, gateway);
    EXPECT_LT(gateway, shared);
    EXPECT_EQ(std::vector<std::string>{"argc=2 argv[0]=0 argv[1]=NCPA"}, JournalDetails("NCPA.CPL", "CPlSetup"));
    EXPECT_TRUE(JournalDetails("VrkClean.exe", "ExitWindowsEx").empty());
    EXPECT_EQ("35 02 VRKCLEAN.EXE LEAVE", LogLines().back());
}

TEST_F(CleanupVrkClean, OneLineIsOfferedAloneAndRemovedAsTheLastOne) {
    // A line that only left its settings behind is found as well.
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK GmbH\\vrklvSetup", "Path", "C:\\LV"));
    auto run = StartVrkClean();
    HWND dialog = WaitForDialog(MachineModule(), IDD_PRODUCT_CHOICE);
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(IsControlVisible(dialog, IDC_CHOICE_GATEWAY));
    EXPECT_TRUE(IsControlVisible(dialog, IDC_CHOICE_GATEWAY_FOUND));
    EXPECT_FALSE(IsControlVisible(dialog, IDC_CHOICE_REMOTE_ACCESS_FOUND));
    Click(dialog, IDCANCEL);
    ExpectEndedWithZero(run.get());
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK GmbH");

    ASSERT_TRUE(Import("products\\dialcore.reg"));
    ASSERT_TRUE(CopyFileA("C:\\testbed\\products\\OEMNAD1.INF", System32("OEMNAD1.INF").c_str(), FALSE));
    const Registry before;
    const struct {
        int checked;  // the line's box, or 0
        bool files;
        int answer;   // to the confirmation; 0: none comes
    } declined[] = {{0, false, 0}, {IDC_CHOICE_REMOTE_ACCESS, true, IDNO}};
    for (const auto& c : declined) {
        const std::string log = ReadFileBytes(kLog);
        run = StartVrkClean();
        dialog = WaitForDialog(MachineModule(), IDD_PRODUCT_CHOICE);
        ASSERT_NE(nullptr, dialog);
        for (int id : {IDC_CHOICE_REMOTE_ACCESS, IDC_CHOICE_REMOTE_ACCESS_FOUND, IDC_CHOICE_DELETE_FILES})
            EXPECT_TRUE(IsControlVisible(dialog, id)) << id;
        for (int id : {IDC_CHOICE_ROUTER, IDC_CHOICE_ROUTER_FOUND, IDC_CHOICE_GATEWAY, IDC_CHOICE_GATEWAY_FOUND})
            EXPECT_FALSE(IsControlVisible(dialog, id)) << id;
        EXPECT_FALSE(IsChecked(dialog, IDC_CHOICE_REMOTE_ACCESS));
        EXPECT_TRUE(IsChecked(dialog, IDC_CHOICE_DELETE_FILES));
        if (c.checked) SetChecked(dialog, c.checked, true);
        SetChecked(dialog, IDC_CHOICE_DELETE_FILES, c.files);
        Click(dialog, IDOK);
        if (c.answer)
            ExpectBox(Answer(c.answer), Formatted(IDS_CLEAN_CONFIRM, kDialCoreName), MB_YESNO, MB_ICONEXCLAMATION);
        ExpectEndedWithZero(run.get());
        ExpectUnchanged(before);
        EXPECT_TRUE(PathExists(System32("OEMNAD1.INF")));
        EXPECT_EQ(log, ReadFileBytes(kLog)) << "a declined run leaves the setup log as it was";
    }

    run = StartVrkClean();
    dialog = WaitForDialog(MachineModule(), IDD_PRODUCT_CHOICE);
    ASSERT_NE(nullptr, dialog);
    SetChecked(dialog, IDC_CHOICE_REMOTE_ACCESS, true);
    Click(dialog, IDOK);
    Answer(IDYES);
    ExpectBox(Answer(IDYES), Formatted(IDS_CLEAN_RESTART_QUESTION, kDialCoreName), MB_YESNO, MB_ICONEXCLAMATION);
    ExpectEndedWithZero(run.get());
    EXPECT_EQ(std::vector<std::string>{"flags=0x2 reason=0x0 SeShutdownPrivilege=enabled"},
              JournalDetails("VrkClean.exe", "ExitWindowsEx"));
    for (const char* service : {"VrkRas", "VrkRas1", "VrkRasTraceSV", "VrkLogSV"}) EXPECT_FALSE(Service(service)) << service;
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK"));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK GmbH"));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kNetworkCards) + "\\6"));
    EXPECT_FALSE(PathExists(System32("OEMNAD1.INF")));
    EXPECT_NE(std::string::npos, LogPosition("33 02 _DeleteFileList DELETE VrkRas;"));
    EXPECT_EQ(std::vector<std::string>{"argc=2 argv[0]=0 argv[1]=NCPA"}, JournalDetails("NCPA.CPL", "CPlSetup"));
    EXPECT_EQ("35 02 VRKCLEAN.EXE LEAVE", LogLines().back());
}

TEST_F(CleanupVrkClean, AllLinesTwoRemovedTheThirdStays) {
    for (const char* shape : {"network\\two-cards.reg", "capi\\two-cards.reg", "products\\router.reg",
                              "products\\dialcore.reg", "products\\linvora.reg"})
        ASSERT_TRUE(Import(shape)) << shape;
    const RegTree remoteAccess = ReadRegTree(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkRas");
    // The control panel without its setup entry.
    ASSERT_TRUE(CopyFileA("C:\\testbed\\ncpa\\NCPA.CPL", System32("NCPA.CPL").c_str(), FALSE));

    auto run = StartVrkClean();
    HWND dialog = WaitForDialog(MachineModule(), IDD_PRODUCT_CHOICE);
    ASSERT_NE(nullptr, dialog);
    for (int id = IDC_CHOICE_ROUTER; id <= IDC_CHOICE_GATEWAY_FOUND; ++id) EXPECT_TRUE(IsControlVisible(dialog, id)) << id;
    SetChecked(dialog, IDC_CHOICE_ROUTER, true);
    SetChecked(dialog, IDC_CHOICE_GATEWAY, true);
    SetChecked(dialog, IDC_CHOICE_DELETE_FILES, false);
    Click(dialog, IDOK);
    ExpectBox(Answer(IDYES), Formatted(IDS_CLEAN_CONFIRM, std::string(kRouterName) + kLinvoraName), MB_YESNO,
              MB_ICONEXCLAMATION);
    Answer(IDNO);
    ExpectEndedWithZero(run.get());
    for (const char* gone : {"VrkMpr", "VrkMpr1", "VrkMprSV", "VrkMprLan", "VrkMprWan", "VrkMprX31", "VrkLV", "VrkLVMon"})
        EXPECT_FALSE(Service(gone)) << gone;
    for (const char* stays : {"VrkRas", "VrkRasTraceSV", "VrkLogSV", "VrkMprTrc"}) EXPECT_TRUE(Service(stays)) << stays;
    EXPECT_TRUE(remoteAccess == ReadRegTree(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkRas"));
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkRas\\CurrentVersion"));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr"));
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkLV"));
    EXPECT_EQ(std::string::npos, LogPosition("33 02 _DeleteFileList"));
    EXPECT_TRUE(Logged("33 01 Can't find CPlSetup entry in NCPA.CPL"));
    EXPECT_EQ(1u, JournalDetails("NCPA.CPL", "loaded").size());
    EXPECT_TRUE(JournalDetails("NCPA.CPL", "CPlSetup").empty());
    EXPECT_TRUE(PathExists(Maker("DELFILES.DAT")));

    // Only the files box: nothing is removed, yet the control panel (now absent) and the restart
    // follow; a restart that cannot start is reported.
    ASSERT_TRUE(DeleteFileA(System32("NCPA.CPL").c_str()));
    const std::string unwritable = "C:\\temp\\no such directory\\journal.txt";
    ASSERT_TRUE(SetEnvironmentVariableA(kRestartVariable, unwritable.c_str()));
    const Registry before;
    run = StartVrkClean();
    dialog = WaitForDialog(MachineModule(), IDD_PRODUCT_CHOICE);
    ASSERT_NE(nullptr, dialog);
    Click(dialog, IDOK);
    ExpectBox(Answer(IDYES), Formatted(IDS_CLEAN_CONFIRM, ""), MB_YESNO, MB_ICONEXCLAMATION);
    ExpectBox(Answer(IDYES), Formatted(IDS_CLEAN_RESTART_QUESTION, ""), MB_YESNO, MB_ICONEXCLAMATION);
    ExpectBox(Answer(IDOK), LoadText(IDS_RESTART_FAILED), MB_OK, MB_ICONHAND);
    ExpectEndedWithZero(run.get());
    ExpectUnchanged(before);
    EXPECT_TRUE(Logged("33 01 Can't load NCPA.CPL"));
    EXPECT_EQ("35 02 VRKCLEAN.EXE LEAVE", LogLines().back());
}

TEST_F(CleanupVrkClean, WithoutLanguageModuleNothingIsRemoved) {
    ASSERT_TRUE(Import("products\\dialcore.reg"));
    const Registry before;
    for (const char* module : {"LANGENG.DLL", "LANGGER.DLL"})
        ASSERT_TRUE(MoveFileA(Maker(module).c_str(), (Maker(module) + ".away").c_str())) << module;
    const std::string module = kGermanMachine ? "LANGGER.DLL" : "LANGENG.DLL";
    const std::string text =
        kGermanMachine ? "Das Sprachmodul " + module +
                             " von Varnek ISDN wurde nicht gefunden. Ohne das Sprachmodul kann das Entfernen der "
                             "Produktlinien nicht angezeigt werden; es wurde nichts entfernt.\n\nBitte installieren "
                             "Sie das Produkt neu."
                       : "The language module " + module +
                             " of Varnek ISDN was not found. Without it the removal of the product lines cannot be "
                             "shown; nothing has been removed.\n\nPlease install the product again.";
    auto run = StartVrkClean();
    const MessageBoxSeen seen = Answer(IDOK);
    EXPECT_EQ(text, seen.text);
    EXPECT_EQ(kGermanMachine ? "Varnek ISDN Installation" : "Varnek ISDN Setup", seen.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), seen.icon);
    EXPECT_EQ(static_cast<UINT>(MB_OK), seen.buttons);
    ExpectEndedWithZero(run.get());
    ExpectUnchanged(before);
    EXPECT_TRUE(Logged("33 01 Error DLG Box PRODUCT-CHOICE"));
    EXPECT_TRUE(testing_journal::ReadJournal().empty());

    // A module without the dialog: the dialog's report, and nothing is removed either.
    ASSERT_TRUE(CopyFileA(Maker("verprint.exe").c_str(), Maker(module).c_str(), FALSE));
    run = StartVrkClean();
    const MessageBoxSeen report = Answer(IDOK);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), report.icon);
    EXPECT_TRUE(report.topmost);
    ExpectEndedWithZero(run.get());
    ExpectUnchanged(before);
    EXPECT_TRUE(Logged("33 01 Error DLG Box PRODUCT-CHOICE"));
    EXPECT_TRUE(testing_journal::ReadJournal().empty());
    ASSERT_TRUE(DeleteFileA(Maker(module).c_str()));
    for (const char* m : {"LANGENG.DLL", "LANGGER.DLL"}) MoveFileA((Maker(m) + ".away").c_str(), Maker(m).c_str());
}

// No line left for the program to find.
void RemoveEveryLine() {
    for (const char* key : {"SOFTWARE\\VARNEK", "SOFTWARE\\VARNEK GmbH"}) DeleteRegKeyTree(HKEY_LOCAL_MACHINE, key);
    HKEY services = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServices, 0, KEY_READ, &services));
    std::vector<std::string> lines;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(services, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (LineOfKeyName(name)) lines.push_back(name);
    }
    RegCloseKey(services);
    for (const std::string& line : lines) DeleteRegKeyTree(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\" + line);
}

TEST_F(CleanupVrkClean, ADeclinedRunLeavesTheLogAndItsSettingAsTheyWere) {
    const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
    // A machine where the package was never set up: the program's start may write the log's
    // setting, but a No takes it back with the keys it made.
    RemoveEveryLine();
    DeleteFileA(kLog);
    auto run = StartVrkClean();
    Answer(IDNO);
    ExpectEndedWithZero(run.get());
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK"));
    EXPECT_FALSE(PathExists(kLog));

    // A line detected, the log's own setting, a log past its rotation size and an older generation.
    ASSERT_TRUE(Import("products\\dialcore.reg"));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", "c:\\temp\\install.log"));
    const std::string installation = "the installation's log\r\n" + std::string(300 * 1024, 'x');
    ASSERT_TRUE(WriteFileBytes(kLog, installation));
    ASSERT_TRUE(WriteFileBytes("c:\\temp\\setup_2.log", "older"));
    DeleteFileA("c:\\temp\\setup_1.log");
    for (const bool cancel : {true, false}) {
        run = StartVrkClean();
        HWND dialog = WaitForDialog(MachineModule(), IDD_PRODUCT_CHOICE);
        ASSERT_NE(nullptr, dialog);
        if (cancel) {
            Click(dialog, IDCANCEL);
        } else {
            SetChecked(dialog, IDC_CHOICE_REMOTE_ACCESS, true);
            Click(dialog, IDOK);
            Answer(IDNO);
        }
        ExpectEndedWithZero(run.get());
        std::string name;
        EXPECT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", &name));
        EXPECT_EQ(std::string("c:\\temp\\install.log", 19) + '\0', name);
        EXPECT_TRUE(ReadFileBytes(kLog) == installation) << "the log was replaced";
        EXPECT_FALSE(PathExists("c:\\temp\\setup_1.log"));
        EXPECT_EQ("older", ReadFileBytes("c:\\temp\\setup_2.log"));
    }
    DeleteFileA("c:\\temp\\setup_2.log");
    DeleteFileA(kLog);
}

TEST_F(CleanupVrkClean, TheNetworkPanelIsTheOneOfTheSystemDirectory) {
    // The stand-in in the system directory says in the journal that it was loaded; a library of
    // the same name beside the program, which on NT 4.0 comes first by bare name, says nothing.
    RemoveEveryLine();
    ASSERT_TRUE(CopyFileA("C:\\testbed\\ncpa\\NCPA.CPL", System32("NCPA.CPL").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(Maker("verprint.exe").c_str(), Maker("NCPA.CPL").c_str(), FALSE));
    auto run = StartVrkClean();
    Answer(IDYES);
    Answer(IDNO);
    ExpectEndedWithZero(run.get());
    DeleteFileA(Maker("NCPA.CPL").c_str());
    EXPECT_EQ(1u, JournalDetails("NCPA.CPL", "loaded").size());
    EXPECT_TRUE(Logged("33 01 Can't find CPlSetup entry in NCPA.CPL"));
}

}  // namespace
