// What the router tests share: the CAPI registry shapes and the substitute driver, the language
// module, the setup log of this process, and registry reads of the values the router writes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "capi_driver.h"
#include "journal.h"
#include "machine.h"

namespace router_test {

#ifdef VRK_GERMAN_MACHINE
constexpr bool kGermanMachine = true;
#else
constexpr bool kGermanMachine = false;
#endif

constexpr char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";
constexpr char kLogPath[] = "C:\\temp\\router.log";
constexpr char kMprWanParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprWan\\Parameters";
constexpr char kRasParameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkRas\\Parameters";
constexpr char kX31Parameters[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprX31\\Parameters";
constexpr char kTapiKey[] = "HARDWARE\\DEVICEMAP\\TAPI DEVICES\\VrkRas";

// Provisions the shape and (re)starts the driver on it; the journal starts empty.
bool MachineWithDriver(const std::string& shape);

// Opens this process's setup log at kLogPath afresh with LogLevel level.
bool OpenRouterLog(DWORD level = 4);
// The log file as it is, every byte.
std::string RawLog();
// The messages of the log's lines, behind their prefixes.
std::vector<std::string> LogMessages();

// Polls until the condition holds; false after the time.
bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Registry values under HKEY_LOCAL_MACHINE.
bool Dword(const std::string& key, const std::string& name, DWORD* value);
std::string Text(const std::string& key, const std::string& name);
// The strings of a REG_MULTI_SZ, and whether it is exactly one NUL (the empty list).
std::vector<std::string> Strings(const std::string& key, const std::string& name);
std::string RawValue(const std::string& key, const std::string& name);

// A card controller's key in the CAPI registry: SOFTWARE\CAPI20\<card>\<controller>.
std::string ControllerKey(int card, int controller);

}  // namespace router_test
