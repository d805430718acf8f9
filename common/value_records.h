// Records of settings that are not the package's (a LAN adapter's gateway, NWLink IPX's network
// number, the remote-access monitor's port), kept under a key of the package before the package
// changes them, so that its removal can put back what it found where nobody has changed it since.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Writes the value at path after recording it under recordKey: the first record of a value keeps
// what was there first (or that nothing was, and which keys the write made), every write what it
// wrote. TRUE when the value was written.
BOOL WriteRecordedValue(const char* recordKey, const char* path, DWORD type, const void* data, DWORD size);

class RecordedValues {
public:
    // Reads the records under recordKey, before the key goes.
    void Load(const char* recordKey);
    // Puts back each value that is still what the package last wrote: the value it found, or none
    // (with the keys the package's write made, when they are empty).
    void GiveBack() const;
    size_t size() const { return values_.size(); }

private:
    struct Value {
        std::string path;
        bool existed = false;
        DWORD oldType = REG_NONE;
        std::string oldData;
        DWORD newType = REG_NONE;
        std::string newData;
        DWORD keysCreated = 0;
    };
    void GiveBackValue(const Value& value) const;
    std::vector<Value> values_;
};
