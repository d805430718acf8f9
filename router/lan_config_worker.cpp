// The worker of VrkMprLanConfig, apart from the dialog: the frame that decides install mode lives
// in the DLL.
#include "router/lan_config.h"
#include "setupdll/setup_frame.h"

BOOL ConfigureLanWorker(const SetupArguments& arguments, const char** result) {
    return ConfigureLan(arguments.window, IsInstallMode(arguments.parameter) ? TRUE : FALSE, result);
}
