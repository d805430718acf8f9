// monstart: starts one remote-access monitor (rasmon.exe) per port and tiles their windows in a
// grid on the screen; with -k it first closes the monitors that are open. The usage help and
// every refusal are shown in the message dialog of the language module. The exit code is always 1.
#include <windows.h>

#include "common/language.h"
#include "tools/monstart_command_line.h"
#include "tools/monstart_launch.h"
#include "tools/monstart_layout.h"
#include "tools/monstart_message.h"

namespace {

constexpr int kExitCode = 1;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    LaunchSettings settings;
    char message[kMonstartMessageSize];
    switch (ParseMonstartCommandLine(commandLine, IsGermanSystem(), &settings, message, sizeof message)) {
    case CommandLineOutcome::kUsage:
        ShowMonstartMessage(nullptr);
        return kExitCode;
    case CommandLineOutcome::kBadParameter:
        ShowMonstartMessage(message);
        return kExitCode;
    case CommandLineOutcome::kLaunch:
        break;
    }
    if (settings.closeFirst) CloseOpenMonitors();
    if (settings.startNone) return kExitCode;

    RECT screen = {};
    GetWindowRect(GetDesktopWindow(), &screen);
    TileGrid grid;
    char gridMessage[kGridMessageSize];
    if (!PlanTileGrid(settings, screen.right - screen.left, screen.bottom - screen.top, IsGermanSystem(), &grid,
                      gridMessage, sizeof gridMessage)) {
        ShowMonstartMessage(gridMessage);
        return kExitCode;
    }
    StartMonitors(settings, grid);
    return kExitCode;
}
