#include "router/lan_config_lines.h"

#include <cstdio>
#include <cstring>

void FormatLanLine(bool routerOwned, const char* serviceName, const char* description, char* out, size_t size) {
    if (out && size) snprintf(out, size, "%s\t%s\t%s", routerOwned ? "-->" : "", serviceName, description);
}

bool AppendControllerName(char* list, size_t size, size_t* used, const char* name) {
    const size_t length = strlen(name) + 1;
    if (*used + length + 1 > size) return false;
    memcpy(list + *used, name, length);
    *used += length;
    list[*used] = '\0';
    return true;
}
