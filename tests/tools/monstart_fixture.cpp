#include "monstart_fixture.h"

#include <algorithm>
#include <map>
#include <set>

#include "lang/resource.h"

using namespace dialog_robot;
using namespace testing_journal;
using namespace testing_machine;

namespace monstart_test {
namespace {

const char kSettingsKey[] = "Software\\Varnek Testbed\\rasmon";
const char kPortKey[] = "SOFTWARE\\Microsoft\\RAS Monitor";
const char kMonitorClass[] = "VrkTestbedRasMonitor";

std::string SettingsKey(const std::string& port) { return port.empty() ? kSettingsKey : std::string(kSettingsKey) + "\\" + port; }

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

}  // namespace

std::string Monstart() { return MakerDirectory() + "\\monstart.exe"; }

std::vector<Monitor> Monitors() {
    std::map<DWORD, std::string> ports;
    for (const JournalEntry& e : MonitorEvents("started")) ports[e.pid] = e.detail;
    std::vector<Monitor> found;
    struct Context {
        std::vector<Monitor>* found;
        std::map<DWORD, std::string>* ports;
    } context = {&found, &ports};
    EnumWindows(
        [](HWND window, LPARAM p) -> BOOL {
            auto* c = reinterpret_cast<Context*>(p);
            if (ClassOf(window) != kMonitorClass || !IsWindowVisible(window)) return TRUE;
            Monitor m;
            m.window = window;
            GetWindowThreadProcessId(window, &m.pid);
            m.port = (*c->ports)[m.pid];
            // Read without a message, so that a monitor that is just closing is no failure.
            char title[256] = "";
            GetWindowTextA(window, title, sizeof title);
            m.title = title;
            GetWindowRect(window, &m.rect);
            m.topmost = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            c->found->push_back(m);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&context));
    std::sort(found.begin(), found.end(), [](const Monitor& a, const Monitor& b) { return a.port < b.port; });
    return found;
}

std::vector<Monitor> WaitForMonitors(size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    std::vector<Monitor> monitors;
    do {
        monitors = Monitors();
        if (monitors.size() >= count) break;
        Pump(50);
    } while (GetTickCount() - start < timeoutMs);
    return monitors;
}

void SetMonitorTitle(const std::string& port, const std::string& title) {
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, SettingsKey(port), "Title", title));
}

void SetMonitorMenu(const std::string& port, bool menu) {
    ASSERT_TRUE(SetRegDword(HKEY_CURRENT_USER, SettingsKey(port), "Menu", menu ? 1 : 0));
}

void SetMonitorDelay(const std::string& port, DWORD delayMs) {
    ASSERT_TRUE(SetRegDword(HKEY_CURRENT_USER, SettingsKey(port), "DelayMs", delayMs));
}

std::vector<JournalEntry> MonitorEvents(const std::string& what) {
    std::vector<JournalEntry> events;
    for (const JournalEntry& e : JournalOf("rasmon.exe"))
        if (e.what == what) events.push_back(e);
    return events;
}

std::string PortValue() {
    std::string bytes;
    DWORD type = 0;
    if (!GetRegValue(HKEY_CURRENT_USER, kPortKey, "Port", &bytes, &type) || type != REG_SZ) return "";
    return std::string(bytes.c_str());
}

DWORD StartDetached(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) return 0;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return started.dwProcessId;
}

bool WaitForProcessEnd(DWORD pid, DWORD timeoutMs) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return true;
    const bool ended = MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

ProgramResult RunMonstart(const std::string& arguments, const std::string& program) {
    return RunProgram("\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments), 60000);
}

StartedMonstart::StartedMonstart(const std::string& arguments, const std::string& program) {
    call_ = std::make_unique<BackgroundCall>([this, arguments, program] {
        result_ = RunMonstart(arguments, program);
        return INT_PTR(0);
    });
}

bool StartedMonstart::Ended(DWORD timeoutMs) { return call_->Wait(timeoutMs); }

HMODULE MachineModule() {
    static HMODULE module =
        LoadLibraryA((MakerDirectory() + (kGermanMachine ? "\\LANGGER.DLL" : "\\LANGENG.DLL")).c_str());
    return module;
}

HWND WaitForMessageDialog(HMODULE module) { return WaitForDialog(module, IDD_MONSTART_MESSAGE); }

void MonstartTest::SetUp() {
    ClearJournal();
    DeleteRegKeyTree(HKEY_CURRENT_USER, kSettingsKey);
    DeleteRegValueOf(HKEY_CURRENT_USER, kPortKey, "Port");
}

void MonstartTest::TearDown() {
    // A monitor whose window comes late is waited for, so that none is left for the next test.
    std::set<DWORD> pids;
    for (const JournalEntry& e : MonitorEvents("started")) pids.insert(e.pid);
    for (DWORD pid : pids) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        if (!process) continue;
        const DWORD start = GetTickCount();
        while (WaitForSingleObject(process, 0) == WAIT_TIMEOUT && GetTickCount() - start < 15000) {
            for (const Monitor& m : Monitors())
                if (m.pid == pid) PostMessageA(m.window, WM_CLOSE, 0, 0);
            Pump(100);
        }
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 0)) << "monitor " << pid << " did not end";
        CloseHandle(process);
    }
}

}  // namespace monstart_test
