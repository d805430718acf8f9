#include "maintenance/cleanup_workers.h"

#include "common/setup_results.h"
#include "maintenance/cleanup_engine.h"

BOOL RouterCleanUpWorker(const SetupArguments& arguments, const char** result) {
    CleanUpRouter(arguments.window, TRUE);
    *result = kResultOk;
    return TRUE;
}

BOOL RemoteAccessCleanUpWorker(const SetupArguments& arguments, const char** result) {
    CleanUpRemoteAccess(arguments.window, TRUE);
    *result = kResultOk;
    return TRUE;
}

BOOL GatewayCleanUpWorker(const SetupArguments& arguments, const char** result) {
    CleanUpGateway(arguments.window, TRUE);
    *result = kResultOk;
    return TRUE;
}
