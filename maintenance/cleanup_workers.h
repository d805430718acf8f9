// The setup procedures VrkMprCleanUp, VrkRasCleanUp and VrkLVCleanUp: one line's clean-up each,
// files included. VrkClean runs the engine itself and never needs them.
#pragma once

#include <windows.h>

#include "common/setup_procedure.h"

BOOL RouterCleanUpWorker(const SetupArguments& arguments, const char** result);
BOOL RemoteAccessCleanUpWorker(const SetupArguments& arguments, const char** result);
BOOL GatewayCleanUpWorker(const SetupArguments& arguments, const char** result);
