#include "setupdll/setup_results.h"

const char kResultOk[] = "OK";
// The setup scripts compare against this text as it has always been spelt.
const char kResultLanguageDllNotFound[] = "Langauage DLL not found";
