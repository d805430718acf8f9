// Closing the remote-access monitors that are open, and starting, naming and placing new ones.
#pragma once

#include <windows.h>

#include "tools/monstart_layout.h"

// The monitor reads the port it watches from here when it starts.
extern const char kMonitorPortValue[];  // HKEY_CURRENT_USER:SOFTWARE\Microsoft\RAS Monitor\Port
extern const char kMonitorProgram[];    // "rasmon.exe", found through the system's search path
// How long a new monitor has to become idle and show its window.
constexpr DWORD kMonitorWaitMs = 1000;

// Posts WM_CLOSE to every top-level window with a monitor title; the number of windows asked.
int CloseOpenMonitors();

// The top-level window of process pid with a title of kMonitorTitles, the first title before the
// second; *title tells which. Null when the process has none.
HWND FindMonitorWindow(DWORD pid, const MonitorTitle** title);

// Starts settings.count monitors one after the other, each after writing its port; each one whose
// window appears within the wait is renamed, put on top with -f, sent command 2 when it has a
// menu, and moved into its tile of grid.
void StartMonitors(const LaunchSettings& settings, const TileGrid& grid);
