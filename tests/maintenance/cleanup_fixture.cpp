#include "cleanup_fixture.h"

#include <cstring>

using namespace maintenance_testing;
using namespace testing_machine;

namespace cleanup_testing {

namespace {

const char kProducts[] = "C:\\testbed\\products";
const char kMakerBackup[] = "C:\\temp\\maker-backup";
const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kServices[] = "SYSTEM\\CurrentControlSet\\Services";

// The trees a clean-up may touch; the state covers all of them.
const char* const kStateTrees[] = {
    "SYSTEM\\CurrentControlSet\\Services",
    "SOFTWARE\\VARNEK",
    "SOFTWARE\\VARNEK GmbH",
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    "SOFTWARE\\CAPI20",
};

// The trees that installing a line changes besides its own keys, put back from their first state.
const char* const kRestoredTrees[] = {
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    "SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx",
    "SYSTEM\\CurrentControlSet\\Services\\El59x1",
    "SYSTEM\\CurrentControlSet\\Services\\E100B1",
    "SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents",
    "SOFTWARE\\CAPI20",
    "SOFTWARE\\VARNEK",
};

struct SavedTree {
    RegTree values;
    std::vector<std::string> keys;
};
std::map<std::string, SavedTree> g_saved;

struct LineFiles {
    Line line;
    const char* regFiles[2];
    const char* infFiles[2];
    const char* makerFiles[4];
    const char* driverFiles[2];
};
const LineFiles kLineFiles[] = {
    {kRouter,
     {"C:\\testbed\\network\\two-cards.reg", "C:\\testbed\\products\\router.reg"},
     {"OEMNSV1.INF", "OEMNSV2.INF"},
     {"VrkMprSV.exe", "agntdll.dll", "ip.dll", "VrkMprFw.dat"},
     {"VrkMpr.sys", "VrkMprWan.sys"}},
    {kRemoteAccess,
     {"C:\\testbed\\products\\dialcore.reg", nullptr},
     {"OEMNAD1.INF", nullptr},
     {"caller.dat", "VRKICONS.INF", nullptr, nullptr},
     {"VrkRas.SYS", nullptr}},
    {kGateway, {"C:\\testbed\\products\\linvora.reg", nullptr}, {"OEMNAD2.INF", nullptr}, {}, {"VrkLV.sys", nullptr}},
};
const char* const kSharedMakerFiles[] = {"RasTrc.TXT", "RasLog1.TXT", "VrkLogSV.exe", "MFC42.DLL", "old.tmp"};
const char kSharedDriver[] = "VrkMprTrc.sys";

char Upper(char c) { return static_cast<char>(toupper(static_cast<unsigned char>(c))); }

std::string UpperText(std::string text) {
    for (char& c : text) c = Upper(c);
    return text;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Upper(text[i]) != Upper(prefix[i])) return false;
    return true;
}

void Import(const std::string& regFile) {
    const ProgramResult r = RunProgram("regedit.exe /S " + regFile, 60000);
    ASSERT_TRUE(r.started && !r.timedOut && r.exitCode == 0) << regFile;
}

std::vector<std::string> FilesMatching(const std::string& directory, const std::string& mask) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((directory + "\\" + mask).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

void RemoveFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

void SaveTree(const std::string& key) {
    g_saved[key] = SavedTree{ReadRegTree(HKEY_LOCAL_MACHINE, key), RegSubkeysBelow(HKEY_LOCAL_MACHINE, key)};
}

void RestoreTree(const std::string& key) {
    DeleteDeepTree(HKEY_LOCAL_MACHINE, key);
    const auto saved = g_saved.find(key);
    if (saved == g_saved.end()) return;
    if (!saved->second.values.empty() || !saved->second.keys.empty()) {
        HKEY created = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                            nullptr) == ERROR_SUCCESS)
            RegCloseKey(created);
    }
    for (const std::string& sub : saved->second.keys) {
        HKEY created = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key + "\\" + sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &created, nullptr) == ERROR_SUCCESS)
            RegCloseKey(created);
    }
    for (const auto& value : saved->second.values) {
        const size_t bar = value.first.find('|');
        const std::string sub = value.first.substr(0, bar);
        SetRegBytes(HKEY_LOCAL_MACHINE, sub.empty() ? key : key + "\\" + sub, value.first.substr(bar + 1),
                    value.second.type, value.second.bytes);
    }
}

