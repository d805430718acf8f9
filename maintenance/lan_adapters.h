// The process-wide table of the LAN adapters that the NWLink IPX transport is or was bound to, and
// the moves of their bindings between the transport's enabled and disabled lists.
#pragma once

#include <windows.h>

#include "maintenance/binding_list.h"

constexpr DWORD kLanAdapterTableSize = 16;

struct LanAdapterEntry {
    char serviceName[kAdapterTextSize];  // device name without "\DEVICE\", in capitals
    char description[kAdapterTextSize];  // Description of its network card; empty when none was found
    LONG routerOwned;                    // nonzero: the transport's binding belongs in the disabled lists
};

// Rebuilds the table from the enabled and then the disabled bindings (these adapters start
// router-owned), with the descriptions of the network cards.
void LoadLanAdapterTable();
DWORD LanAdapterCount();
// The entry at index, or null when the index is not below the count. Callers change routerOwned.
LanAdapterEntry* LanAdapterAt(DWORD index);
// Moves each adapter's binding to the list its flag names and writes all six lists; TRUE.
BOOL SaveLanAdapterTable();
// Every adapter the router had taken over gets its IPX binding back.
void ReleaseAllLanAdapters();
