#include "setupdll/setup_results.h"

const char kResultOk[] = "OK";
const char kResultError[] = "ERROR";
const char kResultUserCancel[] = "USER_CANCEL";
// The setup scripts compare against this text as it has always been spelt.
const char kResultLanguageDllNotFound[] = "Langauage DLL not found";
// The first-link dialog answers with the IP/IPX dialog's text: the setup scripts know only this one.
const char kResultIpIpxDialogFailed[] = "ERROR_DLGBOX_NOT_CREATE(IPIPX-Number)";
const char kResultLanDialogFailed[] = "ERROR_DLGBOX_NOT_CREATE(LANCONTROLLER)";
