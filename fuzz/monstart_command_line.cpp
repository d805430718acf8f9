// monstart's command line: any text read into launch settings or refused with its message, and
// the grid those settings lay on screens of any size, with the monitors' tiles and titles.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "tools/monstart_command_line.h"
#include "tools/monstart_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool german = input.ConsumeBool();
    const size_t messageSize = input.ConsumeBool() ? kMonstartMessageSize : input.ConsumeIntegralInRange<size_t>(1, 80);
    const int32_t screenWidth = input.ConsumeIntegral<int32_t>();
    const int32_t screenHeight = input.ConsumeIntegral<int32_t>();
    const std::string line = input.ConsumeRemainingBytesAsString().c_str();

    std::vector<char> message(messageSize + 1, '\x7f');
    LaunchSettings settings;
    const CommandLineOutcome outcome = ParseMonstartCommandLine(line.c_str(), german, &settings, message.data(), messageSize);
    FUZZ_CHECK(message[messageSize] == '\x7f');
    FUZZ_CHECK(memchr(message.data(), '\0', messageSize) != nullptr);
    if (outcome != CommandLineOutcome::kBadParameter) FUZZ_CHECK(message[0] == '\0');
    if (outcome == CommandLineOutcome::kBadParameter) FUZZ_CHECK(message[0] != '\0' || messageSize == 1);
    if (outcome != CommandLineOutcome::kLaunch) return 0;
    FUZZ_CHECK(settings.columns > 0);

    TileGrid grid;
    char gridMessage[kGridMessageSize + 1];
    gridMessage[kGridMessageSize] = '\x7f';
    if (!PlanTileGrid(settings, screenWidth, screenHeight, german, &grid, gridMessage, kGridMessageSize)) {
        FUZZ_CHECK(gridMessage[kGridMessageSize] == '\x7f' && memchr(gridMessage, '\0', kGridMessageSize));
        return 0;
    }
    // Tiles at least 24 x 12 pixels, and rows enough for every monitor.
    FUZZ_CHECK(grid.width >= 24 && grid.height >= 12);
    if (settings.count > 0) FUZZ_CHECK(static_cast<int64_t>(grid.rows) * settings.columns >= settings.count);
    const int32_t count = settings.count < 0 ? 0 : (settings.count > 64 ? 64 : settings.count);
    for (int32_t index = 0; index < count; ++index) {
        const TilePosition tile = TileOf(grid, index);
        (void)tile;
        char title[64];
        for (const MonitorTitle& t : kMonitorTitles) {
            FormatMonitorTitle(t, index + 1, title, sizeof title);
            FUZZ_CHECK(memchr(title, '\0', sizeof title) != nullptr);
            FUZZ_CHECK(IsMonitorTitle(title));
        }
    }
    return 0;
}
