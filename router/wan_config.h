// The WAN configuration: which ISDN controllers a product uses, and the controller strings and
// TAPI addresses its driver reads; the workers of VrkMprWanConfig and VrkRasWanConfig.
#pragma once

#include <windows.h>

#include "common/product.h"
#include "common/setup_procedure.h"

extern const char kMprControllersValue[];    // SYSTEM\...\VrkMprWan\Parameters\Controllers
extern const char kRasControllersValue[];    // SYSTEM\...\VrkRas\Parameters\Controllers
extern const char kRasAdapterNumberValue[];  // SYSTEM\...\VrkRas\Parameters\AdapterNumber
extern const char kModemValue[];             // SYSTEM\...\VrkMprWan\Parameters\Modem
extern const char kTapiDeviceKey[];          // HARDWARE\DEVICEMAP\TAPI DEVICES\VrkRas (volatile)

// Loads the controller table, shows the WAN dialog and, on OK, saves the table and writes the
// controller strings. *result: "OK", "NOT_ANY_CONTROLLER", "USER_CANCEL" (all TRUE), or the
// dialog-creation error list (FALSE). A parent that is no window is replaced by none.
BOOL ConfigureWan(HWND parent, ProductId product, const char** result);
// The controller strings of the table's entries in use into the product's driver service, and for
// the remote-access line its TAPI addresses.
void WriteControllerStrings(ProductId product);

// The WAN dialog (template 122) on the loaded table; its result: 1 OK, 0 Cancel, -1 not shown.
INT_PTR RunWanDialog(HWND parent, ProductId product);

BOOL MprWanConfigWorker(const SetupArguments& arguments, const char** result);
BOOL RasWanConfigWorker(const SetupArguments& arguments, const char** result);
