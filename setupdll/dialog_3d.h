// Three-dimensional look for the DLL's dialogs, through CTL3D32.DLL where the system has it.
#pragma once

#include <windows.h>

// Registers the module with the 3D controls library, when it is present; otherwise nothing.
void Register3dControls(HINSTANCE module);
// Unregisters again; the library is freed unless the process is ending.
void Unregister3dControls(HINSTANCE module, bool processEnding);
