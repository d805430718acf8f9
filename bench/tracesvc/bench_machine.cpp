// Set-up shared by the trace service benchmarks.
#include "bench/tracesvc/bench_machine.h"

#include "machine.h"
#include "trace_service.h"
#include "vrkras_driver.h"

bool PrepareTraceServiceMachine(const std::string& dir) {
    using namespace testing_machine;
    const char* key = testing_trace_service::kParameters;
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, key);
    FreshDirectory(dir.substr(dir.rfind('\\') + 1));
    if (!SetRegString(HKEY_LOCAL_MACHINE, key, "TraceFileName", dir + "\\RasTrc.TXT") ||
        !SetRegString(HKEY_LOCAL_MACHINE, key, "LogFileName", dir + "\\RasLog.TXT"))
        return false;
    testing_vrkras::DriverControl driver;
    return testing_vrkras::InstallDriver(1) && testing_vrkras::StartDriver() && driver.Reset() &&
           testing_trace_service::InstallTraceService();
}
