// monstart's command line: the options read into launch settings, or the reason the line is
// refused. Plain text work, no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

// What the command line sets; the defaults are those of a line without options.
struct LaunchSettings {
    int32_t count = 2;     // -c: monitors to start
    int32_t columns = 1;   // -s: columns of the grid
    int32_t width = 18;    // -x: tile width in pixels, as given (raised to 24 when the grid is laid)
    int32_t height = 34;   // -y: tile height in pixels
    int32_t left = 1;      // -l: left edge of the grid
    int32_t top = 1;       // -u: top edge of the grid
    bool topmost = false;     // -f
    bool closeFirst = false;  // -k
    bool startNone = false;   // -n
};

enum class CommandLineOutcome {
    kLaunch,        // settings hold the options
    kUsage,         // a "?" asks for the message dialog without a text
    kBadParameter,  // message holds the text for the message dialog
};

// Room for a message of the message dialog: the text before the rest of the line, and as much of
// the rest as fits.
constexpr size_t kMonstartMessageSize = 512;

// Reads line (the command line without the program name; null counts as empty) into settings.
// A bad option, or a column count of 0 or less, gives kBadParameter with "bad paramters in
// commandline: --> " (german: "falscher Parameter:") and the rest of the line from the offending
// "-" in message (size bytes, always terminated, the rest cut to fit). message is empty otherwise.
CommandLineOutcome ParseMonstartCommandLine(const char* line, bool german, LaunchSettings* settings, char* message,
                                            size_t size);
