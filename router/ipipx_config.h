// The IP/IPX configuration of the multiprotocol router: dialog 118 and its setup procedure's worker.
#pragma once

#include <windows.h>

#include "common/setup_procedure.h"

// Shows dialog 118 owned by the window: "OK" and "USER_CANCEL" succeed; a dialog that cannot be
// created is reported and fails with "ERROR_DLGBOX_NOT_CREATE(IPIPX-Number)".
BOOL ConfigureIpIpx(const SetupArguments& arguments, const char** result);
