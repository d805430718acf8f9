#include "machine.h"

#include <cstdio>

#include "common/handles.h"

namespace testing_machine {
namespace {

HANDLE CreateInheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ProgramResult RunProgram(const std::string& commandLine, DWORD timeoutMs, const char* currentDirectory) {
    static LONG runNumber = 0;
    const LONG n = InterlockedIncrement(&runNumber);
    char base[64];
    snprintf(base, sizeof base, "C:\\temp\\run-%lu-%ld", GetCurrentProcessId(), n);
    const std::string outPath = std::string(base) + ".out";
    const std::string errPath = std::string(base) + ".err";

    ProgramResult result;
    {
        vrk::FileHandle out(CreateInheritableFile(outPath));
        vrk::FileHandle err(CreateInheritableFile(errPath));
        SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
        vrk::FileHandle in(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                   OPEN_EXISTING, 0, nullptr));
        if (!out.valid() || !err.valid()) return result;

        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = in.valid() ? in.get() : nullptr;
        si.hStdOutput = out.get();
        si.hStdError = err.get();
        PROCESS_INFORMATION pi = {};
        std::vector<char> cmd(commandLine.begin(), commandLine.end());
        cmd.push_back('\0');
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, currentDirectory,
                            &si, &pi))
            return result;
        result.started = true;
        vrk::FileHandle process(pi.hProcess);
        vrk::FileHandle thread(pi.hThread);
        if (WaitForSingleObject(pi.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            result.timedOut = true;
            TerminateProcess(pi.hProcess, 124);
            WaitForSingleObject(pi.hProcess, 5000);
        }
        GetExitCodeProcess(pi.hProcess, &result.exitCode);
    }
    result.out = ReadFileBytes(outPath);
    result.err = ReadFileBytes(errPath);
    DeleteFileA(outPath.c_str());
    DeleteFileA(errPath.c_str());
    return result;
}

std::string Expand(const std::string& text) {
    char buffer[1024];
    DWORD n = ExpandEnvironmentStringsA(text.c_str(), buffer, sizeof buffer);
    if (n == 0 || n > sizeof buffer) return text;
    return buffer;
}

std::string MakerDirectory() { return Expand("%SystemRoot%\\SYSTEM32\\VARNEK"); }

std::string ReadFileBytes(const std::string& path) {
    vrk::FileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f.valid()) return std::string();
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(f.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    vrk::FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    if (!f.valid()) return false;
    DWORD written = 0;
    return WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SetLastWriteTimeUtc(const std::string& path, WORD year, WORD month, WORD day, WORD hour, WORD minute,
                         WORD second) {
    SYSTEMTIME st = {};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = hour;
    st.wMinute = minute;
    st.wSecond = second;
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft)) return false;
    vrk::FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return f.valid() && SetFileTime(f.get(), nullptr, nullptr, &ft);
}

std::string FreshDirectory(const std::string& name) {
    const std::string dir = "C:\\temp\\" + name;
    RunProgram("cmd.exe /c rmdir /s /q \"" + dir + "\"", 30000);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

bool SetRegBytes(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
    vrk::RegKey k;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(k.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value, DWORD type) {
    return SetRegBytes(root, key, name, type, std::string(value.c_str(), value.size() + 1));
}

bool SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    return SetRegBytes(root, key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

bool GetRegValue(HKEY root, const std::string& key, const std::string& name, std::string* bytes, DWORD* type) {
    vrk::RegKey k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, k.put()) != ERROR_SUCCESS) return false;
    DWORD size = 0, valueType = 0;
    if (RegQueryValueExA(k.get(), name.c_str(), nullptr, &valueType, nullptr, &size) != ERROR_SUCCESS) return false;
    std::string data(size, '\0');
    if (RegQueryValueExA(k.get(), name.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(&data[0]), &size) !=
        ERROR_SUCCESS)
        return false;
    data.resize(size);
    if (bytes) *bytes = data;
    if (type) *type = valueType;
    return true;
}

bool RegKeyPresent(HKEY root, const std::string& key) {
    vrk::RegKey k;
    return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, k.put()) == ERROR_SUCCESS;
}

void DeleteRegValueOf(HKEY root, const std::string& key, const std::string& name) {
    vrk::RegKey k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, k.put()) == ERROR_SUCCESS)
        RegDeleteValueA(k.get(), name.c_str());
}

void DeleteRegKeyTree(HKEY root, const std::string& key) {
    {
        vrk::RegKey k;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, k.put()) != ERROR_SUCCESS) return;
        char child[260];
        for (;;) {
            DWORD len = sizeof child;
            if (RegEnumKeyExA(k.get(), 0, child, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            const std::string before = child;
            DeleteRegKeyTree(root, key + "\\" + before);
            if (RegKeyPresent(root, key + "\\" + before)) break;
        }
    }
    RegDeleteKeyA(root, key.c_str());
}

void SetProgramWindowsVersion(const std::string& exeName, const std::string& version) {
    SetRegString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + exeName, "Version", version);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        size_t end = lf == std::string::npos ? text.size() : lf;
        size_t cut = end > start && text[end - 1] == '\r' ? end - 1 : end;
        lines.push_back(text.substr(start, cut - start));
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    return lines;
}

}  // namespace testing_machine
