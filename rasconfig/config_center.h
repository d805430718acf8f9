// The configuration center of the VrkRas driver and its trace service: dialog 139 with one button
// per page, opened by the setup procedure CallRasConfigCenter from setup or from cfgcenter.
#pragma once

#include <windows.h>

#include "common/setup_procedure.h"
#include "rasconfig/service_staff_mode.h"

// The two titles the center has in the language modules; a window with either is a center.
extern const char kCenterTitleEnglish[];
extern const char kCenterTitleGerman[];

// True when the parameter holds "UNATTENDED" in any letter case: the center then opens no window,
// and the pages whose sections the answer file (AnswerFile::FromRegistry) holds take their answers.
bool AsksForUnattendedMode(const char* parameter);

// The worker of CallRasConfigCenter: shows the center (or brings an open one forward) and
// returns when it closes. The parameter chooses special mode (ChooseSpecialMode) and unattended mode.
BOOL ConfigCenterWorker(const SetupArguments& arguments, const char** result);
void RunConfigCenter(const char* parameter);

// The center's dialog procedure.
INT_PTR CALLBACK ConfigCenterProc(HWND center, UINT message, WPARAM wParam, LPARAM lParam);
