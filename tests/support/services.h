// Test support: installing, starting, controlling and watching services under the machine's SCM.
#pragma once

#include <windows.h>

#include <string>

namespace testing_services {

// Creates the service, or points an existing one at the new image; demand start.
bool InstallService(const std::string& name, DWORD type, const std::string& imagePath);
bool RemoveService(const std::string& name);

// StartService; error receives GetLastError when it fails.
bool StartNamedService(const std::string& name, DWORD* error = nullptr);
// ControlService; status receives what the SCM answered, error the failure code.
bool ControlNamedService(const std::string& name, DWORD control, SERVICE_STATUS* status = nullptr,
                         DWORD* error = nullptr);
bool QueryNamedService(const std::string& name, SERVICE_STATUS* status);

// Polls until the service reports state; last receives the last status seen.
bool WaitForServiceState(const std::string& name, DWORD state, DWORD timeoutMs = 20000,
                         SERVICE_STATUS* last = nullptr);
// Stops a running or paused service and waits for STOPPED; true when it is stopped.
bool StopNamedService(const std::string& name, DWORD timeoutMs = 20000);

}  // namespace testing_services
