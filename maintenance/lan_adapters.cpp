#include "maintenance/lan_adapters.h"

#include <cstdio>
#include <cstring>

#include "common/multistring.h"
#include "common/paths.h"
#include "common/registry.h"

namespace {

const char kLinkage[] = "SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage";
const char kNetworkCards[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetWorkCards";
const char kIpxExport[] = "\\Device\\NWlnkIPX";
// A description longer than an entry holds is shown cut; one beyond this is not read at all.
constexpr DWORD kDescriptionReadSize = 1024;

// The six lists in the order they are written.
enum ListIndex { kBind, kExport, kRoute, kDisabledBind, kDisabledExport, kDisabledRoute, kListCount };
const char* const kListNames[kListCount] = {"Bind",          "export",           "route",
                                            "Disabled\\Bind", "Disabled\\export", "Disabled\\route"};

struct LanAdapterTable {
    LanAdapterEntry entries[kLanAdapterTableSize];
    DWORD count;
};
LanAdapterTable g_table;

bool ListPath(ListIndex list, char* out) {
    const int n = snprintf(out, kPathSize, "%s\\%s", kLinkage, kListNames[list]);
    return n > 0 && static_cast<DWORD>(n) < kPathSize;
}

bool Listed(const char* name) {
    for (DWORD i = 0; i < g_table.count; ++i)
        if (lstrcmpiA(g_table.entries[i].serviceName, name) == 0) return true;
    return false;
}

void CollectBindings(ListIndex list, LONG flag) {
    char path[kPathSize];
    if (!ListPath(list, path)) return;
    RegistryStringList bindings(path);
    for (const char* binding; (binding = bindings.next()) != nullptr;) {
        char name[kAdapterTextSize];
        if (!AdapterNameOfBinding(binding, name, sizeof name) || Listed(name)) continue;
        if (g_table.count >= kLanAdapterTableSize) return;
        LanAdapterEntry& entry = g_table.entries[g_table.count++];
        lstrcpynA(entry.serviceName, name, sizeof entry.serviceName);
        entry.description[0] = '\0';
        entry.routerOwned = flag;
    }
}

void ReadDescriptions() {
    RegistrySubkeyList cards(kNetworkCards);
    char path[kPathSize];
    DWORD matches = 0;
    for (const char* card; matches < g_table.count && (card = cards.nextPath()) != nullptr;) {
        char serviceName[kAdapterTextSize];
        if (!JoinRegistryPath(card, "ServiceName", path) || !ReadRegString(path, serviceName, sizeof serviceName))
            continue;
        for (DWORD i = 0; i < g_table.count; ++i) {
            LanAdapterEntry& entry = g_table.entries[i];
            if (lstrcmpiA(entry.serviceName, serviceName) != 0) continue;
            char description[kDescriptionReadSize] = "";
            if (JoinRegistryPath(card, "Description", path)) ReadRegString(path, description, sizeof description);
            lstrcpynA(entry.description, description, sizeof entry.description);
            ++matches;
        }
    }
}

// The whole list, however long: a list that does not fit a fixed buffer must not come back empty.
void ReadList(ListIndex index, BindingList* list) {
    list->Clear();
    char path[kPathSize];
    DWORD type = REG_NONE, size = 0;
    if (!ListPath(index, path) || !QueryRegValue(path, &type, &size) || type != REG_MULTI_SZ) return;
    char* block = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 2));
    if (!block) return;
    const DWORD read = ReadRegMultiString(path, block, size + 2);
    list->Assign(block, read);
    HeapFree(GetProcessHeap(), 0, block);
}

void RebuildExports(const BindingList& bind, BindingList* exports) {
    exports->Clear();
    for (size_t i = bind.Count(); i > 0; --i) exports->Append(kIpxExport);
}

// Entry k of each of the three lists of one side to the same place of the other's.
void MoveBinding(long k, BindingList* from, BindingList* to) {
    if (k < 0) return;
    for (int i = 0; i < 3; ++i) from[i].MoveEntry(static_cast<size_t>(k), &to[i]);
}

}  // namespace

void LoadLanAdapterTable() {
    g_table.count = 0;
    CollectBindings(kBind, 0);
    CollectBindings(kDisabledBind, 1);
    if (g_table.count == 0) return;
    ReadDescriptions();
}

DWORD LanAdapterCount() { return g_table.count; }

LanAdapterEntry* LanAdapterAt(DWORD index) { return index < g_table.count ? &g_table.entries[index] : nullptr; }

BOOL SaveLanAdapterTable() {
    BindingList lists[kListCount];
    for (int i = 0; i < kListCount; ++i) ReadList(static_cast<ListIndex>(i), &lists[i]);
    RebuildExports(lists[kBind], &lists[kExport]);
    RebuildExports(lists[kDisabledBind], &lists[kDisabledExport]);

    BindingList* enabled = &lists[kBind];
    BindingList* disabled = &lists[kDisabledBind];
    for (DWORD i = 0; i < g_table.count; ++i) {
        const LanAdapterEntry& entry = g_table.entries[i];
        if (entry.routerOwned)
            MoveBinding(FindAdapterBinding(*enabled, entry.serviceName), enabled, disabled);
        else
            MoveBinding(FindAdapterBinding(*disabled, entry.serviceName), disabled, enabled);
    }
    // The router's own binding is never left disabled.
    MoveBinding(FindBindingContaining(*disabled, "VrkMpr"), disabled, enabled);

    char path[kPathSize];
    for (int i = 0; i < kListCount; ++i)
        if (ListPath(static_cast<ListIndex>(i), path))
            WriteRegMultiString(path, lists[i].Data(), kRegClose, static_cast<DWORD>(lists[i].Size()));
    return TRUE;
}

void ReleaseAllLanAdapters() {
    LoadLanAdapterTable();
    for (DWORD i = 0; i < g_table.count; ++i) g_table.entries[i].routerOwned = 0;
    SaveLanAdapterTable();
}
