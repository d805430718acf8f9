// Test support: another process holding files open (C:\testbed\holder.exe), as a program that
// shares nothing, a viewer that shares them for reading only, or one that follows a file another
// program writes (ReadWrite: shared for reading and writing, not for deletion).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_holder {

enum class Sharing { None, Read, ReadWrite };

class FileHolder {
public:
    // Starts the holder and waits until it holds every file (or failed to).
    FileHolder(const std::vector<std::string>& paths, Sharing sharing);
    FileHolder(const std::string& path, Sharing sharing) : FileHolder(std::vector<std::string>{path}, sharing) {}
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    ~FileHolder() { Release(); }
    bool holding() const { return holding_; }
    // Ends the holder; its files are free once this returns.
    void Release();

private:
    HANDLE process_ = nullptr;
    bool holding_ = false;
};

}  // namespace testing_holder