// Every service key of the package's lines goes.
void DeleteProductServices() {
    for (const std::string& name : RegSubkeysBelow(HKEY_LOCAL_MACHINE, kServices)) {
        if (name.find('\\') != std::string::npos) continue;
        for (const char* prefix : {"VrkMpr", "VrkRas", "VrkLV", "VrkLogSV"})
            if (StartsWithIgnoringCase(name, prefix))
                DeleteDeepTree(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\" + name);
    }
}

void ResetFiles() {
    const std::string maker = MakerDirectory();
    CreateDirectoryA(maker.c_str(), nullptr);
    for (const std::string& name : FilesMatching(maker, "*")) RemoveFile(maker + "\\" + name);
    for (const std::string& name : FilesMatching(kMakerBackup, "*"))
        EXPECT_TRUE(CopyFileA((std::string(kMakerBackup) + "\\" + name).c_str(), (maker + "\\" + name).c_str(), FALSE))
            << name;
    for (const std::string& name : FilesMatching(Drivers(), "Vrk*")) RemoveFile(Drivers() + "\\" + name);
    for (const std::string& name : FilesMatching(System32(), "OEMN*.INF")) RemoveFile(System32() + "\\" + name);
    // Another maker's adapter INF, which no clean-up may touch.
    EXPECT_TRUE(CopyFileA((std::string(kProducts) + "\\OEMNAD3.INF").c_str(), (System32() + "\\OEMNAD3.INF").c_str(),
                          FALSE));
}

void AddTree(State* state, const std::string& key) {
    for (const auto& value : ReadRegTree(HKEY_LOCAL_MACHINE, key)) {
        const size_t bar = value.first.find('|');
        const std::string sub = value.first.substr(0, bar);
        (*state)[Hklm(sub.empty() ? key : key + "\\" + sub) + "|" + value.first.substr(bar + 1)] =
            std::to_string(value.second.type) + ":" + value.second.bytes;
    }
    if (RegKeyPresent(HKEY_LOCAL_MACHINE, key)) (*state)[Hklm(key)] = "";
    for (const std::string& sub : RegSubkeysBelow(HKEY_LOCAL_MACHINE, key)) (*state)[Hklm(key + "\\" + sub)] = "";
}

void AddFiles(State* state, const std::string& directory, const std::string& mask) {
    for (const std::string& name : FilesMatching(directory, mask)) {
        const std::string path = directory + "\\" + name;
        (*state)[FileEntry(path)] = std::to_string(ReadFileBytes(path).size());
    }
}

void AddPending(State* state) {
    // Empty targets would end a list of strings early: the pairs are read from the raw bytes.
    std::string bytes;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", &bytes)) return;
    std::vector<std::string> strings;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\0', start);
        if (end == std::string::npos) end = bytes.size();
        strings.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    for (size_t i = 0; i + 1 < strings.size(); i += 2) {
        if (strings[i].empty()) break;
        const std::string source = strings[i].rfind("\\??\\", 0) == 0 ? strings[i].substr(4) : strings[i];
        (*state)[PendingEntry(source)] = strings[i + 1];
    }
}

}  // namespace

const char* LineName(Line line) {
    switch (line) {
    case kRouter: return "router";
    case kRemoteAccess: return "remote access";
    case kGateway: return "gateway";
    }
    return "?";
}

const char* CleanUpExport(Line line) {
    switch (line) {
    case kRouter: return "VrkMprCleanUp";
    case kRemoteAccess: return "VrkRasCleanUp";
    case kGateway: return "VrkLVCleanUp";
    }
    return "?";
}

std::string Hklm(const std::string& key) { return "HKLM\\" + key + "\\"; }
std::string FileEntry(const std::string& path) { return "FILE " + path; }
std::string PendingEntry(const std::string& path) { return "PENDING " + UpperText(path); }
std::string System32() { return Expand("%SystemRoot%\\system32"); }
std::string Drivers() { return System32() + "\\drivers"; }

std::string LanguageModuleName() {
    return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN ? "LANGGER.DLL" : "LANGENG.DLL";
}

