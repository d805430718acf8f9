#include "common/language.h"

#include "common/ascii_case.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/registry.h"

const char kSetupLanguageValue[] = "SOFTWARE\\VARNEK\\VrkSetup\\SetupLanguage";
const char kGermanModuleName[] = "LANGGER.DLL";
const char kEnglishModuleName[] = "LANGENG.DLL";

namespace {

HMODULE g_languageModule = nullptr;

constexpr DWORD kSetupLanguageSize = 256;
constexpr int kDecideBySystem = -1;

struct LanguageName {
    const char* text;
    int language;
};
const LanguageName kLanguageNames[] = {
    {"GER", kLanguageGerman},  {"GERMAN", kLanguageGerman}, {"ENG", kLanguageEnglish},
    {"ENGLISH", kLanguageEnglish}, {"DETECT", kDecideBySystem},
};

int ConfiguredLanguage() {
    char value[kSetupLanguageSize] = "";
    if (!ReadRegString(kSetupLanguageValue, value, sizeof value)) return kDecideBySystem;
    for (const LanguageName& name : kLanguageNames)
        if (EqualsIgnoringCase(value, name.text)) return name.language;
    return kLanguageUnknown;
}

}  // namespace

HMODULE LanguageModule() { return g_languageModule; }

bool IsGermanSystem() { return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_GERMAN; }

SetupLanguageName GetSetupLanguage() {
    const int language = ConfiguredLanguage();
    if (language != kDecideBySystem) return language;
    return IsGermanSystem() ? kLanguageGerman : kLanguageEnglish;
}

BOOL AttachLanguageModule(const char* directory) {
    DetachLanguageModule();
    const SetupLanguageName language = GetSetupLanguage();
    const bool german = language == kLanguageGerman || (language == kLanguageUnknown && IsGermanSystem());
    char path[kPathSize] = "";
    // Without a directory of the caller's, the search starts at the maker's directory: this
    // build has no fixed build directory of its own to try first.
    SearchFilePath(german ? kGermanModuleName : kEnglishModuleName, path, directory);
    if (!path[0]) return 0;
    g_languageModule = LoadLibraryA(path);
    return g_languageModule != nullptr;
}

void DetachLanguageModule() {
    if (g_languageModule) FreeLibrary(g_languageModule);
    g_languageModule = nullptr;
}

int LoadLanguageString(UINT id, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    if (!g_languageModule) return 0;
    const int length = LoadStringA(g_languageModule, id, buffer, size);
    if (length <= 0) buffer[0] = '\0';
    return length > 0 ? length : 0;
}
