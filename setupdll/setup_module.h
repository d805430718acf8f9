// Process-wide state of VRKSUDLL.DLL that its setup procedures share.
#pragma once

#include <windows.h>

// The DLL's own instance handle, kept at process attach for its resources and dialogs.
extern HINSTANCE SetupModuleInstance;
