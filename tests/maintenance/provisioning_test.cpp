// Registry provisioning through the setup engine's stand-in: the SNMP agent's entry, the service
// DLL values, the trace driver's load-order group, the event-log source, the gateway's marker and
// the performance-counter INI entry, each with the setup log it leaves.
#include <string>
#include <vector>

#include "dialog_robot.h"
#include "maintenance_fixture.h"

using namespace maintenance_testing;
using namespace testing_machine;

namespace {

const char kAgents[] = "SYSTEM\\CurrentControlSet\\Services\\SNMP\\Parameters\\ExtensionAgents";
const char kAgentKey[] = "SOFTWARE\\VARNEK\\VrkMpr\\CurrentVersion";
const char kOldAgentKey[] = "SOFTWARE\\VARNEK GmbH\\VrkMpr\\CurrentVersion";
const char kMicrosoft1[] = "SOFTWARE\\Microsoft\\LANManagerMIB2Agent\\CurrentVersion";
const char kMicrosoft2[] = "SOFTWARE\\Microsoft\\RFC1156Agent\\CurrentVersion";
const char kGroupOrder[] = "SYSTEM\\CurrentControlSet\\Control\\ServiceGroupOrder";
const char kServices[] = "SYSTEM\\CurrentControlSet\\Services";

std::string Text(const std::string& text) { return text + '\0'; }

// The agent list as strings: name=text for REG_SZ values, name:type for others.
std::map<std::string, std::string> AgentList() {
    std::map<std::string, std::string> list;
    for (const auto& entry : ReadRegTree(HKEY_LOCAL_MACHINE, kAgents)) {
        const std::string name = entry.first.substr(1);
        if (entry.second.type == REG_SZ)
            list[name] = std::string(entry.second.bytes.c_str());
        else
            list[name] = ":" + std::to_string(entry.second.type);
    }
    return list;
}

void SetAgents(const std::map<std::string, std::string>& values) {
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kAgents);
    for (const auto& v : values) {
        if (v.second == ":dword")
            SetRegDword(HKEY_LOCAL_MACHINE, kAgents, v.first, 1);
        else
            SetRegString(HKEY_LOCAL_MACHINE, kAgents, v.first, v.second);
    }
}

class ProvisioningTest : public MaintenanceTest {};

TEST_F(ProvisioningTest, TheAgentGoesOnePastTheHighestNumberAndNeverOverAnotherValue) {
    std::map<std::string, std::string> full;
    for (int i = 1; i <= 31; ++i) full[std::to_string(i)] = "SOFTWARE\\Maker" + std::to_string(i) + "\\CurrentVersion";
    std::map<std::string, std::string> fullAnd32 = full;
    fullAnd32["32"] = "SOFTWARE\\Maker32\\CurrentVersion";
    // The cases of the choice itself are tested as a plain function; these show it in the registry.
    struct Case {
        const char* title;
        std::map<std::string, std::string> before;
        std::map<std::string, std::string> added;
        const char* result;
    } cases[] = {
        {"the Windows NT agents", {{"1", kMicrosoft1}, {"2", kMicrosoft2}}, {{"3", kAgentKey}}, "OK"},
        {"an empty key", {}, {{"2", kAgentKey}}, "OK"},
        {"a DWORD where the agent would go", {{"1", kMicrosoft1}, {"2", ":dword"}}, {{"3", kAgentKey}}, "OK"},
        {"31 and 32 taken", fullAnd32, {{"33", kAgentKey}}, "OK"},
        {"already there", {{"1", kMicrosoft1}, {"7", "software\\varnek\\VRKMPR\\currentversion"}}, {}, "USER_CANCEL"},
        {"already there behind the old name", {{"2", kOldAgentKey}, {"5", kAgentKey}}, {}, "USER_CANCEL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        SetAgents(c.before);
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr");
        const std::map<std::string, std::string> before = AgentList();
        ProgramResult r = RunProgram("C:\\testbed\\host.exe --null-argv \"" + MakerDirectory() +
                                     "\\VRKSUDLL.DLL\" VrkMprSetSNMPRegistry");
        EXPECT_EQ(Answer("VrkMprSetSNMPRegistry", true, c.result), r.out);
        std::map<std::string, std::string> expected = before;
        for (const auto& a : c.added) expected[a.first] = a.second;
        EXPECT_EQ(expected, AgentList());
        // The agent's own key is written every time, also when the agent was entered already.
        std::string bytes;
        DWORD type = 0;
        ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kAgentKey, "Pathname", &bytes, &type));
        EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
        EXPECT_EQ(Text("%SystemRoot%\\SYSTEM32\\VARNEK\\agntdll.dll"), bytes);
    }
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\SNMP");
    ProgramResult r = CallExport("VrkMprSetSNMPRegistry");
    EXPECT_EQ(Answer("VrkMprSetSNMPRegistry", true, "OK"), r.out);
    EXPECT_EQ((std::map<std::string, std::string>{{"2", kAgentKey}}), AgentList());
    EXPECT_EQ((std::vector<std::string>{"VRKSETUP DLL Attached (C:\\testbed\\host.exe)", "VrkMprSetSNMPRegistry ENTER",
                                        "VrkMprSetSNMPRegistry LEAVE; OK", "VRKSETUP DLL Detached"}),
              [] {
                  std::vector<std::string> m;
                  for (const std::string& s : LogMessages())
                      if (s.rfind("SearchFilePath", 0) != 0) m.push_back(s);
                  return m;
              }());
}

