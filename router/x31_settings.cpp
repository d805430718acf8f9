#include "router/x31_settings.h"

#include <cstdio>
#include <new>

#include "common/ascii_case.h"
#include "common/multistring.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "router/wan_format.h"

const char kX31ParametersKey[] = "SYSTEM\\CurrentControlSet\\Services\\VrkMprX31\\Parameters";

namespace {

// The numeric values of a record as the X.31 driver service reads them.
struct DwordValue {
    const char* name;
    uint32_t X31Settings::*field;
};

// In the order they are written.
const DwordValue kChannelValues[] = {
    {"Ch_HTC", &X31Settings::highestTwoWay},   {"Ch_HIC", &X31Settings::highestIncoming},
    {"Ch_HOC", &X31Settings::highestOutgoing}, {"Ch_LTC", &X31Settings::lowestTwoWay},
    {"Ch_LIC", &X31Settings::lowestIncoming},  {"Ch_LOC", &X31Settings::lowestOutgoing},
};
const DwordValue kSizeValues[] = {
    {"PacketSizeNeg", &X31Settings::packetSizeNeg},
    {"PacketSize", &X31Settings::packetSize},
    {"PacketSizeMax", &X31Settings::packetSizeMax},
    {"WinSizeNeg", &X31Settings::winSizeNeg},
    {"WinSize", &X31Settings::winSize},
    {"WinSizeMax", &X31Settings::winSizeMax},
};

// The controller a record belongs to, beside its DeviceName: a card of several controllers has
// one device name for all of them.
const char kCardValue[] = "Card";
const char kControllerValue[] = "Controller";

bool SubkeyValuePath(char* out, const char* subkey, const char* name) {
    char key[kPathSize];
    return JoinRegistryPath(kX31ParametersKey, subkey, key) && JoinRegistryPath(key, name, out);
}

bool ReadSubkeyDword(const char* subkey, const char* name, DWORD* value) {
    char path[kPathSize];
    return SubkeyValuePath(path, subkey, name) && ReadRegDword(path, value);
}

void WriteSubkeyDword(const char* subkey, const char* name, DWORD value) {
    char path[kPathSize];
    if (SubkeyValuePath(path, subkey, name)) WriteRegDword(path, value, kRegClose);
}

void WriteSubkeyString(const char* subkey, const char* name, const char* text) {
    char path[kPathSize];
    if (SubkeyValuePath(path, subkey, name)) WriteRegString(path, text, kRegClose);
}

// The controller the record names; when its card came back under another number (a reinstalled
// card driver renumbers the CAPI keys), the first controller of its device, as a record that names
// no controller is matched.
ControllerEntry* EntryOf(ControllerEntry* entries, int count, const char* deviceName, bool named, DWORD card,
                         DWORD controller) {
    ControllerEntry* firstOfDevice = nullptr;
    for (int i = 0; i < count; ++i) {
        ControllerEntry* entry = &entries[i];
        if (!EqualsIgnoringCase(entry->deviceName, deviceName)) continue;
        if (!named || (entry->card == card && entry->controller == controller)) return entry;
        if (!firstOfDevice) firstOfDevice = entry;
    }
    return firstOfDevice;
}

bool SwitchedOn(const char* subkey) {
    DWORD enabled = 0;
    return ReadSubkeyDword(subkey, "VrkMprEnabled", &enabled) && enabled != 0;
}

// Tries one subkey; true when its settings were attached to an entry.
bool TakeSubkey(ControllerEntry* entries, int count, const char* subkey) {
    const uint32_t tei = TeiOfSubkeyName(subkey);
    if (tei == 0) {
        if (LogLevel >= kLogTrace)
            WriteSetupLog(kLogSourceSetup, kLogTrace, "X31: %s is no TEI1 to TEI63, skipped", subkey);
        return false;
    }
    char path[kPathSize];
    char deviceName[256];
    if (!SubkeyValuePath(path, subkey, "DeviceName") || !ReadRegString(path, deviceName, sizeof deviceName))
        return false;
    DWORD highestTwoWay = 0;
    if (!ReadSubkeyDword(subkey, "Ch_HTC", &highestTwoWay) || highestTwoWay == 0) return false;
    DWORD card = 0, controller = 0;
    const bool named =
        ReadSubkeyDword(subkey, kCardValue, &card) && ReadSubkeyDword(subkey, kControllerValue, &controller);
    ControllerEntry* entry = EntryOf(entries, count, deviceName, named, card, controller);
    if (!entry || entry->enabled == 0) {
        WriteSubkeyDword(subkey, "Ch_HTC", 0);
        return false;
    }
    X31Settings* record = new (std::nothrow) X31Settings;
    if (!record) return false;
    record->tei = tei;
    for (const DwordValue& v : kChannelValues) {
        DWORD value = 0;
        if (ReadSubkeyDword(subkey, v.name, &value)) record->*v.field = value;
    }
    if (SubkeyValuePath(path, subkey, "X25Address")) ReadRegString(path, record->x25Address, sizeof record->x25Address);
    for (const DwordValue& v : kSizeValues) {
        DWORD value = 0;
        if (ReadSubkeyDword(subkey, v.name, &value)) record->*v.field = value;
    }
    DWORD enabled = 0;
    if (ReadSubkeyDword(subkey, "VrkMprEnabled", &enabled)) record->enabled = enabled;
    if (record->packetSize > record->packetSizeMax) record->packetSize = record->packetSizeMax;
    if (record->winSize > record->winSizeMax) record->winSize = record->winSizeMax;
    entry->x31 = record;
    return true;
}

}  // namespace

