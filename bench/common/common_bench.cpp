// Benchmarks of the common library core, each timed against a baseline in the same run:
//   common_bench [log|regtree|tree|subkeys|multistring]...   (all when none is named)
// Each figure is the median of several rounds in which candidate and baseline alternate.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/multistring.h"
#include "common/registry.h"
#include "common/setup_log.h"

namespace {

const char kBenchDir[] = "C:\\temp\\bench";
const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Time(const std::function<void()>& body) {
    const double start = Now();
    body();
    return Now() - start;
}

// Runs a command line with its output thrown away and waits for it; the seconds it took.
double RunTimed(const std::string& commandLine) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = nul;
    si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    std::string cmd = commandLine;
    const double start = Now();
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(nul);
        return -1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    const double seconds = Now() - start;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(nul);
    return seconds;
}

// The figures are medians over the rounds, the ratio the median of each round's own ratio.
void Report(const char* what, double candidate, const char* baselineName, double baseline, double ratio,
            const char* unit, double scale, const char* goal) {
    printf("%-34s %10.3f %s   %-26s %10.3f %s   ratio %.2f%s%s\n", what, candidate * scale, unit, baselineName,
           baseline * scale, unit, ratio, goal ? "   goal " : "", goal ? goal : "");
    fflush(stdout);
}

