// The three worker threads of the service and the gates a pause holds them at.
#pragma once

#include <windows.h>

// Milliseconds between two settings checks, read at service start.
extern DWORD g_changeInterval;

// Creates the three gates open; FALSE when one cannot be created.
BOOL CreateWorkerGates();
// Closes the gates of trace, log and change worker, in this order; each worker stops at its gate
// before its next cycle, holding nothing.
void HoldWorkers();
void ReleaseWorkers();

DWORD WINAPI worker_threadTrace(LPVOID);
DWORD WINAPI worker_threadLog(LPVOID);
DWORD WINAPI worker_threadChange(LPVOID);
