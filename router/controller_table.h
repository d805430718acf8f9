// The process-wide table of ISDN controllers: loaded from the CAPI registry for one product and
// saved back with that product's value names.
#pragma once

#include <windows.h>

#include "common/product.h"
#include "router/controller_entry.h"

constexpr int kControllerTableSize = 32;
// CAPI numbers controllers in 7 bits: no card has a controller above 127, whatever its
// NumberOfControllers says.
constexpr DWORD kHighestControllerIndex = 127;

extern const char kCapiKey[];  // SOFTWARE\CAPI20

// Empties the table (releasing its X.31 records) and fills it from SOFTWARE\CAPI20; the X.31
// settings too for every product but the remote-access line.
void LoadControllerTable(ProductId product);
// TRUE when every counted registry write succeeded.
BOOL SaveControllerTable(ProductId product);
int ControllerCount();
// The entry at a 0-based index, or null when the index is not below the count.
ControllerEntry* ControllerAt(int index);
