// What the router's configuration changes of settings that are the system's, not the package's:
// recorded under the router's key before the change, so that the router's removal can put back
// what it found (and only where nobody has changed it since).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/value_records.h"

// Writes a value of the system (a LAN adapter's gateway, NWLink IPX's network number) after
// recording it under the router's key (WriteRecordedValue).
BOOL WriteReplacedValue(const char* path, DWORD type, const void* data, DWORD size);

// An adapter whose IPX binding the LAN configuration took, and the binding's place in Bind then;
// forgotten when the configuration gives it back itself.
void RecordAdapterTaken(const char* adapter, DWORD index);
void ForgetAdapterTaken(const char* adapter);
// A service the router stopped while it ran.
void RecordServiceStopped(const char* service);

struct TakenAdapter {
    std::string name;
    DWORD index;
};

class ReplacedSettings {
public:
    // Reads every record: the router's keys that hold them go during its removal.
    void Load();
    // Puts back each recorded value that is still as the router left it, and starts again each
    // recorded service that is stopped.
    void GiveBack() const;
    // The adapters taken, in the order of their places.
    const std::vector<TakenAdapter>& adapters() const { return adapters_; }

private:
    RecordedValues values_;
    std::vector<TakenAdapter> adapters_;
    std::vector<std::string> services_;
};
