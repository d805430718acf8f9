// What the language tests share: the machine's language, SetupLanguage, and a log to read.
#pragma once

#include <windows.h>

#include <string>

#include "machine.h"

namespace lang_test {

#ifdef VRK_GERMAN_MACHINE
constexpr bool kGermanMachine = true;
#else
constexpr bool kGermanMachine = false;
#endif

constexpr char kSetupKey[] = "SOFTWARE\\VARNEK\\VrkSetup";

// SetupLanguage as text of the given type, or removed for a null value.
inline void SetSetupLanguage(const char* value, DWORD type = REG_SZ) {
    testing_machine::DeleteRegValueOf(HKEY_LOCAL_MACHINE, kSetupKey, "SetupLanguage");
    if (value) testing_machine::SetRegString(HKEY_LOCAL_MACHINE, kSetupKey, "SetupLanguage", value, type);
}

inline std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = "";
    if (module) GetModuleFileNameA(module, path, sizeof path);
    return path;
}

inline bool EndsWithNoCase(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && lstrcmpiA(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

}  // namespace lang_test