void InstallLines(unsigned lines) {
    const std::string maker = MakerDirectory();
    // The router's network shape replaces the network cards and the IPX bindings: it comes first.
    for (const LineFiles& files : kLineFiles) {
        if (!(lines & files.line)) continue;
        for (const char* reg : files.regFiles)
            if (reg) Import(reg);
        for (const char* inf : files.infFiles) {
            if (!inf) continue;
            EXPECT_TRUE(CopyFileA((std::string(kProducts) + "\\" + inf).c_str(), (System32() + "\\" + inf).c_str(),
                                  FALSE))
                << inf;
        }
        for (const char* name : files.makerFiles) {
            if (!name) continue;
            EXPECT_TRUE(WriteFileBytes(maker + "\\" + name, std::string("file of the line ") + name));
        }
        for (const char* name : files.driverFiles) {
            if (!name) continue;
            EXPECT_TRUE(WriteFileBytes(Drivers() + "\\" + name, "driver"));
        }
    }
    if (lines & kRouter) {
        EXPECT_TRUE(SetFileAttributesA((System32() + "\\OEMNSV2.INF").c_str(), FILE_ATTRIBUTE_READONLY));
    }
    if (lines) {
        for (const char* name : kSharedMakerFiles) EXPECT_TRUE(WriteFileBytes(maker + "\\" + name, "shared"));
        EXPECT_TRUE(WriteFileBytes(Drivers() + "\\" + kSharedDriver, "driver"));
    }
}

State MachineState() {
    State state;
    for (const char* tree : kStateTrees) AddTree(&state, tree);
    AddFiles(&state, MakerDirectory(), "*");
    AddFiles(&state, Drivers(), "Vrk*");
    AddFiles(&state, System32(), "OEMN*.INF");
    AddPending(&state);
    return state;
}

std::vector<std::string> Differences(const State& expected, const State& actual) {
    std::vector<std::string> lines;
    for (const auto& entry : expected) {
        const auto found = actual.find(entry.first);
        if (found == actual.end())
            lines.push_back("missing: " + entry.first);
        else if (found->second != entry.second)
            lines.push_back("changed: " + entry.first);
    }
    for (const auto& entry : actual)
        if (!expected.count(entry.first)) lines.push_back("unexpected: " + entry.first);
    return lines;
}

void Erase(State* state, const std::vector<std::string>& prefixes) {
    for (auto it = state->begin(); it != state->end();) {
        bool matched = false;
        for (const std::string& prefix : prefixes) matched = matched || StartsWithIgnoringCase(it->first, prefix);
        it = matched ? state->erase(it) : std::next(it);
    }
}

HeldOpen::HeldOpen(const std::string& path) {
    file_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
}

HeldOpen::~HeldOpen() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

void CleanUpTest::SetUp() {
    MaintenanceTest::SetUp();
    static bool first = true;
    if (first) {
        first = false;
        // The machine's CAPI registry of two cards, and the package as installed, kept for every case.
        Import("C:\\testbed\\capi\\two-cards.reg");
        SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "LogName", kLogFile);
        for (const char* tree : kRestoredTrees) SaveTree(tree);
        CreateDirectoryA(kMakerBackup, nullptr);
        for (const std::string& name : FilesMatching(MakerDirectory(), "*"))
            ASSERT_TRUE(CopyFileA((MakerDirectory() + "\\" + name).c_str(),
                                  (std::string(kMakerBackup) + "\\" + name).c_str(), FALSE));
    }
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
    DeleteProductServices();
    DeleteDeepTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK GmbH");
    for (const char* tree : kRestoredTrees) RestoreTree(tree);
    ResetFiles();
    base_ = MachineState();
    static State firstBase = base_;
    EXPECT_EQ(std::vector<std::string>{}, Differences(firstBase, base_)) << "the machine was not put back";
}

void CleanUpTest::TearDown() {
    // The log of a case stays in the test's own output when it failed.
    if (HasFailure()) {
        for (const std::string& line : SplitLines(ReadFileBytes(kLogFile))) printf("  log: %s\n", line.c_str());
    }
}

bool CleanUpTest::CleanUp(Line line) {
    const ProgramResult r = CallExport(std::string(CleanUpExport(line)) + " 0");
    EXPECT_TRUE(r.started && !r.timedOut) << CleanUpExport(line);
    EXPECT_EQ(0u, r.exitCode) << r.out << r.err;
    return r.out == Answer(CleanUpExport(line), true, "OK");
}

}  // namespace cleanup_testing
