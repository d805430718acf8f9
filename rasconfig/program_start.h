// Starting a program without waiting for it: the trace icons' setup program and the file viewer.
#pragma once

#include <windows.h>

// CreateProcess with no inherited handles and a start-up record that is empty but for its size;
// the handles of the new process and its thread are closed at once. commandLine is modified by
// the platform while it starts the program. TRUE when the program started.
BOOL StartProgram(const char* application, char* commandLine, DWORD creationFlags);
