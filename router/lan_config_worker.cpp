// The worker of VrkMprLanConfig: install mode comes from the parameter, the rest from the dialog.
#include "common/setup_procedure.h"
#include "router/lan_config.h"

BOOL ConfigureLanWorker(const SetupArguments& arguments, const char** result) {
    return ConfigureLan(arguments.window, IsInstallMode(arguments.parameter) ? TRUE : FALSE, result);
}
