// CPU time of a process of this machine from the host's /proc, through Wine's \\?\unix\ paths.
#include "bench/tracesvc/unix_process.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string ReadUnixFile(const std::string& path) {
    HANDLE file = CreateFileA(("\\\\?\\unix" + path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
    CloseHandle(file);
    return text;
}

std::vector<std::string> UnixDirectory(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(("\\\\?\\unix" + path + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.cFileName[0] >= '0' && found.cFileName[0] <= '9') names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

// The host folder of this machine: the Wine prefix that C: lies in.
std::string MachinePrefix() {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return std::string();
    char* unixPath = toUnix(L"C:\\");
    if (!unixPath) return std::string();
    std::string path = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    for (const char* tail : {"/dosdevices/", "/drive_c"}) {
        const size_t at = path.find(tail);
        if (at != std::string::npos) return path.substr(0, at);
    }
    return std::string();
}

}  // namespace

int FindMachineProcess(const std::string& part) {
    const std::string prefix = "WINEPREFIX=" + MachinePrefix();
    if (prefix.size() == 11) return 0;
    for (const std::string& pid : UnixDirectory("\\proc")) {
        const std::string commandLine = ReadUnixFile("\\proc\\" + pid + "\\cmdline");
        if (commandLine.find(part) == std::string::npos) continue;
        const std::string environment = ReadUnixFile("\\proc\\" + pid + "\\environ");
        const std::string entry = prefix + '\0';
        if (environment.find(entry) != std::string::npos || environment.find(prefix + "/" + '\0') != std::string::npos)
            return atoi(pid.c_str());
    }
    return 0;
}

bool ProcessCpuNanoseconds(int pid, unsigned long long* nanoseconds) {
    const std::string tasks = "\\proc\\" + std::to_string(pid) + "\\task";
    const std::vector<std::string> threads = UnixDirectory(tasks);
    if (threads.empty()) return false;
    unsigned long long total = 0;
    for (const std::string& tid : threads) {
        // schedstat: time on the CPU in nanoseconds, then time waiting, then time slices.
        const std::string stat = ReadUnixFile(tasks + "\\" + tid + "\\schedstat");
        if (stat.empty()) return false;
        total += strtoull(stat.c_str(), nullptr, 10);
    }
    *nanoseconds = total;
    return true;
}

bool ThreadCpuNanoseconds(unsigned long long* nanoseconds) {
    const std::string stat = ReadUnixFile("\\proc\\thread-self\\schedstat");
    if (stat.empty()) return false;
    *nanoseconds = strtoull(stat.c_str(), nullptr, 10);
    return true;
}
