// What the common library's tests share: the probe program, a log to read, a program left running.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "machine.h"

namespace common_test {

constexpr char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

std::string ProbePath();
// The first line of a program's output, without its line end.
std::string FirstLine(const std::string& text);
testing_machine::ProgramResult RunProbe(const std::string& arguments);

// Points LogName at path, sets LogLevel (none when level is negative) and opens the log in this process.
bool OpenTestLog(const std::string& path, long level = 2);
// The messages of the log's lines (behind the source, level and time prefix); the banner left out.
std::vector<std::string> LogMessages(const std::string& path);

// The strings of PendingFileRenameOperations, empty ones included, in order.
std::vector<std::string> PendingRenames();
void ClearPendingRenames();

// A program started without waiting for it; ended (if still running) on destruction.
class RunningProgram {
public:
    explicit RunningProgram(const std::string& commandLine);
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();
    bool started() const { return process_ != nullptr; }
    void end();

private:
    HANDLE process_ = nullptr;
};

// The probe holding path open (shared for reading only) until the object goes.
class HeldFile {
public:
    explicit HeldFile(const std::string& path);
    bool holding() const { return holding_; }
    void release() { program_.end(); }

private:
    RunningProgram program_;
    bool holding_ = false;
};

}  // namespace common_test