TEST_F(ProvisioningTest, AnAgentUnderTheOldMakerNameIsRenamedInItsPlace) {
    ASSERT_TRUE(ImportOldInstall("snmp-agents.reg"));
    std::map<std::string, std::string> expected = AgentList();
    ASSERT_EQ(kOldAgentKey, expected["5"]);
    expected["5"] = kAgentKey;
    EXPECT_EQ(Answer("VrkMprSetSNMPRegistry", true, "OK"), CallExport("VrkMprSetSNMPRegistry").out);
    EXPECT_EQ(expected, AgentList());
    // A second run finds it and adds nothing.
    EXPECT_EQ(Answer("VrkMprSetSNMPRegistry", true, "USER_CANCEL"), CallExport("VrkMprSetSNMPRegistry").out);
    EXPECT_EQ(expected, AgentList());
}

TEST_F(ProvisioningTest, RouterRegistryWritesTheServiceDllsAndReportsOkWhateverTheAgentStep) {
    SetAgents({{"1", kMicrosoft1}, {"4", kAgentKey}});
    ProgramResult r = CallExport("VrkMprSetRegistry 3c");
    EXPECT_EQ(Answer("VrkMprSetRegistry", true, "OK"), r.out);
    struct Expected {
        const char* key;
        const char* name;
        const char* text;
    } values[] = {
        {"SOFTWARE\\VARNEK\\VrkMpr\\Service", "EXTDLL1", "%SystemRoot%\\SYSTEM32\\VARNEK\\ip.dll"},
        {"SOFTWARE\\VARNEK\\VrkMpr\\Service", "EXTDLL2", "%SystemRoot%\\SYSTEM32\\VARNEK\\ipx.dll"},
        {"SOFTWARE\\VARNEK\\VrkMpr\\Service\\IP", "IPEXTDLL", "%SystemRoot%\\SYSTEM32\\VARNEK\\nbspoof.dll"},
        {"SOFTWARE\\VARNEK\\VrkMpr\\Service", "PPPDLL", "%SystemRoot%\\SYSTEM32\\VARNEK\\ppp.dll"},
    };
    for (const Expected& v : values) {
        std::string bytes;
        DWORD type = 0;
        ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, v.key, v.name, &bytes, &type)) << v.name;
        EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type) << v.name;
        EXPECT_EQ(Text(v.text), bytes) << v.name;
    }
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr\\FirewallWizard", "Addresses", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(std::string("\x00\x01\x00\x00", 4), bytes);
    EXPECT_EQ((std::map<std::string, std::string>{{"1", kMicrosoft1}, {"4", kAgentKey}}), AgentList());
    EXPECT_EQ((std::vector<std::string>{}), WorkerMessages());
    std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkMprSetRegistry ENTER;wnd=3c"));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkMprSetRegistry LEAVE; OK"));
}

