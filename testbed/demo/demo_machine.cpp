#include "demo_machine.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/handles.h"
#include "machine.h"

namespace demo {
namespace {

struct Root {
    HKEY key;
    const char* rootName;
    const char* path;
};

// The package's own keys and those of the system components it edits (services, event-log
// sources, SNMP, NWLink IPX, network cards, the CAPI registry, the service group order, deferred
// deletes, the TAPI device map and the remote-access monitor's port).
const Root kRoots[] = {
    {HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\VARNEK"},
    {HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\VARNEK GmbH"},
    {HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\CAPI20"},
    {HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards"},
    {HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM\\CurrentControlSet\\Services"},
    {HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM\\CurrentControlSet\\Control\\ServiceGroupOrder"},
    {HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM\\CurrentControlSet\\Control\\Session Manager"},
    {HKEY_LOCAL_MACHINE, "HKLM", "HARDWARE\\DEVICEMAP\\TAPI DEVICES"},
    {HKEY_CURRENT_USER, "HKCU", "Software\\Microsoft\\RAS Monitor"},
};

void ReadTree(HKEY key, const std::string& path, demo_report::RegistrySnapshot* snapshot) {
    (*snapshot)[path] = "";
    std::vector<char> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size()), type = 0, size = 0;
        if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::string data(size, '\0');
        nameLength = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                          size ? reinterpret_cast<BYTE*>(&data[0]) : nullptr, &size) != ERROR_SUCCESS)
            break;
        data.resize(size);
        (*snapshot)[path + "|" + std::string(name.data(), nameLength)] = demo_report::ValueText(type, data);
    }
    char subkey[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof subkey;
        if (RegEnumKeyExA(key, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        vrk::RegKey child;
        if (RegOpenKeyExA(key, subkey, 0, KEY_READ, child.put()) == ERROR_SUCCESS)
            ReadTree(child.get(), path + "\\" + subkey, snapshot);
    }
}

void ListFiles(const std::string& pattern, bool recurse, std::vector<std::string>* paths) {
    const std::string folder = pattern.substr(0, pattern.rfind('\\'));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            paths->push_back(path + "\\");
            if (recurse) ListFiles(path + "\\*", true, paths);
        } else {
            paths->push_back(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

Program::~Program() {
    if (process_) CloseHandle(process_);
}

bool Program::Start(const std::string& commandLine, const std::string& outputPath) {
    outputPath_ = outputPath;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    vrk::FileHandle out(CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    vrk::FileHandle in(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0,
                                   nullptr));
    if (!out.valid()) return false;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in.valid() ? in.get() : nullptr;
    si.hStdOutput = out.get();
    si.hStdError = out.get();
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

bool Program::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool Program::Wait(DWORD timeoutMs) { return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0; }

DWORD Program::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

std::string Program::Output() const { return testing_machine::ReadFileBytes(outputPath_); }

demo_report::RegistrySnapshot TakeSnapshot() {
    demo_report::RegistrySnapshot snapshot;
    for (const Root& root : kRoots) {
        vrk::RegKey key;
        if (RegOpenKeyExA(root.key, root.path, 0, KEY_READ, key.put()) == ERROR_SUCCESS)
            ReadTree(key.get(), std::string(root.rootName) + "\\" + root.path, &snapshot);
    }
    return snapshot;
}

std::vector<std::string> PackageFiles() {
    using testing_machine::Expand;
    std::vector<std::string> paths;
    const std::string maker = Expand("%SystemRoot%\\SYSTEM32\\VARNEK");
    if (GetFileAttributesA(maker.c_str()) != INVALID_FILE_ATTRIBUTES) paths.push_back(maker + "\\");
    ListFiles(maker + "\\*", true, &paths);
    for (const char* pattern : {"%SystemRoot%\\SYSTEM32\\DRIVERS\\Vrk*", "%SystemRoot%\\SYSTEM32\\oem*.inf",
                                "%SystemRoot%\\SYSTEM32\\VRK*", "%SystemRoot%\\DELETE.LST", "C:\\temp\\setup*.log",
                                "C:\\temp\\TraceLogSvc.log"})
        ListFiles(Expand(pattern), false, &paths);
    return paths;
}

std::vector<std::string> PackageFileStates() {
    std::vector<std::string> states;
    for (const std::string& path : PackageFiles()) {
        const bool log = path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".log") == 0;
        if (path.back() == '\\' || log) {
            states.push_back(path);
            continue;
        }
        const std::string bytes = testing_machine::ReadFileBytes(path);
        unsigned long long hash = 14695981039346656037ull;
        for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
        char text[64];
        snprintf(text, sizeof text, " %u bytes, %016llx", static_cast<unsigned>(bytes.size()), hash);
        states.push_back(path + text);
    }
    return states;
}

bool ImportRegistryFile(const std::string& path) {
    const testing_machine::ProgramResult r = testing_machine::RunProgram("regedit.exe /S " + path, 60000);
    return r.started && !r.timedOut && r.exitCode == 0;
}

}  // namespace demo
