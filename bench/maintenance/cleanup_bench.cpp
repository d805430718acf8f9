// The clean-up of all three product lines in one process after DELFILES.DAT is gone, on a drive
// that holds a tree of 50,000 entries more than the machine's own, as a ratio to one bare walk of
// that drive: every delete list of the clean-up looks for the file list, and the last place it
// looks is the whole drive of the program.
//   cleanup_bench [rounds]      (5 when none is given)
//   cleanup_bench --clean-up    one clean-up in this process: its seconds and the message boxes
// Each round lays the lines' registry files onto the machine and runs the clean-up in a process of
// its own, as the setup engine or VrkClean would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/support/bare_calls.h"
#include "bench/support/measure.h"
#include "common/language.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "maintenance/cleanup_engine.h"

namespace {

const char kCleanUpArgument[] = "--clean-up";
const char kTree[] = "C:\\temp\\cleanupbench";
const char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
const char* const kLineFiles[] = {"router.reg", "dialcore.reg", "linvora.reg"};
// A message box's text control, as the window system numbers it.
constexpr int kMessageBoxTextId = 0xFFFF;

int g_boxes = 0;

// Presses OK in every message box of this thread as soon as it is shown: the clean-up tells the
// user once per delete list that DELFILES.DAT is missing.
LRESULT CALLBACK AnswerMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = "";
        GetClassNameA(window, className, sizeof className);
        if (strcmp(className, "#32770") == 0 && GetDlgItem(window, kMessageBoxTextId) && GetDlgItem(window, IDOK)) {
            ++g_boxes;
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int CleanUpOnce() {
    WriteRegString((std::string(kSetupKey) + "\\LogName").c_str(), "c:\\temp\\setup.log", kRegClose);
    OpenSetupLog(kSetupKey, "LogName", "LogLevel");
    AttachLanguageModule();
    const HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerMessageBoxes, nullptr, GetCurrentThreadId());
    const double seconds = bench::Seconds([] {
        CleanUpRouter(nullptr, TRUE);
        CleanUpRemoteAccess(nullptr, TRUE);
        CleanUpGateway(nullptr, TRUE);
    });
    if (hook) UnhookWindowsHookEx(hook);
    DetachLanguageModule();
    CloseSetupLog();
    printf("%.6f %d\n", seconds, g_boxes);
    return 0;
}

// Runs a command line with its output in a file, waits for it; false when it did not end with 0.
bool Run(const std::string& commandLine, const char* outputFile = nullptr) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileA(outputFile ? outputFile : "NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherit, outputFile ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = output;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    std::string command = commandLine;
    const bool started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                        &process) != 0;
    CloseHandle(output);
    if (!started) return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return exitCode == 0;
}

bool InstallLines() {
    for (const char* file : kLineFiles)
        if (!Run(std::string("regedit.exe /S C:\\testbed\\products\\") + file)) return false;
    return RegKeyExists("SYSTEM\\CurrentControlSet\\Services\\VrkMpr") &&
           RegKeyExists("SYSTEM\\CurrentControlSet\\Services\\VrkRas") &&
           RegKeyExists("SYSTEM\\CurrentControlSet\\Services\\VrkLV");
}

// One clean-up in a process of its own: the seconds it took inside that process, and its boxes.
bool CleanUpInProcess(double* seconds, int* boxes) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const char* answer = "C:\\temp\\cleanupbench.txt";
    if (!Run(std::string("\"") + self + "\" " + kCleanUpArgument, answer)) return false;
    FILE* file = fopen(answer, "r");
    if (!file) return false;
    const bool read = fscanf(file, "%lf %d", seconds, boxes) == 2;
    fclose(file);
    return read;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], kCleanUpArgument) == 0) return CleanUpOnce();
    const int rounds = argc > 1 ? atoi(argv[1]) : 5;
    if (rounds < 1) return 2;
    CreateDirectoryA(kTree, nullptr);
    bench::BuildFileTree((std::string(kTree) + "\\tree").c_str());
    char list[MAX_PATH];
    ExpandEnvironmentStringsA("%SystemRoot%\\SYSTEM32\\VARNEK\\DELFILES.DAT", list, sizeof list);
    DeleteFileA(list);

    std::vector<double> cleanUps, walks, ratios;
    unsigned long entries = 0;
    int boxes = 0;
    for (int round = 0; round < rounds; ++round) {
        if (!InstallLines()) {
            fprintf(stderr, "cleanup_bench: cannot lay the product lines onto the machine\n");
            return 1;
        }
        double cleanUp = 0, walk = 0;
        bool ran = true;
        const auto cleanUpRun = [&] { ran = CleanUpInProcess(&cleanUp, &boxes); };
        const auto walkRun = [&] { walk = bench::Seconds([&] { entries = bench::BareWalk("C:"); }); };
        if (round % 2 == 0) {
            cleanUpRun();
            walkRun();
        } else {
            walkRun();
            cleanUpRun();
        }
        if (!ran) {
            fprintf(stderr, "cleanup_bench: the clean-up did not run\n");
            return 1;
        }
        printf("round %d: clean-up %.3f s with %d messages that DELFILES.DAT is missing; walk of C: (%lu entries) %.3f s\n",
               round + 1, cleanUp, boxes, entries, walk);
        fflush(stdout);
        cleanUps.push_back(cleanUp * 1e3);
        walks.push_back(walk * 1e3);
        ratios.push_back(cleanUp / walk);
    }
    bench::Report({"Clean-up of 3 lines, DELFILES.DAT gone", "one FindFirstFileA/FindNextFileA walk of C:",
                   bench::Median(cleanUps), bench::Median(walks), "ms", bench::Median(ratios), nullptr, rounds});
    return 0;
}
