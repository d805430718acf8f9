// GoogleTest's port settings for the win32 thread model, found ahead of GoogleTest's own empty one.
#pragma once

// The runtime of the win32 thread model has no std::mutex or std::condition_variable, which
// GoogleTest's Notification is built on; this one waits on a Win32 event.
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    ~Notification() {
        if (event_) CloseHandle(event_);
    }

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing
