// Test support: run programs on the test machine and read and write its registry and files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_machine {

// What a program left behind: its exit code and its standard output and error, taken through files.
struct ProgramResult {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
    std::string out;
    std::string err;
};

// Runs a command line (program and arguments, quoted as the program expects them) and waits.
// A program still running after timeoutMs is ended and reported as timed out.
ProgramResult RunProgram(const std::string& commandLine, DWORD timeoutMs = 60000,
                         const char* currentDirectory = nullptr);

// %SystemRoot%\SYSTEM32\VARNEK with the environment expanded, where the package is installed.
std::string MakerDirectory();
std::string Expand(const std::string& text);

// Whole files as bytes; ReadFileBytes gives an empty text for a missing file.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);
bool SetLastWriteTimeUtc(const std::string& path, WORD year, WORD month, WORD day, WORD hour,
                         WORD minute, WORD second);
// A fresh, empty directory under C:\temp for one test.
std::string FreshDirectory(const std::string& name);

// Registry values by root, key and value name; keys are created as needed.
bool SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                  DWORD type = REG_SZ);
bool SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
bool SetRegBytes(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& bytes);
// The value's bytes and type; false when it is missing.
bool GetRegValue(HKEY root, const std::string& key, const std::string& name, std::string* bytes,
                 DWORD* type = nullptr);
bool RegKeyPresent(HKEY root, const std::string& key);
void DeleteRegValueOf(HKEY root, const std::string& key, const std::string& name);
void DeleteRegKeyTree(HKEY root, const std::string& key);

// Makes a program see another Windows version at its next start: "nt40", "nt351", "win7", ...
void SetProgramWindowsVersion(const std::string& exeName, const std::string& version);

// Splits text into lines at CR LF or LF, without the line ends.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace testing_machine