TEST_F(ProvisioningTest, AServiceDllValueThatCannotBeWrittenGivesError) {
    // The key of EXTDLL1, EXTDLL2 and PPPDLL with an empty access list: nobody may open it.
    const std::string service = "SOFTWARE\\VARNEK\\VrkMpr\\Service";
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, service);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, service.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    SECURITY_DESCRIPTOR sd;
    ASSERT_TRUE(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    ACL acl;
    ASSERT_TRUE(InitializeAcl(&acl, sizeof acl, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd));
    RegCloseKey(key);
    HKEY probe = nullptr;
    ASSERT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, service.c_str(), 0, KEY_ALL_ACCESS, &probe));
    EXPECT_EQ(Answer("VrkMprSetRegistry", true, "ERROR"), CallExport("VrkMprSetRegistry 0").out);
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const auto at = std::find(messages.begin(), messages.end(), "Error during writing to the registry");
    ASSERT_NE(messages.end(), at);
    EXPECT_EQ(1, levels[at - messages.begin()]);
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkMprSetRegistry LEAVE; ERROR"));
    // The other values were still written, and the trace group still placed.
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkMpr\\FirewallWizard"));
    EXPECT_TRUE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkMprTrc"));
    // Its owner may still give the key an access list again, and then remove it.
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, service.c_str(), 0, WRITE_DAC, &key));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd));
    RegCloseKey(key);
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, service);
    EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, service));
}

TEST_F(ProvisioningTest, TheTraceGroupStandsJustBeforeStreamsDrivers) {
    // The machine's list as Windows NT 4.0 has it, without what earlier calls put there.
    std::vector<std::string> nt = ReadMultiString(HKEY_LOCAL_MACHINE, kGroupOrder, "List");
    nt.erase(std::remove(nt.begin(), nt.end(), "VrkMprTraceGroup"), nt.end());
    ASSERT_NE(nt.end(), std::find(nt.begin(), nt.end(), "Streams Drivers")) << "the machine's NT 4.0 group order";
    std::vector<std::string> ntWith = nt;
    ntWith.insert(std::find(ntWith.begin(), ntWith.end(), "Streams Drivers"), "VrkMprTraceGroup");
    struct Case {
        const char* title;
        std::vector<std::string> before, after;
    } cases[] = {
        {"the Windows NT 4.0 list", nt, ntWith},
        {"before", {"A", "Streams Drivers", "B"}, {"A", "VrkMprTraceGroup", "Streams Drivers", "B"}},
        {"elsewhere", {"A", "vrkmprtracegroup", "B", "Streams Drivers"}, {"A", "B", "VrkMprTraceGroup", "Streams Drivers"}},
        {"behind", {"streams drivers", "A", "VrkMprTraceGroup"}, {"VrkMprTraceGroup", "streams drivers", "A"}},
        {"in place already", {"A", "VrkMprTraceGroup", "Streams Drivers"}, {"A", "VrkMprTraceGroup", "Streams Drivers"}},
        {"first", {"Streams Drivers", "NDIS"}, {"VrkMprTraceGroup", "Streams Drivers", "NDIS"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(WriteMultiString(HKEY_LOCAL_MACHINE, kGroupOrder, "List", c.before));
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkMprTrc");
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkMpr");
        EXPECT_EQ(Answer("VrkMprSetRegistry", true, "OK"), CallExport("VrkMprSetRegistry 0").out);
        EXPECT_EQ(c.after, ReadMultiString(HKEY_LOCAL_MACHINE, kGroupOrder, "List"));
        std::string bytes;
        DWORD type = 0;
        EXPECT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkMprTrc", "Group", &bytes, &type));
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_EQ(Text("VrkMprTraceGroup"), bytes);
        EXPECT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkMpr", "Group", &bytes, &type));
        EXPECT_EQ(Text("Streams Drivers"), bytes);
    }
}

TEST_F(ProvisioningTest, EveryGroupBehindAStrayEmptyStringStaysInTheOrder) {
    // The order decides when every driver of the machine starts: an empty string inside the value
    // must not cut off the groups behind it.
    const std::string gapped("Base\0\0NDIS\0Streams Drivers\0\0\0PNP_TDI\0", 37);
    ASSERT_TRUE(SetRegBytes(HKEY_LOCAL_MACHINE, kGroupOrder, "List", REG_MULTI_SZ, gapped));
    EXPECT_EQ(Answer("VrkMprSetRegistry", true, "OK"), CallExport("VrkMprSetRegistry 0").out);
    std::string after;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kGroupOrder, "List", &after));
    EXPECT_EQ(std::string("Base\0NDIS\0VrkMprTraceGroup\0Streams Drivers\0PNP_TDI\0\0", 52), after);
}

