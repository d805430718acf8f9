// The log opened where the tool set's settings in the registry say; the log itself reads no
// registry, so that the registry helpers can write to it.
#include "common/registry.h"
#include "common/setup_log.h"

BOOL OpenSetupLog(const char* key, const char* nameValue, const char* levelValue) {
    char path[kPathSize], name[kPathSize];
    if (!JoinRegistryPath(key, nameValue, path) || !ReadRegString(path, name, sizeof name)) return FALSE;
    if (!OpenSetupLogFile(name)) return FALSE;
    DWORD level = 0;
    if (JoinRegistryPath(key, levelValue, path) && ReadRegDword(path, &level)) LogLevel = level;
    return TRUE;
}
