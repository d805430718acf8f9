#include "common_fixture.h"

#include "common/setup_log.h"

using namespace testing_machine;

namespace common_test {

std::string ProbePath() { return "C:\\tests\\common_probe.exe"; }

std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

ProgramResult RunProbe(const std::string& arguments) { return RunProgram(ProbePath() + " " + arguments); }

bool OpenTestLog(const std::string& path, long level) {
    SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "LogName", path);
    if (level >= 0) {
        SetRegDword(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel", static_cast<DWORD>(level));
    } else {
        DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSetupKey, "LogLevel");
    }
    return OpenSetupLog(kSetupKey, "LogName", "LogLevel") != FALSE;
}

std::vector<std::string> LogMessages(const std::string& path) {
    // "SS LL dd.mm.yyyy hh:mm:ss.mmm: " is 31 bytes for two-digit sources and levels.
    std::vector<std::string> messages;
    for (const std::string& line : SplitLines(ReadFileBytes(path))) {
        if (line.rfind("****", 0) == 0) continue;
        messages.push_back(line.size() > 31 ? line.substr(31) : line);
    }
    return messages;
}

std::vector<std::string> PendingRenames() {
    std::string bytes;
    std::vector<std::string> strings;
    if (!GetRegValue(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", &bytes)) return strings;
    // Pairs: a source and a target, the target often empty; the list ends with an empty source.
    size_t p = 0;
    while (p < bytes.size() && bytes[p] != '\0') {
        for (int i = 0; i < 2 && p <= bytes.size(); ++i) {
            const size_t end = bytes.find('\0', p);
            const size_t stop = end == std::string::npos ? bytes.size() : end;
            strings.push_back(bytes.substr(p, stop - p));
            p = stop + 1;
        }
    }
    return strings;
}

void ClearPendingRenames() {
    DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
}

RunningProgram::RunningProgram(const std::string& commandLine) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
}

RunningProgram::~RunningProgram() { end(); }

void RunningProgram::end() {
    if (!process_) return;
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 10000);
    CloseHandle(process_);
    process_ = nullptr;
}

HeldFile::HeldFile(const std::string& path) : program_(ProbePath() + " hold \"" + path + "\"") {
    // Held once opening it for deletion meets a sharing violation.
    for (int i = 0; i < 200 && program_.started(); ++i) {
        HANDLE probe = CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
            holding_ = true;
            return;
        }
        if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
        Sleep(50);
    }
}

}  // namespace common_test