TEST_F(ProvisioningTest, AGroupOrderWithoutStreamsDriversOrWithoutRoomIsLeftAlone) {
    // 4090 bytes with the list's last NUL: it is read into the 4096-byte buffer, but the new
    // entry's 17 bytes have no room behind it.
    std::vector<std::string> full = {"Base", "Streams Drivers"};
    size_t bytes = 1 + 5 + 16;
    while (bytes + 200 <= 4090) {
        full.push_back(std::string(99, static_cast<char>('a' + full.size() % 26)));
        bytes += 100;
    }
    full.push_back(std::string(4090 - bytes - 1, 'z'));
    ASSERT_EQ(4090u, [&] {
        size_t n = 1;
        for (const std::string& s : full) n += s.size() + 1;
        return n;
    }());
    struct Case {
        const char* title;
        std::vector<std::string> list;
        const char* line;
    } cases[] = {
        {"no Streams Drivers", {"A", "Streams", "B"}, "Can't find Entry 'streamsdrivers' in the service group order list"},
        {"a full list", full, "No room for entry 'VrkMprTraceGroup' in the service group order list (4096 bytes)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(WriteMultiString(HKEY_LOCAL_MACHINE, kGroupOrder, "List", c.list));
        std::string before;
        ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kGroupOrder, "List", &before));
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkMprTrc");
        DeleteRegKeyTree(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkMpr");
        DeleteFileA(kLogFile);
        EXPECT_EQ(Answer("VrkMprSetRegistry", true, "OK"), CallExport("VrkMprSetRegistry 0").out);
        std::string after;
        ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, kGroupOrder, "List", &after));
        EXPECT_EQ(before, after);
        EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkMprTrc"));
        EXPECT_FALSE(RegKeyPresent(HKEY_LOCAL_MACHINE, std::string(kServices) + "\\VrkMpr"));
        std::vector<int> levels;
        const std::vector<std::string> messages = LogMessages(&levels);
        const auto at = std::find(messages.begin(), messages.end(), c.line);
        ASSERT_NE(messages.end(), at);
        EXPECT_EQ(1, levels[at - messages.begin()]);
    }
}

TEST_F(ProvisioningTest, PerformanceFileGetsOnlyItsSymbolFileEntry) {
    const std::string ini = Maker("perf.ini");
    DeleteFileA(ini.c_str());
    ProgramResult r = CallExport("VrkMprWritePerformanceFile");
    EXPECT_EQ(1u, r.exitCode);
    EXPECT_EQ(Answer("VrkMprWritePerformanceFile", false, "ERROR_INIFILE_NOTFOUND(WriteMprPerformanceFile)"), r.out);
    EXPECT_FALSE(PathExists(ini));

    ASSERT_TRUE(CopyFileA("C:\\testbed\\oldinstall\\perf.ini", ini.c_str(), FALSE));
    DeleteFileA(kLogFile);
    r = CallExport("VrkMprWritePerformanceFile");
    EXPECT_EQ(Answer("VrkMprWritePerformanceFile", true, "OK"), r.out);
    char text[512];
    GetPrivateProfileStringA("Info", "symbolfile", "", text, sizeof text, ini.c_str());
    EXPECT_EQ(Maker("vrkmpr.prf"), text);
    struct Kept {
        const char* section;
        const char* key;
        const char* value;
    } kept[] = {{"info", "drivername", "VrkMpr"},
                {"languages", "009", "English"},
                {"languages", "007", "German"},
                {"text", "OBJECT_1_009_NAME", "Varnek ISDN Router"},
                {"text", "OBJECT_1_007_HELP", "Zaehler des Varnek ISDN Multiprotokoll-Routers"}};
    for (const Kept& k : kept) {
        GetPrivateProfileStringA(k.section, k.key, "", text, sizeof text, ini.c_str());
        EXPECT_STREQ(k.value, text) << k.key;
    }
    EXPECT_EQ((std::vector<std::string>{"WriteVrkMprPerformanceFile " + Maker("vrkmpr.prf") + "; " + ini}),
              WorkerMessages());
    EXPECT_EQ(Answer("VrkMprWritePerformanceFile", true, "OK"),
              RunProgram("C:\\testbed\\host.exe --null-argv \"" + Maker("VRKSUDLL.DLL") + "\" VrkMprWritePerformanceFile")
                  .out);
}

