// A service program of the outside world that a test installs under any name (VrkMprSV, VrklogSV,
// SNMP, ...) and that answers the stop request the way the test chose:
//
//   stopservice.exe prompt          stops at once
//   stopservice.exe late <ms>       reports STOP_PENDING, stops after ms milliseconds
//   stopservice.exe never           reports STOP_PENDING and keeps running
//   stopservice.exe refuse          does not accept stop: the request fails with 1052
//
// Every control it receives is a journal line: who = the service's name, what = "control",
// detail = the control code in decimal. It also records "running" and "stopped". The user-defined
// control 128 stops it in every manner, so that a test can clean up after a refusing one.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "testbed/journal/journal.h"

namespace {

enum class Behaviour { kPrompt, kLate, kNever, kRefuse };
constexpr DWORD kEndControl = 128;

Behaviour g_behaviour = Behaviour::kPrompt;
DWORD g_lateMs = 3000;
char g_name[256] = "stopservice";
SERVICE_STATUS_HANDLE g_status = nullptr;
HANDLE g_stopRequested = nullptr;
LONG g_checkPoint = 0;
LONG g_endRequested = 0;

bool EndRequested() { return InterlockedCompareExchange(&g_endRequested, 0, 0) != 0; }

DWORD AcceptedControls() { return g_behaviour == Behaviour::kRefuse ? 0 : SERVICE_ACCEPT_STOP; }

void Report(DWORD state, DWORD waitHint = 0) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? AcceptedControls() : 0;
    status.dwWin32ExitCode = NO_ERROR;
    status.dwCheckPoint = state == SERVICE_STOP_PENDING ? static_cast<DWORD>(InterlockedIncrement(&g_checkPoint)) : 0;
    status.dwWaitHint = waitHint;
    SetServiceStatus(g_status, &status);
}

// Runs on the dispatcher's thread: it never waits for the main thread, it only reports and signals.
void WINAPI Handler(DWORD control) {
    char code[16];
    snprintf(code, sizeof code, "%lu", static_cast<unsigned long>(control));
    JournalAppend(g_name, "control", code);
    if (control == kEndControl) {
        InterlockedExchange(&g_endRequested, 1);
        Report(SERVICE_STOP_PENDING, 1000);
        SetEvent(g_stopRequested);
        return;
    }
    if (control == SERVICE_CONTROL_STOP && g_behaviour != Behaviour::kRefuse) {
        Report(SERVICE_STOP_PENDING, g_behaviour == Behaviour::kLate ? g_lateMs + 1000 : 1000);
        SetEvent(g_stopRequested);
    }
    // Any other control leaves the state as it was reported last.
}

void WINAPI ServiceMain(DWORD argc, LPSTR* argv) {
    if (argc >= 1 && argv[0]) lstrcpynA(g_name, argv[0], sizeof g_name);
    g_status = RegisterServiceCtrlHandlerA(g_name, Handler);
    if (!g_status) return;
    g_stopRequested = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    Report(SERVICE_RUNNING);
    JournalAppend(g_name, "running", "");
    WaitForSingleObject(g_stopRequested, INFINITE);
    // Stays STOP_PENDING for as long as the machine's session lasts, or until control 128.
    while (g_behaviour == Behaviour::kNever && !EndRequested()) WaitForSingleObject(g_stopRequested, INFINITE);
    if (g_behaviour == Behaviour::kLate) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < g_lateMs && !EndRequested()) {
            Sleep(250);
            Report(SERVICE_STOP_PENDING, 2000);
        }
    }
    JournalAppend(g_name, "stopped", "");
    Report(SERVICE_STOPPED);
}

bool ReadBehaviour(int argc, char** argv) {
    if (argc < 2) return true;
    if (strcmp(argv[1], "prompt") == 0) g_behaviour = Behaviour::kPrompt;
    else if (strcmp(argv[1], "late") == 0) g_behaviour = Behaviour::kLate;
    else if (strcmp(argv[1], "never") == 0) g_behaviour = Behaviour::kNever;
    else if (strcmp(argv[1], "refuse") == 0) g_behaviour = Behaviour::kRefuse;
    else return false;
    if (g_behaviour == Behaviour::kLate && argc >= 3) g_lateMs = strtoul(argv[2], nullptr, 10);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!ReadBehaviour(argc, argv)) {
        fprintf(stderr, "usage: stopservice [prompt | late <ms> | never | refuse]\n");
        return 2;
    }
    SERVICE_TABLE_ENTRYA table[] = {{g_name, ServiceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherA(table)) {
        fprintf(stderr, "stopservice runs only as a service (error %lu)\n", GetLastError());
        return 1;
    }
    return 0;
}
