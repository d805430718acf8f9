#include "winhelp_observer.h"

namespace winhelp_observer {
namespace {

constexpr ULONG_PTR kWinHelpCopyData = 0xA1DE505;
const char kClassName[] = "MS_WINHELP";

// The request as WinHelp packs it: this header, then the file name at ofsFilename.
#pragma pack(push, 2)
struct WinHelpRequest {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
};
#pragma pack(pop)

}  // namespace

struct WinHelpObserver::State {
    CRITICAL_SECTION lock;
    std::vector<HelpCall> calls;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    HWND window = nullptr;

    void Record(const COPYDATASTRUCT* copy) {
        if (!copy || copy->dwData != kWinHelpCopyData || copy->cbData < sizeof(WinHelpRequest)) return;
        const auto* request = static_cast<const WinHelpRequest*>(copy->lpData);
        HelpCall call;
        call.command = request->command;
        call.data = static_cast<ULONG_PTR>(static_cast<ULONG>(request->data));
        if (request->ofsFilename && request->ofsFilename < copy->cbData) {
            const char* name = static_cast<const char*>(copy->lpData) + request->ofsFilename;
            call.file.assign(name, strnlen(name, copy->cbData - request->ofsFilename));
        }
        EnterCriticalSection(&lock);
        calls.push_back(call);
        LeaveCriticalSection(&lock);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COPYDATA) {
            auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            if (state) state->Record(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            return TRUE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static DWORD WINAPI Run(void* context) {
        auto* state = static_cast<State*>(context);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
        state->window = CreateWindowA(kClassName, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                      wc.hInstance, nullptr);
        if (state->window) SetWindowLongPtrA(state->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        SetEvent(state->ready);
        if (!state->window) return 1;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        DestroyWindow(state->window);
        return 0;
    }
};

WinHelpObserver::WinHelpObserver() : state_(new State) {
    InitializeCriticalSection(&state_->lock);
    state_->thread = CreateThread(nullptr, 0, State::Run, state_, 0, &state_->threadId);
    if (state_->thread) WaitForSingleObject(state_->ready, 10000);
}

WinHelpObserver::~WinHelpObserver() {
    if (state_->thread) {
        PostThreadMessageA(state_->threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(state_->thread, 10000);
        CloseHandle(state_->thread);
    }
    CloseHandle(state_->ready);
    DeleteCriticalSection(&state_->lock);
    delete state_;
}

bool WinHelpObserver::ready() const { return state_->window != nullptr; }

std::vector<HelpCall> WinHelpObserver::Calls() const {
    EnterCriticalSection(&state_->lock);
    std::vector<HelpCall> copy = state_->calls;
    LeaveCriticalSection(&state_->lock);
    return copy;
}

bool WinHelpObserver::WaitForCalls(size_t count, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    for (;;) {
        if (Calls().size() >= count) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(20);
    }
}

}  // namespace winhelp_observer
