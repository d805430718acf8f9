// A program of the operating system that the system starts by name (setup.exe, a text viewer):
// it writes its command line into the journal exactly as it received it, and ends.
#include <windows.h>

#include "testbed/journal/journal.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    JournalAppend(VRK_PROGRAM_NAME, "started", GetCommandLineA());
    return 0;
}
