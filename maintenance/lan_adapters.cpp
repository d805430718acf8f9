#include "maintenance/lan_adapters.h"

#include <cstring>

#include "common/ascii_case.h"
#include "common/multistring.h"
#include "common/paths.h"
#include "common/registry.h"

const char kNetworkCardsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetWorkCards";

namespace {

const char kLinkage[] = "SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage";
const char kDisabledLinkage[] = "SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage\\Disabled";
const char kIpxExport[] = "\\Device\\NWlnkIPX";
// A description longer than an entry holds is shown cut; one beyond this is not read at all.
constexpr DWORD kDescriptionReadSize = 1024;

// The six lists in the order they are written.
enum ListIndex { kBind, kExport, kRoute, kDisabledBind, kDisabledExport, kDisabledRoute, kListCount };
struct ListValue {
    const char* key;
    const char* name;
};
const ListValue kLists[kListCount] = {{kLinkage, "Bind"},         {kLinkage, "export"},
                                      {kLinkage, "route"},        {kDisabledLinkage, "Bind"},
                                      {kDisabledLinkage, "export"}, {kDisabledLinkage, "route"}};

struct LanAdapterTable {
    LanAdapterEntry entries[kLanAdapterTableSize];
    DWORD count;
};
LanAdapterTable g_table;

bool ListPath(ListIndex list, char* out) { return JoinRegistryPath(kLists[list].key, kLists[list].name, out) != FALSE; }

bool Listed(const char* name) {
    for (DWORD i = 0; i < g_table.count; ++i)
        if (EqualsIgnoringCase(g_table.entries[i].serviceName, name)) return true;
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
    RegistrySubkeyList cards(kNetworkCardsKey);
    char path[kPathSize];
    DWORD matches = 0;
    for (const char* card; matches < g_table.count && (card = cards.nextPath()) != nullptr;) {
        char serviceName[kAdapterTextSize];
        if (!JoinRegistryPath(card, "ServiceName", path) || !ReadRegString(path, serviceName, sizeof serviceName))
            continue;
        for (DWORD i = 0; i < g_table.count; ++i) {
            LanAdapterEntry& entry = g_table.entries[i];
            if (!EqualsIgnoringCase(entry.serviceName, serviceName)) continue;
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

bool IpxInstalled() {
    char path[kPathSize];
    DWORD type = REG_NONE;
    return ListPath(kBind, path) && QueryRegValue(path, &type, nullptr) && type == REG_MULTI_SZ;
}

void WriteLists(const BindingList* lists, int first, int count) {
    char path[kPathSize];
    for (int i = first; i < first + count; ++i)
        if (ListPath(static_cast<ListIndex>(i), path))
            WriteRegMultiString(path, lists[i].Data(), kRegClose, static_cast<DWORD>(lists[i].Size()));
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
    if (!IpxInstalled()) return TRUE;
    BindingList lists[kListCount];
    for (int i = 0; i < kListCount; ++i) ReadList(static_cast<ListIndex>(i), &lists[i]);
    BindingList before;
    ReadList(kBind, &before);
    RebuildExports(lists[kBind], &lists[kExport]);
    RebuildExports(lists[kDisabledBind], &lists[kDisabledExport]);

    BindingList* enabled = &lists[kBind];
    BindingList* disabled = &lists[kDisabledBind];
    for (DWORD i = 0; i < g_table.count; ++i) {
        const LanAdapterEntry& entry = g_table.entries[i];
        if (entry.routerOwned) {
            const long k = FindAdapterBinding(*enabled, entry.serviceName);
            if (k >= 0) RecordAdapterTaken(entry.serviceName, static_cast<DWORD>(FindAdapterBinding(before, entry.serviceName)));
            MoveBinding(k, enabled, disabled);
        } else {
            const long k = FindAdapterBinding(*disabled, entry.serviceName);
            if (k >= 0) ForgetAdapterTaken(entry.serviceName);
            MoveBinding(k, disabled, enabled);
        }
    }
    // The router's own binding is never left disabled.
    MoveBinding(FindBindingContaining(*disabled, "VrkMpr"), disabled, enabled);
    WriteLists(lists, 0, kListCount);
    return TRUE;
}

void GiveBackLanAdapters(const std::vector<TakenAdapter>& taken, const char* routerAdapter) {
    if (!IpxInstalled()) return;
    BindingList lists[kListCount];
    for (int i = 0; i < kListCount; ++i) ReadList(static_cast<ListIndex>(i), &lists[i]);
    bool enabledChanged = false, disabledChanged = false;
    // In the order of their places, so that each lands where it stood among the others.
    for (const TakenAdapter& adapter : taken) {
        const long k = FindAdapterBinding(lists[kDisabledBind], adapter.name.c_str());
        if (k < 0) continue;
        for (int i = 0; i < 3; ++i)
            lists[kDisabledBind + i].MoveEntryTo(static_cast<size_t>(k), &lists[kBind + i], adapter.index);
        enabledChanged = disabledChanged = true;
    }
    if (routerAdapter && routerAdapter[0]) {
        for (const int side : {static_cast<int>(kBind), static_cast<int>(kDisabledBind)}) {
            for (long k; (k = FindAdapterBinding(lists[side], routerAdapter)) >= 0;) {
                for (int i = 0; i < 3; ++i) lists[side + i].Remove(static_cast<size_t>(k));
                (side == kBind ? enabledChanged : disabledChanged) = true;
            }
        }
    }
    if (enabledChanged) WriteLists(lists, kBind, 3);
    if (disabledChanged) WriteLists(lists, kDisabledBind, 3);
}
