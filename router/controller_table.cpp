#include "router/controller_table.h"

#include <cstdio>
#include <cstdlib>

#include "common/multistring.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "router/capi_device.h"
#include "router/x31_settings.h"

const char kCapiKey[] = "SOFTWARE\\CAPI20";

namespace {

ControllerEntry g_table[kControllerTableSize];
int g_count = 0;

// SOFTWARE\CAPI20\<card>\<controller> into out (kPathSize bytes); false when it does not fit.
bool ControllerKey(char* out, uint32_t card, uint32_t controller) {
    char cardName[16], controllerName[16], cardKey[kPathSize];
    snprintf(cardName, sizeof cardName, "%d", static_cast<int>(card));
    snprintf(controllerName, sizeof controllerName, "%d", static_cast<int>(controller));
    return JoinRegistryPath(kCapiKey, cardName, cardKey) && JoinRegistryPath(cardKey, controllerName, out);
}

// The controller key's value of the product: SOFTWARE\CAPI20\<card>\<controller>\<P><name>.
bool ProductValuePath(char* out, const ControllerEntry& entry, const char* productKey, const char* name) {
    char key[kPathSize], value[kPathSize];
    const int n = snprintf(value, sizeof value, "%s%s", productKey, name);
    return n > 0 && static_cast<size_t>(n) < sizeof value && ControllerKey(key, entry.card, entry.controller) &&
           JoinRegistryPath(key, value, out);
}

void ReadString(const ControllerEntry& entry, const char* productKey, const char* name, char* field, DWORD size) {
    char path[kPathSize];
    if (ProductValuePath(path, entry, productKey, name)) ReadRegString(path, field, size);
}

void ReadDword(const ControllerEntry& entry, const char* productKey, const char* name, uint32_t* field) {
    char path[kPathSize];
    DWORD value = 0;
    if (ProductValuePath(path, entry, productKey, name) && ReadRegDword(path, &value)) *field = value;
}

bool DriverSpeaksCapiPlus(const char* deviceName) {
    const char* argv[] = {deviceName};
    const char* result = kCapiFalse;
    IsCapiPlus(1, argv, &result);
    return result == kCapiTrue;
}

void ReleaseX31Records() {
    for (ControllerEntry& entry : g_table) {
        delete entry.x31;
        entry.x31 = nullptr;
    }
}

// The controllers of one card, read into the working entry one after the other.
void LoadCard(const char* cardName, ProductId product) {
    const uint32_t card = static_cast<uint32_t>(strtol(cardName, nullptr, 10));
    if (card == 0) return;
    ControllerEntry working;
    working.card = card;
    char path[kPathSize];
    char cardKey[kPathSize];
    DWORD controllers = 0;
    if (!JoinRegistryPath(kCapiKey, cardName, cardKey)) return;
    if (!JoinRegistryPath(cardKey, "DeviceName", path) ||
        !ReadRegString(path, working.deviceName, sizeof working.deviceName))
        return;
    if (!JoinRegistryPath(cardKey, "NumberOfControllers", path) || !ReadRegDword(path, &controllers)) return;
    working.numberOfControllers = controllers;
    if (JoinRegistryPath(cardKey, "Manufacturer", path))
        ReadRegString(path, working.manufacturer, sizeof working.manufacturer);

    DWORD last = controllers;
    if (last > kHighestControllerIndex) {
        if (LogLevel >= kLogFailure)
            WriteSetupLog(kLogSourceSetup, kLogFailure,
                          "CAPI card %s claims %lu controllers; only controllers 1 to %lu are read", cardName,
                          controllers, kHighestControllerIndex);
        last = kHighestControllerIndex;
    }
    const char* productKey = GetProductKeyName(product);
    for (DWORD c = 1; c <= last; ++c) {
        working.controller = c;
        DWORD channels = 0;
        char controllerKey[kPathSize];
        if (!ControllerKey(controllerKey, card, c) || !JoinRegistryPath(controllerKey, "Channels", path) ||
            !ReadRegDword(path, &channels))
            continue;
        if (g_count == kControllerTableSize) {
            if (LogLevel >= kLogFailure)
                WriteSetupLog(
                    kLogSourceSetup, kLogFailure,
                    "Controller table full (%d entries): card %s controller %lu and all after it are not loaded",
                    kControllerTableSize, cardName, c);
            return;
        }
        working.channels = channels;
        ReadString(working, productKey, "Interface", working.interfaceName, sizeof working.interfaceName);
        ReadString(working, productKey, "Protocol", working.protocol, sizeof working.protocol);
        // The leased-line flag belongs to one controller: a controller without the value is none.
        working.capiPlus = 0;
        ReadDword(working, productKey, "CapiPlus", &working.capiPlus);
        working.driverCapiPlus = DriverSpeaksCapiPlus(working.deviceName) ? 1 : 0;
        if (!working.driverCapiPlus) working.capiPlus = 0;
        working.enabled = channels;
        ReadDword(working, productKey, "Enabled", &working.enabled);
        ReadString(working, productKey, "Nickname", working.nickname, sizeof working.nickname);
        ReadString(working, productKey, "Phone", working.phone, sizeof working.phone);
        g_table[g_count++] = working;
    }
}

// Switches the controller's driver into leased-line operation; the outcome is only logged.
void SwitchToLeasedLine(const ControllerEntry& entry) {
    char controller[16];
    snprintf(controller, sizeof controller, "%d", static_cast<int>(entry.controller));
    const char* query[] = {entry.deviceName, controller};
    const char* result = kCapiFalse;
    DWORD protocol = 1;
    GetParams(2, query, &result, &protocol);
    char protocolText[16];
    snprintf(protocolText, sizeof protocolText, "%lu", protocol);
    const char* set[] = {entry.deviceName, controller, "15", protocolText};
    SetParams(4, set, &result);
}

}  // namespace

void LoadControllerTable(ProductId product) {
    ReleaseX31Records();
    g_count = 0;
    RegistrySubkeyList cards(kCapiKey);
    for (const char* name; g_count < kControllerTableSize && (name = cards.next()) != nullptr;) LoadCard(name, product);
    if (product != kProductRemoteAccess) LoadX31Settings(g_table, g_count);
}

BOOL SaveControllerTable(ProductId product) {
    const char* productKey = GetProductKeyName(product);
    BOOL ok = TRUE;
    char path[kPathSize];
    for (int i = 0; i < g_count; ++i) {
        const ControllerEntry& entry = g_table[i];
        if (!ProductValuePath(path, entry, productKey, "Enabled") || !WriteRegDword(path, entry.enabled, kRegClose))
            ok = FALSE;
        // The leased-line flag is not counted: the save's result tells of the values every product has.
        if (product != kProductRemoteAccess && ProductValuePath(path, entry, productKey, "CapiPlus"))
            (void)WriteRegDword(path, entry.capiPlus, kRegClose);
        if (entry.capiPlus) SwitchToLeasedLine(entry);
        const struct {
            const char* name;
            const char* text;
        } strings[] = {{"Nickname", entry.nickname},
                       {"Phone", entry.phone},
                       {"Interface", entry.interfaceName},
                       {"Protocol", entry.protocol}};
        for (const auto& s : strings)
            if (!ProductValuePath(path, entry, productKey, s.name) || !WriteRegString(path, s.text, kRegClose))
                ok = FALSE;
    }
    if (product != kProductRemoteAccess) SaveX31Settings(g_table, g_count);
    return ok;
}

int ControllerCount() { return g_count; }

ControllerEntry* ControllerAt(int index) { return index >= 0 && index < g_count ? &g_table[index] : nullptr; }
