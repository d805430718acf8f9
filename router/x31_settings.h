// The X.31 settings of the router's X.31 driver service: TEI<n> records under its Parameters key,
// the active line TEIs, and the dialog that edits one record.
#pragma once

#include <windows.h>

#include "common/dialog_controls.h"
#include "router/controller_entry.h"

extern const char kX31ParametersKey[];  // SYSTEM\CurrentControlSet\Services\VrkMprX31\Parameters

// Attaches the settings of the usable TEI<n> subkey that is switched on, or else of the first usable
// one, to its entry among the count entries of the controller table.
void LoadX31Settings(ControllerEntry* entries, int count);
// Writes the record of the first entry that holds one, releases it, and switches the other TEIs off.
void SaveX31Settings(ControllerEntry* entries, int count);

// Runs the "X31-Configuration" dialog on the record, which changes only on OK; kDialogOk,
// kDialogCancel, or -1 (already reported) when the dialog could not be shown.
INT_PTR RunX31Dialog(HWND parent, X31Settings* record);
// The same for callers that need no outcome; returns 1 in every case.
int EditX31Settings(HWND parent, X31Settings* record);
