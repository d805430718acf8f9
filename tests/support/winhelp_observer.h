// Test support: stands in for the help viewer, so that a test sees every help request the code makes.
//
// The platform's WinHelp looks for a window of class MS_WINHELP and sends it the request as
// WM_COPYDATA; the observer owns such a hidden window on a thread of its own and records each one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace winhelp_observer {

struct HelpCall {
    std::string file;   // the help file as the caller passed it
    UINT command = 0;   // HELP_CONTEXT, HELP_QUIT, ...
    ULONG_PTR data = 0; // the context id of HELP_CONTEXT
};

class WinHelpObserver {
public:
    WinHelpObserver();  // the window exists when the constructor returns (ready() tells)
    WinHelpObserver(const WinHelpObserver&) = delete;
    WinHelpObserver& operator=(const WinHelpObserver&) = delete;
    ~WinHelpObserver();

    bool ready() const;
    std::vector<HelpCall> Calls() const;
    // True when at least count calls have arrived within the time.
    bool WaitForCalls(size_t count, DWORD timeoutMs = 10000) const;

    struct State;

private:
    State* state_;
};

}  // namespace winhelp_observer
