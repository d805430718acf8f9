// The process-wide table of the LAN adapters that the NWLink IPX transport is or was bound to, and
// the moves of their bindings between the transport's enabled and disabled lists.
#pragma once

#include <windows.h>

#include <vector>

#include "maintenance/binding_list.h"
#include "maintenance/replaced_settings.h"

constexpr DWORD kLanAdapterTableSize = 16;

// The network cards, whose ServiceName and Description the table reads.
extern const char kNetworkCardsKey[];  // SOFTWARE\Microsoft\Windows NT\CurrentVersion\NetWorkCards

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
// Moves each adapter's binding to the list its flag names and writes all six lists; TRUE. Where
// NWLink IPX is not installed (no Bind list) nothing is written. An adapter whose binding it
// disables is recorded with the binding's place, one it enables again is forgotten.
BOOL SaveLanAdapterTable();
// The router's removal: each adapter the LAN configuration took gets its IPX binding back at its
// place in Bind, and the bindings of the router's own adapter go with it. Bindings the router did
// not disable stay as they are; nothing is written where NWLink IPX is not installed.
void GiveBackLanAdapters(const std::vector<TakenAdapter>& taken, const char* routerAdapter);
