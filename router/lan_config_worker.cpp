// The worker of VrkMprLanConfig: install mode comes from the parameter, the rest from the dialog.
#include "router/lan_config.h"
#include "setupdll/setup_call.h"

BOOL ConfigureLanWorker(const SetupArguments& arguments, const char** result) {
    return ConfigureLan(arguments.window, IsInstallMode(arguments.parameter) ? TRUE : FALSE, result);
}
