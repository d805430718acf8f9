// Stopping a product line's services and closing the windows of programs that may hold its files,
// before the installation replaces them.
#pragma once

#include <windows.h>

#include "common/setup_procedure.h"

// The log service that the router and gateway lines share. Spelt as the stop procedures have always
// named it in the log; service names are compared without regard to case, so it is the service
// whose key is VrkLogSV.
extern const char kLogService[];

// A service gets this many status polls, one this far apart, to reach SERVICE_STOPPED.
constexpr DWORD kStopPollMs = 1000;
constexpr int kStopPolls = 60;

// Sends the stop request and waits for the service to stop. TRUE when the service does not exist
// or could be opened, whatever happened afterwards; FALSE when it exists but cannot be opened.
// *accepted (when given) tells whether the service took the stop request, that is, whether it ran.
BOOL StopServiceAndWait(SC_HANDLE manager, const char* name, bool* accepted = nullptr);

// Workers of the setup procedures.
BOOL StopRouterProcessesWorker(const SetupArguments& arguments, const char** result);
BOOL StopRemoteAccessProcessesWorker(const SetupArguments& arguments, const char** result);
BOOL StopGatewayProcessesWorker(const SetupArguments& arguments, const char** result);
