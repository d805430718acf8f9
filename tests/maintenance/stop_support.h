// What the stop tests share: the substitute service installed under a name with a behaviour, the
// log of a stop procedure with its repeated status polls folded, and the journal's events.
#pragma once

#include <string>
#include <vector>

#include "journal.h"
#include "maintenance_fixture.h"
#include "services.h"

namespace maintenance_testing {

// Installs C:\testbed\stopservice.exe under name with the behaviour ("prompt", "late 3000",
// "never", "refuse") and starts it unless running is false.
void InstallStopService(const std::string& name, const std::string& behaviour, bool running = true);

// Stops the service, ends its process when it does not stop (a refusing or never-stopping
// substitute), and removes it, so that the next case can install it afresh.
void EndService(const std::string& name);

// The worker's log lines with each run of "<name> queryservicestatus ok" folded into one line
// "<name> queryservicestatus ok xN".
std::vector<std::string> FoldedWorkerMessages();

// "who what detail" of every journal line, in order, without the substitutes' "ready" lines.
std::vector<std::string> JournalEvents();

}  // namespace maintenance_testing
