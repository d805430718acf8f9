// Test support: the small drive T: that the harness mounts for a test (SMALL_DRIVE of
// vrk_add_wine_test), and a file that fills it up.
#pragma once

#include <windows.h>

#include <string>

namespace testing_small_drive {

constexpr const char* kDrive = "T:";

// Whether the machine has the drive: the harness can mount it only where it may (as root).
bool Available();
// A fresh, empty folder on the drive, with everything else on it removed.
std::string FreshFolder(const std::string& name);

// A file that takes whatever room is left on the drive, so that the next write of anybody fails.
class Filler {
public:
    Filler();
    Filler(const Filler&) = delete;
    Filler& operator=(const Filler&) = delete;
    ~Filler() { Free(); }
    // True once not one more byte fits on the drive.
    bool full() const { return full_; }
    unsigned long long bytes() const { return bytes_; }
    // Deletes the file: the room is there again.
    void Free();

private:
    std::string path_;
    bool full_ = false;
    unsigned long long bytes_ = 0;
};

}  // namespace testing_small_drive
