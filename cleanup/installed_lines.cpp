#include "cleanup/installed_lines.h"

#include "common/multistring.h"
#include "common/product.h"
#include "maintenance/cleanup_engine.h"

namespace {

const char* const kDetectionKeys[] = {kServicesKey, "SOFTWARE\\VARNEK", "SOFTWARE\\VARNEK GmbH"};

struct LineCleanUp {
    ProductBits bits;
    void (*cleanUp)(HWND window, BOOL deleteFiles, BOOL commonStep);
};
const LineCleanUp kLineCleanUps[] = {
    {kRouterBits, CleanUpRouter},
    {kRemoteAccessLine, CleanUpRemoteAccess},
    {kGatewayLine, CleanUpGateway},
};

}  // namespace

ProductBits DetectInstalledProducts() {
    ProductBits found = 0;
    for (const char* key : kDetectionKeys) {
        RegistrySubkeyList names(key);
        while (const char* name = names.next()) found |= LineOfKeyName(name);
    }
    return found;
}

void CleanUpSelected(HWND window, ProductBits bits, BOOL deleteFiles) {
    const LineCleanUp* last = nullptr;
    for (const LineCleanUp& line : kLineCleanUps)
        if (bits & line.bits) last = &line;
    for (const LineCleanUp& line : kLineCleanUps)
        if (bits & line.bits) line.cleanUp(window, deleteFiles, &line == last);
}