void LoadX31Settings(ControllerEntry* entries, int count) {
    // A save switches the TEIs it did not write off only through VrkMprEnabled, so a TEI that was
    // given up keeps its channels; and subkeys come sorted as texts (TEI12 before TEI2). The record
    // that is switched on comes first, the first usable one only when none is.
    RegistrySubkeyList subkeys(kX31ParametersKey);
    for (const bool on : {true, false}) {
        subkeys.rewind();
        for (const char* name; (name = subkeys.next()) != nullptr;)
            if (SwitchedOn(name) == on && TakeSubkey(entries, count, name)) return;
    }
}

void SaveX31Settings(ControllerEntry* entries, int count) {
    ControllerEntry* holder = nullptr;
    for (int i = 0; i < count && !holder; ++i)
        if (entries[i].x31) holder = &entries[i];
    uint32_t savedTei = 0;
    char subkey[16];
    if (holder) {
        X31Settings* record = holder->x31;
        savedTei = record->tei;
        snprintf(subkey, sizeof subkey, "TEI%lu", static_cast<unsigned long>(savedTei));
        WriteSubkeyString(subkey, "DeviceName", holder->deviceName);
        WriteSubkeyString(subkey, "X25Address", record->x25Address);
        for (const DwordValue& v : kChannelValues) WriteSubkeyDword(subkey, v.name, record->*v.field);
        for (const DwordValue& v : kSizeValues) WriteSubkeyDword(subkey, v.name, record->*v.field);
        WriteSubkeyDword(subkey, "RevChargeAcc", 0);
        WriteSubkeyDword(subkey, "RevChargeReq", 1);
        WriteSubkeyDword(subkey, "VrkMprEnabled", record->enabled);
        WriteSubkeyDword(subkey, kCardValue, holder->card);
        WriteSubkeyDword(subkey, kControllerValue, holder->controller);

        MultiStringBlock active;
        if (holder->enabled != 0 && record->enabled != 0 && holder->capiPlus == 0)
            active.add(ActiveLineString(*holder, *record));
        const std::string bytes = active.bytes();
        char path[kPathSize];
        if (JoinRegistryPath(kX31ParametersKey, "TEIs", path))
            WriteRegMultiString(path, bytes.data(), kRegClose, static_cast<DWORD>(bytes.size()));
        delete record;
        holder->x31 = nullptr;
    }
    for (uint32_t n = kFirstTei; n <= kLastTei; ++n) {
        if (n == savedTei) continue;
        snprintf(subkey, sizeof subkey, "TEI%lu", static_cast<unsigned long>(n));
        char path[kPathSize];
        DWORD type = REG_NONE;
        if (SubkeyValuePath(path, subkey, "VrkMprEnabled") && QueryRegValue(path, &type, nullptr) && type == REG_DWORD)
            WriteRegDword(path, 0, kRegClose);
    }
}
