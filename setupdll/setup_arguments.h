// The argument vector the INF setup engine hands to every setup procedure, and its parsing.
#pragma once

#include <windows.h>

// Signature of an exported setup procedure: argument count, argument vector, result out-pointer.
using SetupProcedure = BOOL(WINAPI*)(DWORD argc, LPSTR argv[], LPSTR* result);

struct SetupArguments {
    HWND window = nullptr;            // owner of every dialog and message box the worker shows
    const char* parameter = nullptr;  // argv[1], or none
};

// argv[0] is the owner window as hexadecimal text; without it the focus window is the owner.
SetupArguments ParseSetupArguments(DWORD argc, LPSTR argv[]);
