// Where monstart puts the monitors and what it calls them: the grid of tiles on the screen and the
// monitor window titles. Plain work on numbers and texts, no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/monstart_command_line.h"

// The grid as laid out on the screen: edges and tile size after clamping, and the monitors per
// column.
struct TileGrid {
    int32_t left = 1;
    int32_t top = 1;
    int32_t width = 24;
    int32_t height = 12;
    int32_t rows = 1;
};

struct TilePosition {
    int32_t x = 0;
    int32_t y = 0;
};

// Room for the message of a grid that does not fit.
constexpr size_t kGridMessageSize = 128;

// Lays the grid of settings on a screen of screenWidth x screenHeight pixels. False when the
// columns of the width as given are wider than the screen: message (size bytes) then holds "to
// large size x, must be smaller as %d" (german: "zu großer Wert für x, muß kleiner sein als %d")
// with the screen width per column. Columns of 0 or less are refused with an empty message (the
// command line never lets them through).
bool PlanTileGrid(const LaunchSettings& settings, int32_t screenWidth, int32_t screenHeight, bool german,
                  TileGrid* grid, char* message, size_t size);

// The upper left corner of monitor index (0-based): down the column first, then the next column.
TilePosition TileOf(const TileGrid& grid, int32_t index);

// A title the monitor's window is looked for by, exactly, and the format of its new title, which
// takes the 1-based monitor number.
struct MonitorTitle {
    const char* shown;
    const char* renamed;
};
// "RAS-MONITOR" first, then "REMOTE ACCESS MONITOR".
extern const MonitorTitle kMonitorTitles[2];

// The title of a monitor, also one renamed by an earlier run: in upper case it contains "REMOTE
// ACCESS MONITOR" or "RAS-MONITOR".
bool IsMonitorTitle(const char* title);

// The new title of monitor number (1-based) into out (size bytes, always terminated).
void FormatMonitorTitle(const MonitorTitle& title, int32_t number, char* out, size_t size);
