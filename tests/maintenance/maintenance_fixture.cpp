#include "maintenance_fixture.h"

#include <regex>

#include "common/handles.h"

using namespace testing_machine;

namespace maintenance_testing {

const char kLogFile[] = "c:\\temp\\setup.log";
const char kOldInstall[] = "C:\\testbed\\oldinstall";

namespace {

const char kBanner[] = "*************************** new instance **********************************";

void ReadTreeInto(HKEY key, const std::string& prefix, RegTree* tree, std::vector<std::string>* keys) {
    std::vector<char> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size()), type = 0, size = 0;
        if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::string data(size, '\0');
        nameLength = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                          size ? reinterpret_cast<BYTE*>(&data[0]) : nullptr, &size) != ERROR_SUCCESS)
            break;
        data.resize(size);
        (*tree)[prefix + "|" + std::string(name.data(), nameLength)] = RegValueCopy{type, data};
    }
    char subkey[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof subkey;
        if (RegEnumKeyExA(key, index, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::string path = prefix.empty() ? subkey : prefix + "\\" + subkey;
        if (keys) keys->push_back(path);
        vrk::RegKey child;
        if (RegOpenKeyExA(key, subkey, 0, KEY_READ, child.put()) == ERROR_SUCCESS)
            ReadTreeInto(child.get(), path, tree, keys);
    }
}

void DeleteBelow(HKEY key) {
    char subkey[256];
    for (;;) {
        DWORD length = sizeof subkey;
        if (RegEnumKeyExA(key, 0, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
        {
            vrk::RegKey child;
            if (RegOpenKeyExA(key, subkey, 0, KEY_ALL_ACCESS, child.put()) != ERROR_SUCCESS) return;
            DeleteBelow(child.get());
        }
        if (RegDeleteKeyA(key, subkey) != ERROR_SUCCESS) return;
    }
}

}  // namespace

void DeleteDeepTree(HKEY root, const std::string& key) {
    {
        vrk::RegKey k;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, k.put()) != ERROR_SUCCESS) return;
        DeleteBelow(k.get());
    }
    RegDeleteKeyA(root, key.c_str());
}

ProgramResult CallExport(const std::string& exportAndArguments, DWORD timeoutMs) {
    return RunProgram("C:\\testbed\\host.exe \"" + MakerDirectory() + "\\VRKSUDLL.DLL\" " + exportAndArguments,
                      timeoutMs);
}

std::string Answer(const std::string& exportName, bool returned, const std::string& result) {
    return exportName + " returned " + (returned ? "TRUE" : "FALSE") + "; result " + result + "\r\n";
}

std::vector<std::string> LogMessages(std::vector<int>* levels) {
    const std::vector<std::string> lines = SplitLines(ReadFileBytes(kLogFile));
    EXPECT_FALSE(lines.empty()) << "no setup log";
    if (lines.empty()) return {};
    EXPECT_EQ(kBanner, lines[0]);
    static const std::regex prefix(R"(^33 0([124]) \d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d\.\d{3}: )");
    std::vector<std::string> messages;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::smatch m;
        const bool matched = std::regex_search(lines[i], m, prefix);
        EXPECT_TRUE(matched) << lines[i];
        messages.push_back(matched ? m.suffix().str() : lines[i]);
        if (levels) levels->push_back(matched ? std::stoi(m[1].str()) : 0);
    }
    return messages;
}

std::vector<std::string> WorkerMessages() {
    std::vector<std::string> inside;
    bool entered = false;
    for (const std::string& m : LogMessages()) {
        if (m.find(" ENTER") != std::string::npos) {
            entered = true;
            continue;
        }
        if (m.find(" LEAVE") != std::string::npos) break;
        if (entered && m.rfind("SearchFilePath", 0) != 0) inside.push_back(m);
    }
    return inside;
}

bool ImportOldInstall(const std::string& regFile) {
    const ProgramResult r = RunProgram("regedit.exe /S " + std::string(kOldInstall) + "\\" + regFile, 60000);
    return r.started && !r.timedOut && r.exitCode == 0;
}

RegTree ReadRegTree(HKEY root, const std::string& key) {
    RegTree tree;
    vrk::RegKey k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, k.put()) == ERROR_SUCCESS) ReadTreeInto(k.get(), "", &tree, nullptr);
    return tree;
}

std::vector<std::string> RegSubkeysBelow(HKEY root, const std::string& key) {
    RegTree tree;
    std::vector<std::string> keys;
    vrk::RegKey k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, k.put()) == ERROR_SUCCESS) ReadTreeInto(k.get(), "", &tree, &keys);
    return keys;
}

std::vector<std::string> ReadMultiString(HKEY root, const std::string& key, const std::string& name) {
    std::string bytes;
    DWORD type = 0;
    std::vector<std::string> strings;
    if (!GetRegValue(root, key, name, &bytes, &type) || type != REG_MULTI_SZ) return strings;
    size_t start = 0;
    while (start < bytes.size() && bytes[start] != '\0') {
        const size_t end = bytes.find('\0', start);
        strings.push_back(bytes.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return strings;
}

bool WriteMultiString(HKEY root, const std::string& key, const std::string& name,
                      const std::vector<std::string>& strings) {
    std::string bytes;
    for (const std::string& s : strings) bytes += s + '\0';
    bytes += '\0';
    return SetRegBytes(root, key, name, REG_MULTI_SZ, bytes);
}

DelFilesOverride::DelFilesOverride(const std::string& text) {
    const std::string path = MakerDirectory() + "\\DELFILES.DAT";
    shipped_ = ReadFileBytes(path);
    EXPECT_FALSE(shipped_.empty()) << "no DELFILES.DAT installed";
    EXPECT_TRUE(WriteFileBytes(path, text));
}

DelFilesOverride::~DelFilesOverride() { WriteFileBytes(MakerDirectory() + "\\DELFILES.DAT", shipped_); }

RunningProgram::RunningProgram(const std::string& commandLine) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
        return;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
}

RunningProgram::~RunningProgram() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

bool RunningProgram::WaitEnded(DWORD timeoutMs) {
    return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

void MaintenanceTest::SetUp() {
    DeleteFileA(kLogFile);
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "LogLevel");
}

}  // namespace maintenance_testing
