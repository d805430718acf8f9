// The hand-over to the operating system's network control panel once the lines are removed.
#pragma once

// Calls CPlSetup of NCPA.CPL with the command "NCPA" and no parent window; a library that cannot
// be loaded or lacks the entry is logged and passed over. The library stays loaded.
void OpenNetworkSettings();
