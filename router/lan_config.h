// The LAN configuration of the router: which LAN adapters it owns (dialog 109), and the setup worker.
#pragma once

#include <windows.h>

#include "common/setup_procedure.h"

// Loads the LAN adapter table and shows dialog 109; in install mode every adapter starts
// router-owned. OK and Cancel both save the marks as they stand and write the controller list.
// "OK" (also when there is no adapter), "USER_CANCEL": TRUE; a dialog that cannot be created:
// "ERROR_DLGBOX_NOT_CREATE(LANCONTROLLER)", FALSE, nothing written.
BOOL ConfigureLan(HWND parent, BOOL installMode, const char** result);
// The service names of the router-owned adapters as VrkMprLan's Controllers list.
void WriteLanControllers();

// The setup procedure's worker: install mode when the parameter is "INSTALL" in any letter case.
BOOL ConfigureLanWorker(const SetupArguments& arguments, const char** result);