void BenchLog() {
    // Short alternating blocks, so that a load that comes and goes on the machine meets both sides.
    const int kLines = 2000, kRounds = 31;
    CreateDirectoryA(kBenchDir, nullptr);
    const std::string logPath = std::string(kBenchDir) + "\\setup.log";
    const std::string plainPath = std::string(kBenchDir) + "\\plain.log";
    WriteRegString((std::string(kSetupKey) + "\\LogName").c_str(), logPath.c_str(), kRegClose);
    WriteRegDword((std::string(kSetupKey) + "\\LogLevel").c_str(), 2, kRegClose);
    // The same bytes as the log lines: prefix, time and message.
    std::vector<std::string> lines;
    for (int i = 0; i < kLines; ++i) {
        char line[128];
        snprintf(line, sizeof line, "33 02 07.12.1996 14:05:09.123: SearchFilePath (varnek) for VRK%05d.DLL\r\n", i);
        lines.push_back(line);
    }
    OpenSetupLog(kSetupKey, "LogName", "LogLevel");
    HANDLE plain = CreateFileA(plainPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<double> logTimes, plainTimes, ratios;
    for (int round = 0; round < kRounds; ++round) {
        const double log = Time([&] {
            for (int i = 0; i < kLines; ++i)
                WriteSetupLog(kLogSourceSetup, kLogTrace, "SearchFilePath (varnek) for VRK%05d.DLL", i);
        });
        const double write = Time([&] {
            DWORD written;
            for (const std::string& line : lines)
                WriteFile(plain, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        });
        logTimes.push_back(log / kLines);
        plainTimes.push_back(write / kLines);
        ratios.push_back(log / write);
    }
    CloseHandle(plain);
    CloseSetupLog();
    Report("WriteSetupLog per line", Median(logTimes), "plain WriteFile per line", Median(plainTimes), Median(ratios),
           "us", 1e6, "<= 1.5");
}

// 100 keys with 99 subkeys each: 10,000 keys below the root.
void BuildRegTree(const std::string& root) {
    HKEY top;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, root.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &top, nullptr);
    for (int i = 0; i < 100; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Node%03d", i);
        HKEY node;
        RegCreateKeyExA(top, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &node, nullptr);
        for (int k = 0; k < 99; ++k) {
            char leafName[32];
            snprintf(leafName, sizeof leafName, "Leaf%03d", k);
            HKEY leaf;
            RegCreateKeyExA(node, leafName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &leaf, nullptr);
            const DWORD value = static_cast<DWORD>(k);
            RegSetValueExA(leaf, "Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
            RegCloseKey(leaf);
        }
        RegCloseKey(node);
    }
    RegCloseKey(top);
}

void BenchRegTree() {
    const int kRounds = 5;
    std::vector<double> ours, reg, ratios;
    for (int round = 0; round < kRounds; ++round) {
        BuildRegTree("SOFTWARE\\VrkBench\\TreeA");
        ours.push_back(Time([] { DeleteRegTree("SOFTWARE\\VrkBench\\TreeA"); }));
        if (RegKeyExists("SOFTWARE\\VrkBench\\TreeA")) printf("DeleteRegTree left the tree behind\n");
        BuildRegTree("SOFTWARE\\VrkBench\\TreeB");
        reg.push_back(RunTimed("reg.exe delete HKLM\\SOFTWARE\\VrkBench\\TreeB /f"));
        if (RegKeyExists("SOFTWARE\\VrkBench\\TreeB")) printf("reg delete left the tree behind\n");
        ratios.push_back(ours.back() / reg.back());
    }
    Report("DeleteRegTree, 10,000 keys", Median(ours), "reg delete /f", Median(reg), Median(ratios), "ms", 1e3,
           "<= 1.0");
    DeleteRegTree("SOFTWARE\\VrkBench");
}

// 50 folders of 999 files each: 50,000 entries.
void BuildFileTree(const std::string& root) {
    CreateDirectoryA(kBenchDir, nullptr);
    CreateDirectoryA(root.c_str(), nullptr);
    for (int d = 0; d < 50; ++d) {
        char folder[MAX_PATH];
        snprintf(folder, sizeof folder, "%s\\dir%02d", root.c_str(), d);
        CreateDirectoryA(folder, nullptr);
        for (int f = 0; f < 999; ++f) {
            char file[MAX_PATH];
            snprintf(file, sizeof file, "%s\\file%03d.dat", folder, f);
            HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    }
}

void BenchTree() {
    const int kRounds = 3;
    const std::string root = std::string(kBenchDir) + "\\tree";
    BuildFileTree(root);
    std::vector<double> ours, cmd, ratios;
    for (int round = 0; round < kRounds; ++round) {
        char buffer[kPathSize];
        snprintf(buffer, sizeof buffer, "%s", root.c_str());
        const char* names[] = {"absent.dll"};
        ours.push_back(Time([&] { FindInTree(buffer, 1, names); }));
        cmd.push_back(RunTimed("cmd.exe /c dir /s /b " + root));
        ratios.push_back(ours.back() / cmd.back());
    }
    Report("FindInTree, 50,000 entries", Median(ours), "cmd /c dir /s /b", Median(cmd), Median(ratios), "ms", 1e3,
           "<= 1.0");
}

void BenchSubkeys() {
    const int kSubkeys = 5000, kRounds = 9;
    HKEY top;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VrkBench\\Many", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &top,
                    nullptr);
    for (int i = 0; i < kSubkeys; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Subkey%05d", i);
        HKEY k;
        RegCreateKeyExA(top, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
        RegCloseKey(k);
    }
    RegCloseKey(top);
    std::vector<double> ours, raw, ratios;
    size_t count = 0, rawCount = 0;
    for (int round = 0; round < kRounds; ++round) {
        ours.push_back(Time([&] {
            RegistrySubkeyList list("SOFTWARE\\VrkBench\\Many");
            count = 0;
            while (list.nextPath()) ++count;
        }));
        raw.push_back(Time([&] {
            HKEY key;
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\VrkBench\\Many", 0, KEY_ALL_ACCESS, &key);
            std::vector<std::string> names;
            char name[MAX_PATH];
            for (DWORD i = 0;; ++i) {
                DWORD length = sizeof name;
                if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
                names.push_back(std::string("SOFTWARE\\VrkBench\\Many\\") + name);
            }
            rawCount = names.size();
            RegCloseKey(key);
        }));
        ratios.push_back(ours.back() / raw.back());
    }
    if (count != static_cast<size_t>(kSubkeys) || rawCount != count) printf("subkey counts differ: %zu %zu\n", count, rawCount);
    Report("RegistrySubkeyList, 5,000 subkeys", Median(ours), "RegEnumKeyExA into vector", Median(raw), Median(ratios),
           "ms", 1e3, nullptr);
    DeleteRegTree("SOFTWARE\\VrkBench");
}

void BenchMultiString() {
    const int kNames = 100000, kRounds = 9;
    std::vector<std::string> names;
    for (int i = 0; i < kNames; ++i) names.push_back("VrkMprWan" + std::to_string(i));
    std::vector<double> ours, vec, ratios;
    for (int round = 0; round < kRounds; ++round) {
        ours.push_back(Time([&] {
            MultiStringList list;
            for (const std::string& n : names) list.append(n.c_str());
        }));
        vec.push_back(Time([&] {
            std::vector<std::string> copy;
            for (const std::string& n : names) copy.push_back(n);
        }));
        ratios.push_back(ours.back() / vec.back());
    }
    Report("MultiStringList, 100,000 appends", Median(ours), "std::vector<std::string>", Median(vec), Median(ratios),
           "ms", 1e3, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    struct Bench {
        const char* name;
        void (*run)();
    };
    static const Bench benches[] = {
        {"log", BenchLog}, {"regtree", BenchRegTree}, {"tree", BenchTree}, {"subkeys", BenchSubkeys},
        {"multistring", BenchMultiString},
    };
    for (const Bench& b : benches) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i) wanted = wanted || strcmp(argv[i], b.name) == 0;
        if (wanted) b.run();
    }
    return 0;
}
