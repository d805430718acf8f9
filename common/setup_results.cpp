#include "common/setup_results.h"

const char kResultOk[] = "OK";
const char kResultError[] = "ERROR";
const char kResultUserCancel[] = "USER_CANCEL";
// The setup scripts compare against this text as it has always been spelt.
const char kResultLanguageDllNotFound[] = "Langauage DLL not found";
const char kResultNotAnyController[] = "NOT_ANY_CONTROLLER";
// An INF list literal of two items that the setup script takes apart.
const char kResultWanDialogError[] = "{\"ERROR\",\"ERROR_DLGBOX_NOT_CREATE(WAN-CONFIGURE)\"}";
const char kResultIniFileNotFound[] = "ERROR_INIFILE_NOTFOUND(WriteMprPerformanceFile)";
const char kResultExpandEnvStrings[] = "ERROR_DURING_EXPAND_ENV_STRINGS(WriteMprPerformanceFile)";
// The first-link dialog answers with the IP/IPX dialog's text: the setup scripts know only this one.
const char kResultIpIpxDialogFailed[] = "ERROR_DLGBOX_NOT_CREATE(IPIPX-Number)";
const char kResultLanDialogFailed[] = "ERROR_DLGBOX_NOT_CREATE(LANCONTROLLER)";
