// The clean-up engine: removes an installed product line (router, remote access, gateway) from the
// registry and the disk, and what the lines share once the last of them is gone.
#pragma once

#include <windows.h>

#include "common/product.h"

// The line clean-ups, each inside the information window owned by window. deleteFiles runs the
// line's own delete list of DELFILES.DAT (and removes the files the remote-access line was told to
// write under names of their own); without it the log says which lists were not run. commonStep runs CleanUpCommon at the end; a caller that
// removes several lines at once leaves it to the last of them, so that the shared lists (which
// remove DELFILES.DAT itself) do not run before the other lines' own lists.
void CleanUpRouter(HWND window, BOOL deleteFiles, BOOL commonStep = TRUE);
void CleanUpRemoteAccess(HWND window, BOOL deleteFiles, BOOL commonStep = TRUE);
void CleanUpGateway(HWND window, BOOL deleteFiles, BOOL commonStep = TRUE);

// What the lines share, removed only when no line is installed any more: both maker keys, the
// shared delete lists, the log service and the router's trace driver with its load-order group.
// Without deleteFiles the list of traces and logs ("DELETE Trace Files") is not run; the programs go.
void CleanUpCommon(BOOL deleteFiles = TRUE);
// TRUE when the service key of the router, the remote-access driver or the gateway exists.
BOOL AnyProductInstalled();

// "DELETE " followed by the product key.
void ProcessProductDeleteSection(ProductId productId);

// The steps; each skips silently what it cannot read or delete.
// Deletes the ExtensionAgents values that name the router's agent under either maker key.
void RemoveSnmpAgentEntries();
// Deletes the service keys whose names equal one of names, ignoring case.
void DeleteServiceKeys(int count, const char* const* names);
// Deletes every subkey of key whose name begins with prefix, ignoring case.
void DeleteSubkeysByPrefix(const char* key, const char* prefix);
// DeleteSubkeysByPrefix below both maker keys.
void DeleteProductKeys(const char* prefix);
// Deletes the network cards whose ProductName begins with prefix, ignoring case.
void DeleteNetworkCardEntries(const char* prefix);
// Deletes the product's per-controller values two levels below the CAPI registry.
void DeleteCapiValues(const char* productKey);
// Deletes the product's OEM INF files in the system directory, read-only ones included; stops
// (logged) at a file that cannot be deleted, which would otherwise be found again for ever.
void DeleteProductInfFiles(ProductId productId);

