// Benchmarks of the common library core, each against the platform doing the same work with its
// bare calls in the same run:
//   common_bench [log|regdelete|regcopy|tree|subkeys|multistring]...   (all when none is named)
// Candidate and baseline alternate within each round, and which goes first alternates between
// rounds, so that a load that comes and goes on a shared machine meets both alike.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/support/bare_calls.h"
#include "bench/support/measure.h"
#include "common/files.h"
#include "common/multistring.h"
#include "common/registry.h"
#include "common/setup_log.h"

namespace {

using bench::Median;
using bench::Seconds;

const char kBenchDir[] = "C:\\temp\\bench";
const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
const char kBenchKey[] = "SOFTWARE\\VrkBench";

// Runs candidate and baseline once each, in the order the round asks for; seconds of each.
void Alternate(int round, const std::function<void()>& candidate, const std::function<void()>& baseline,
               double* candidateSeconds, double* baselineSeconds) {
    if (round % 2 == 0) {
        *candidateSeconds = Seconds(candidate);
        *baselineSeconds = Seconds(baseline);
    } else {
        *baselineSeconds = Seconds(baseline);
        *candidateSeconds = Seconds(candidate);
    }
}

void BenchLog() {
    const int kLines = 500, kRounds = 101;
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
        double log = 0, write = 0;
        Alternate(
            round,
            [&] {
                for (int i = 0; i < kLines; ++i)
                    WriteSetupLog(kLogSourceSetup, kLogTrace, "SearchFilePath (varnek) for VRK%05d.DLL", i);
            },
            [&] {
                DWORD written;
                for (const std::string& line : lines)
                    WriteFile(plain, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            },
            &log, &write);
        logTimes.push_back(log / kLines * 1e6);
        plainTimes.push_back(write / kLines * 1e6);
        ratios.push_back(log / write);
    }
    CloseHandle(plain);
    CloseSetupLog();
    bench::Report({"WriteSetupLog, one line", "WriteFile of the same bytes", Median(logTimes), Median(plainTimes),
                   "us", Median(ratios), "<= 1.25", kRounds});
}

void BenchRegDelete() {
    const int kRounds = 7;
    const std::string ours = std::string(kBenchKey) + "\\DeleteA", bare = std::string(kBenchKey) + "\\DeleteB";
    std::vector<double> oursTimes, bareTimes, ratios;
    for (int round = 0; round < kRounds; ++round) {
        bench::BuildRegTree(ours.c_str());
        bench::BuildRegTree(bare.c_str());
        double a = 0, b = 0;
        Alternate(
            round, [&] { DeleteRegTree(ours.c_str()); },
            [&] { bench::BareDeleteTree(HKEY_LOCAL_MACHINE, bare.c_str()); }, &a, &b);
        if (RegKeyExists(ours.c_str()) || RegKeyExists(bare.c_str())) printf("a tree was left behind\n");
        oursTimes.push_back(a * 1e3);
        bareTimes.push_back(b * 1e3);
        ratios.push_back(a / b);
    }
    bench::Report({"DeleteRegTree, 10,000 keys", "recursive RegDeleteKeyA walk", Median(oursTimes),
                   Median(bareTimes), "ms", Median(ratios), "<= 1.10", kRounds});
    DeleteRegTree(kBenchKey);
}

void BenchRegCopy() {
    const int kRounds = 7;
    const std::string source = std::string(kBenchKey) + "\\Source";
    const std::string ours = std::string(kBenchKey) + "\\CopyA", bare = std::string(kBenchKey) + "\\CopyB";
    bench::BuildRegTree(source.c_str());
    std::vector<double> oursTimes, bareTimes, ratios;
    for (int round = 0; round < kRounds; ++round) {
        double a = 0, b = 0;
        Alternate(
            round, [&] { CopyRegTree(source.c_str(), ours.c_str()); },
            [&] { bench::BareCopyTree(HKEY_LOCAL_MACHINE, source.c_str(), bare.c_str()); }, &a, &b);
        const bench::TreeCount expected = bench::CountRegTree(HKEY_LOCAL_MACHINE, source.c_str());
        const bench::TreeCount copied = bench::CountRegTree(HKEY_LOCAL_MACHINE, ours.c_str());
        const bench::TreeCount bareCopied = bench::CountRegTree(HKEY_LOCAL_MACHINE, bare.c_str());
        if (round == 0 && (copied.keys != expected.keys || copied.values != expected.values ||
                           bareCopied.keys != expected.keys || bareCopied.values != expected.values))
            printf("copies differ: %lu/%lu keys/values, CopyRegTree %lu/%lu, bare copy %lu/%lu\n", expected.keys,
                   expected.values, copied.keys, copied.values, bareCopied.keys, bareCopied.values);
        bench::BareDeleteTree(HKEY_LOCAL_MACHINE, ours.c_str());
        bench::BareDeleteTree(HKEY_LOCAL_MACHINE, bare.c_str());
        oursTimes.push_back(a * 1e3);
        bareTimes.push_back(b * 1e3);
        ratios.push_back(a / b);
    }
    bench::Report({"CopyRegTree, 10,000 keys with values", "recursive RegEnumKeyExA/RegEnumValueA copy",
                   Median(oursTimes), Median(bareTimes), "ms", Median(ratios), "<= 1.10", kRounds});
    DeleteRegTree(kBenchKey);
}

void BenchTree() {
    const int kRounds = 7;
    const std::string root = std::string(kBenchDir) + "\\tree";
    CreateDirectoryA(kBenchDir, nullptr);
    bench::BuildFileTree(root.c_str());
    std::vector<double> oursTimes, bareTimes, ratios;
    unsigned long entries = 0;
    for (int round = 0; round < kRounds; ++round) {
        char buffer[kPathSize];
        snprintf(buffer, sizeof buffer, "%s", root.c_str());
        const char* names[] = {"absent.dll"};
        double a = 0, b = 0;
        Alternate(
            round, [&] { FindInTree(buffer, 1, names); }, [&] { entries = bench::BareWalk(root.c_str()); }, &a, &b);
        oursTimes.push_back(a * 1e3);
        bareTimes.push_back(b * 1e3);
        ratios.push_back(a / b);
    }
    if (entries != bench::kFileTreeEntries) printf("the tree holds %lu entries\n", entries);
    bench::Report({"FindInTree, 50,000 entries", "FindFirstFileA/FindNextFileA walk", Median(oursTimes),
                   Median(bareTimes), "ms", Median(ratios), "<= 1.10", kRounds});
}

void BenchSubkeys() {
    const int kSubkeys = 5000, kRounds = 9;
    const std::string many = std::string(kBenchKey) + "\\Many";
    HKEY top;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, many.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &top, nullptr);
    for (int i = 0; i < kSubkeys; ++i) {
        char name[32];
        snprintf(name, sizeof name, "Subkey%05d", i);
        HKEY k;
        RegCreateKeyExA(top, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
        RegCloseKey(k);
    }
    RegCloseKey(top);
    std::vector<double> oursTimes, bareTimes, ratios;
    size_t count = 0, bareCount = 0;
    for (int round = 0; round < kRounds; ++round) {
        double a = 0, b = 0;
        Alternate(
            round,
            [&] {
                RegistrySubkeyList list(many.c_str());
                count = 0;
                while (list.nextPath()) ++count;
            },
            [&] {
                HKEY key;
                RegOpenKeyExA(HKEY_LOCAL_MACHINE, many.c_str(), 0, KEY_ALL_ACCESS, &key);
                std::vector<std::string> names;
                char name[MAX_PATH];
                for (DWORD i = 0;; ++i) {
                    DWORD length = sizeof name;
                    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
                    names.push_back(many + "\\" + name);
                }
                bareCount = names.size();
                RegCloseKey(key);
            },
            &a, &b);
        oursTimes.push_back(a * 1e3);
        bareTimes.push_back(b * 1e3);
        ratios.push_back(a / b);
    }
    if (count != static_cast<size_t>(kSubkeys) || bareCount != count)
        printf("subkey counts differ: %zu %zu\n", count, bareCount);
    bench::Report({"RegistrySubkeyList, 5,000 subkeys", "RegEnumKeyExA into a vector", Median(oursTimes),
                   Median(bareTimes), "ms", Median(ratios), nullptr, kRounds});
    DeleteRegTree(kBenchKey);
}

void BenchMultiString() {
    const int kNames = 100000, kRounds = 9;
    std::vector<std::string> names;
    for (int i = 0; i < kNames; ++i) names.push_back("VrkMprWan" + std::to_string(i));
    std::vector<double> oursTimes, bareTimes, ratios;
    for (int round = 0; round < kRounds; ++round) {
        double a = 0, b = 0;
        Alternate(
            round,
            [&] {
                MultiStringList list;
                for (const std::string& n : names) list.append(n.c_str());
            },
            [&] {
                std::vector<std::string> copy;
                for (const std::string& n : names) copy.push_back(n);
            },
            &a, &b);
        oursTimes.push_back(a * 1e3);
        bareTimes.push_back(b * 1e3);
        ratios.push_back(a / b);
    }
    bench::Report({"MultiStringList, 100,000 appends", "std::vector<std::string>", Median(oursTimes),
                   Median(bareTimes), "ms", Median(ratios), nullptr, kRounds});
}

}  // namespace

int main(int argc, char** argv) {
    struct Bench {
        const char* name;
        void (*run)();
    };
    static const Bench benches[] = {
        {"log", BenchLog},         {"regdelete", BenchRegDelete}, {"regcopy", BenchRegCopy},
        {"tree", BenchTree},       {"subkeys", BenchSubkeys},     {"multistring", BenchMultiString},
    };
    for (int i = 1; i < argc; ++i) {
        bool known = false;
        for (const Bench& b : benches) known = known || strcmp(argv[i], b.name) == 0;
        if (!known) {
            fprintf(stderr, "common_bench: no benchmark %s\n", argv[i]);
            return 2;
        }
    }
    for (const Bench& b : benches) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i) wanted = wanted || strcmp(argv[i], b.name) == 0;
        if (wanted) b.run();
    }
    return 0;
}
