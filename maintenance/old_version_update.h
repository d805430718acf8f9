// Update of older installations: the router settings of the old maker key moved to the current
// one, the file lists of older releases, and the router's old event-log sources.
#pragma once

#include <windows.h>

#include "common/product.h"
#include "common/setup_procedure.h"

extern const char kOldRouterKey[];  // SOFTWARE\VARNEK GmbH\VrkMpr
extern const char kNewRouterKey[];  // SOFTWARE\VARNEK\VrkMpr

// Copies the old router tree into the new one and removes the old tree, and with it the old maker
// key when no DialCore settings are left there. A copy that is not complete (a value that could not
// be copied) leaves the old tree where it is.
void MoveOldRouterKeys();
// The router's event-log sources and their names in both Sources lists; only for the router
// family (ProductId 1, 2 and 4).
void RemoveRouterEventSources(ProductId productId);

// True when every value below source (the unnamed ones included) is under target, at the same
// place, with the same type and data. Keys without values anywhere below them need no counterpart.
bool TreeHeldBy(HKEY sourceRoot, const char* source, HKEY targetRoot, const char* target);

// Workers of the setup procedures.
BOOL UpdateOldRouterWorker(const SetupArguments& arguments, const char** result);
BOOL UpdateOldRemoteAccessWorker(const SetupArguments& arguments, const char** result);
