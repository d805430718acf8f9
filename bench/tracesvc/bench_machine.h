// What both trace service benchmarks set up: the substitute driver loaded and the service installed.
#pragma once

#include <string>

// Loads the driver with both streams off and installs VrkRasTraceSV with its files in dir; the
// diagnostic log stays off, as on a machine nobody debugs.
bool PrepareTraceServiceMachine(const std::string& dir);
