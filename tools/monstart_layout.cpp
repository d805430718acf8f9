#include "tools/monstart_layout.h"

#include <cstdio>

#include "common/ascii_case.h"

const MonitorTitle kMonitorTitles[2] = {
    {"RAS-MONITOR", "RAS-Monitor %d"},
    {"REMOTE ACCESS MONITOR", "Remote Access Monitor %d"},
};

namespace {

const char kGridTooWideEnglish[] = "to large size x, must be smaller as %d";
const char kGridTooWideGerman[] = "zu großer Wert für x, muß kleiner sein als %d";

// Products of two 32-bit settings are taken in 64 bits; what is handed on is kept in 32.
int32_t Saturated(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

bool PlanTileGrid(const LaunchSettings& settings, int32_t screenWidth, int32_t screenHeight, bool german,
                  TileGrid* grid, char* message, size_t size) {
    if (message && size) message[0] = '\0';
    if (settings.columns <= 0) return false;
    const int64_t span = static_cast<int64_t>(settings.columns) * settings.width;
    if (screenWidth < span) {
        if (message && size)
            snprintf(message, size, german ? kGridTooWideGerman : kGridTooWideEnglish,
                     static_cast<int>(screenWidth / settings.columns));
        return false;
    }
    TileGrid g;
    g.left = settings.left < 1 ? 1 : settings.left;
    if (g.left + span > screenWidth) g.left = Saturated(screenWidth - span);
    g.top = settings.top < 1 || settings.top > screenHeight ? 1 : settings.top;
    g.height = settings.height < 12 || settings.height > screenHeight ? 12 : settings.height;
    g.width = settings.width < 24 || settings.width > screenWidth ? 24 : settings.width;
    g.rows = settings.count / settings.columns + (settings.count % settings.columns ? 1 : 0);
    *grid = g;
    return true;
}

TilePosition TileOf(const TileGrid& grid, int32_t index) {
    const int64_t rows = grid.rows > 0 ? grid.rows : 1;
    TilePosition at;
    at.x = Saturated(index / rows * grid.width + grid.left);
    at.y = Saturated(index % rows * grid.height + grid.top);
    return at;
}

bool IsMonitorTitle(const char* title) {
    if (!title) return false;
    for (const MonitorTitle& t : kMonitorTitles)
        if (ContainsIgnoringCase(title, t.shown)) return true;
    return false;
}

void FormatMonitorTitle(const MonitorTitle& title, int32_t number, char* out, size_t size) {
    if (!out || size == 0) return;
    snprintf(out, size, title.renamed, static_cast<int>(number));
}