TEST_F(ProvisioningTest, APerformanceFileHeldByAnotherProgramIsNamedInTheLog) {
    const std::string ini = Maker("perf.ini");
    ASSERT_TRUE(CopyFileA("C:\\testbed\\oldinstall\\perf.ini", ini.c_str(), FALSE));
    const std::string before = ReadFileBytes(ini);
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    DeleteFileA(kLogFile);
    const ProgramResult r = CallExport("VrkMprWritePerformanceFile");
    CloseHandle(held);
    EXPECT_EQ(Answer("VrkMprWritePerformanceFile", true, "OK"), r.out);
    EXPECT_EQ(before, ReadFileBytes(ini));
    std::vector<int> levels;
    const std::vector<std::string> messages = LogMessages(&levels);
    const std::string line = "WriteVrkMprPerformanceFile can't write " + ini + " (32)";
    const auto at = std::find(messages.begin(), messages.end(), line);
    ASSERT_NE(messages.end(), at) << ::testing::PrintToString(messages);
    EXPECT_EQ(1, levels[at - messages.begin()]);
}

TEST_F(ProvisioningTest, RemoteAccessRegistersItsEventSourceAndRemovesTheOldSetupFiles) {
    const std::string current = Maker("VRKSUDLL.DLL");
    for (const char* old : {"VRKSETUP.DLL", "VRKSETUP.HLP", "RASTRACE.EXE"})
        ASSERT_TRUE(CopyFileA((std::string("C:\\testbed\\oldinstall\\files\\") + old).c_str(), Maker(old).c_str(), FALSE));
    ProgramResult r = CallExport("VrkRasProvideRegistry 1A2b");
    EXPECT_EQ(Answer("VrkRasProvideRegistry", true, "OK"), r.out);
    const std::string source = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\System\\VrkRas";
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, source, "EventMessageFile", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    EXPECT_EQ(Text("%SystemRoot%\\SYSTEM32\\Drivers\\VrkRas.SYS"), bytes);
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, source, "TypesSupported", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(std::string("\x07\x00\x00\x00", 4), bytes);
    for (const char* old : {"VRKSETUP.DLL", "VRKSETUP.HLP", "RASTRACE.EXE"}) EXPECT_FALSE(PathExists(Maker(old))) << old;
    EXPECT_TRUE(PathExists(current));
    const std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkRasProvideRegistry ENTER; wnd=1a2b"));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(),
                                        "_DeleteFileList DELETE Old Setup;ini=" + Maker("DELFILES.DAT")));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkRasProvideRegistry LEAVE; OK"));
}

TEST_F(ProvisioningTest, GatewayMarksItselfInstalledAlsoWithoutTheFileList) {
    ASSERT_TRUE(CopyFileA("C:\\testbed\\oldinstall\\files\\VRKGER.DLL", Maker("VRKGER.DLL").c_str(), FALSE));
    ProgramResult r = CallExport("VrkLVProvideRegistry 0");
    EXPECT_EQ(Answer("VrkLVProvideRegistry", true, "OK"), r.out);
    EXPECT_FALSE(PathExists(Maker("VRKGER.DLL")));
    std::string bytes;
    DWORD type = 0;
    ASSERT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkLV", "Installed", &bytes, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(Text("1"), bytes);
    const std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkLVProvideRegistry ENTER;wnd= 0"));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "VrkLVProvideRegistry LEAVE;OK"));

    // Without DELFILES.DAT anywhere the user is told, and the marker is written all the same.
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkLV");
    const std::string list = Maker("DELFILES.DAT"), away = "C:\\temp\\DELFILES.away";
    ASSERT_TRUE(MoveFileA(list.c_str(), away.c_str()));
    dialog_robot::BackgroundCall call([] { return static_cast<INT_PTR>(CallExport("VrkLVProvideRegistry 0").exitCode); });
    const dialog_robot::MessageBoxSeen box = dialog_robot::AnswerMessageBox(IDOK, 60000);
    EXPECT_EQ("The file list DELFILES.DAT was not found. The files of the product cannot be deleted.", box.text);
    EXPECT_EQ("Varnek ISDN Setup", box.caption);
    ASSERT_TRUE(call.Wait(60000));
    EXPECT_EQ(0, call.result());
    EXPECT_TRUE(GetRegValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkLV", "Installed", &bytes, &type));
    ASSERT_TRUE(MoveFileA(away.c_str(), list.c_str()));
}

}  // namespace
