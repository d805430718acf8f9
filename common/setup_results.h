// Result texts of the setup procedures: constants owned by the DLL, valid while it is loaded.
#pragma once

extern const char kResultOk[];
extern const char kResultError[];
extern const char kResultUserCancel[];
extern const char kResultLanguageDllNotFound[];
extern const char kResultNotAnyController[];
extern const char kResultWanDialogError[];
extern const char kResultIniFileNotFound[];
extern const char kResultExpandEnvStrings[];
extern const char kResultIpIpxDialogFailed[];
extern const char kResultLanDialogFailed[];
