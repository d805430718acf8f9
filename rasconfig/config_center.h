// The configuration center of the VrkRas driver and its trace service: dialog 139 with one button
// per page, opened by the setup procedure CallRasConfigCenter from setup or from cfgcenter.
#pragma once

#include <windows.h>

#include "common/setup_procedure.h"

// The two titles the center has in the language modules; a window with either is a center.
extern const char kCenterTitleEnglish[];
extern const char kCenterTitleGerman[];

// The worker of CallRasConfigCenter: shows the center (or brings an open one forward) and
// returns when it closes. The parameter turns special mode on when it holds "SPECIAL" in any
// letter case; it is only read.
BOOL ConfigCenterWorker(const SetupArguments& arguments, const char** result);
void RunConfigCenter(const char* parameter);

// Special mode of the last entry: the pages show the level boxes kept for service staff.
bool SpecialMode();
// True when text holds "SPECIAL" in any letter case.
bool AsksForSpecialMode(const char* text);

// The center's dialog procedure.
INT_PTR CALLBACK ConfigCenterProc(HWND center, UINT message, WPARAM wParam, LPARAM lParam);
