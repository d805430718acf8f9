// The setup procedure interface, between VRKSUDLL.DLL's export table and the workers of the
// subsystems: the parsed argument vector of the INF setup engine, and the signature of a worker.
#pragma once

#include <windows.h>

// Signature of an exported setup procedure: argument count, argument vector, result out-pointer.
using SetupProcedure = BOOL(WINAPI*)(DWORD argc, LPSTR argv[], LPSTR* result);

struct SetupArguments {
    HWND window = nullptr;            // owner of every dialog and message box the worker shows, or none
    UINT_PTR shownWindow = 0;         // the handle the ENTER line shows: the one given, window or not
    const char* parameter = nullptr;  // argv[1], or none
};

// argv[0] is the owner window as hexadecimal text; without it the focus window is the owner. A
// text that names no window gives no owner: a dialog with such an owner would not be shown at all.
SetupArguments ParseSetupArguments(DWORD argc, LPSTR argv[]);

// The handle when it names a window, else none.
HWND OwnerWindow(HWND candidate);

// True when the parameter is "INSTALL" in any letter case; it is never changed.
bool IsInstallMode(const char* parameter);

// A worker sets *result to one of the result texts of setup_results.h and returns the truth
// value the setup engine receives.
using SetupWorker = BOOL (*)(const SetupArguments& arguments, const char** result);
