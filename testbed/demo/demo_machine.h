// The main job's view of its machine: programs it starts and watches, registry snapshots and the
// files the package may leave.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "report_text.h"

namespace demo {

// A program running beside the robot, its standard output and error in one file.
class Program {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    bool Start(const std::string& commandLine, const std::string& outputPath);
    bool Running() const;
    // True when it ended within the time.
    bool Wait(DWORD timeoutMs);
    DWORD pid() const { return pid_; }
    DWORD exitCode() const;
    std::string Output() const;

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    std::string outputPath_;
};

// Every key and value below the places the package writes to (report_text.h).
demo_report::RegistrySnapshot TakeSnapshot();

// Files below the places where the package keeps files, full paths, directories marked by a
// trailing "\"; the maker's directory listed whole.
std::vector<std::string> PackageFiles();

// PackageFiles with what each file holds: "path size bytes, fnv1a64 hash". The logs' lines carry
// the time and the process they were written in, so of them only the name counts.
std::vector<std::string> PackageFileStates();

// regedit /S of a file; true when regedit ended with 0.
bool ImportRegistryFile(const std::string& path);

}  // namespace demo
