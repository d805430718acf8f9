// The service frame of TraceLogSvc: service main function, control handler, status and error reports.
#pragma once

#include <windows.h>

extern const char kDispatchServiceName[];

void WINAPI service_main(DWORD argc, LPSTR* argv);
void WINAPI service_ctrl(DWORD code);
BOOL report_status(DWORD state, DWORD exitCode, DWORD checkPoint, DWORD waitHint);
// Records the calling thread's last error, reports it as an error event and ends the service.
void report_service_error(const char* text);
