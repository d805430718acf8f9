// The router's first link to an Internet provider: dialog 143, its records and the setup worker.
#pragma once

#include <windows.h>

#include "common/setup_procedure.h"

// Shows dialog 143; on OK writes the ISDN entry, the link entry and the default route. "OK" and
// "USER_CANCEL" succeed; a dialog that cannot be created fails with the IP/IPX dialog's text.
BOOL ConfigureFirstLink(const SetupArguments& arguments, const char** result);

// The next free entry number of an entry key (its value names) as decimal text into out; false
// when no number is free.
bool NextEntryNumber(const char* key, char* out, DWORD size);
