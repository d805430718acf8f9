#include "maintenance/cleanup_engine.h"

#include <cstdio>

#include "common/ascii_case.h"
#include "common/files.h"
#include "common/multistring.h"
#include "common/paths.h"
#include "common/progress_note.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "common/value_records.h"
#include "lang/resource.h"
#include "maintenance/file_lists.h"
#include "maintenance/lan_adapters.h"
#include "maintenance/named_files.h"
#include "maintenance/provisioning.h"
#include "maintenance/replaced_settings.h"
#include "maintenance/snmp_agent_entry.h"
#include "maintenance/stop_processes.h"

namespace {

const char kMakerKeyPath[] = "SOFTWARE\\VARNEK";
const char kOldMakerKeyPath[] = "SOFTWARE\\VARNEK GmbH";
const char kCapiRegistry[] = "SOFTWARE\\CAPI20";
const char kTapiDevices[] = "HARDWARE\\DEVICEMAP\\TAPI DEVICES";

// The keys whose presence says that a line is still installed.
const char* const kInstalledLineMarkers[] = {
    "SYSTEM\\CurrentControlSet\\Services\\VrkMpr",
    "SYSTEM\\CurrentControlSet\\Services\\VrkRas",
    "SYSTEM\\CurrentControlSet\\Services\\VrkLV",
};

// Shared by the router and the other lines: removed with the last line only.
const char* const kSharedServices[] = {kLogService, "VrkMprTrc"};

struct SharedList {
    const char* section;
    bool administratorsFiles;  // files the administrator made or may want: run only to delete files
};
const SharedList kSharedDeleteSections[] = {
    {"DELETE MFC Files", false}, {"DELETE Trace Files", true}, {"DELETE VrkSetup", false}, {"DELETE TempFiles", false}};

// The per-controller values of a product in the CAPI registry, in the order they are deleted.
const char* const kCapiValueSuffixes[] = {"Interface", "Enabled", "Nickname", "Phone", "Protocol", "CapiPlus"};

constexpr DWORD kAgentTextSize = 260;
constexpr DWORD kProductNameSize = 256;
constexpr DWORD kSectionNameSize = 128;
constexpr int kRouterServiceCount = 6;

// Fills names with the router's six services; the adapter's name is read now, while its key is
// still there.
void RouterServiceNames(char adapterService[kPathSize], const char* names[kRouterServiceCount]) {
    GetAdapterServiceName("VrkMpr", adapterService, kPathSize);
    names[0] = "VrkMprSV";
    names[1] = "VrkMpr";
    names[2] = adapterService;
    names[3] = "VrkMprLan";
    names[4] = "VrkMprWan";
    names[5] = "VrkMprX31";
}

// A key the package may have brought into being for its own entry below it goes once that entry
// has gone and nothing else is in it.
void DeleteKeyIfEmpty(const char* key) {
    if (RegKeyIsEmpty(key)) DeleteRegTree(key);
}

// The settings of the user running the removal that the line's programs changed (the monitor's
// port), and the line's key of that user, which held their records.
void GiveBackUserSettings() {
    RecordedValues values;
    values.Load(kRemoteAccessUserRecords);
    values.GiveBack();
    DeleteRegTree(kRemoteAccessUserKey);
    char makerKey[kPathSize];
    if (CopyText(makerKey, sizeof makerKey, kRemoteAccessUserKey)) {
        CutLastComponent(makerKey);
        DeleteKeyIfEmpty(makerKey);
    }
}

// The driver's lines in the system's TAPI device map, which the WAN configuration wrote.
void DeleteTapiDevice() {
    DeleteRegTree(kTapiDevices, "VrkRas");
    DeleteKeyIfEmpty(kTapiDevices);
}

// The administrator chose to keep the files: the list is not run, and the log says so.
void LogListKept(const char* section) {
    WriteSetupLog(kLogSourceSetup, kLogTrace, "File list %s not run: the files are kept", section);
}

void ProcessLineDeleteSection(ProductId productId, BOOL deleteFiles) {
    if (deleteFiles) {
        ProcessProductDeleteSection(productId);
        return;
    }
    char section[kSectionNameSize];
    const int length = snprintf(section, sizeof section, "DELETE %s", GetProductKeyName(productId));
    if (length > 0 && length < static_cast<int>(sizeof section)) LogListKept(section);
}

}  // namespace

void RemoveSnmpAgentEntries() {
    RegistryValueNameList names(kExtensionAgentsKey);
    while (const char* name = names.next()) {
        char path[kPathSize];
        char text[kAgentTextSize] = "";
        if (!JoinRegistryPath(kExtensionAgentsKey, name, path) || !ReadRegString(path, text, sizeof text)) continue;
        if (EqualsIgnoringCase(text, kRouterAgentKey) || EqualsIgnoringCase(text, kOldRouterAgentKey))
            DeleteRegValue(kExtensionAgentsKey, name);
    }
}

void DeleteServiceKeys(int count, const char* const* names) {
    RegistrySubkeyList services(kServicesKey);
    while (const char* service = services.next()) {
        for (int i = 0; i < count; ++i) {
            if (names[i] && names[i][0] && EqualsIgnoringCase(service, names[i])) {
                DeleteRegTree(kServicesKey, service);
                break;
            }
        }
    }
}

void DeleteSubkeysByPrefix(const char* key, const char* prefix) {
    RegistrySubkeyList subkeys(key);
    while (const char* name = subkeys.next())
        if (StartsWithIgnoringCase(name, prefix)) DeleteRegTree(key, name);
}

void DeleteProductKeys(const char* prefix) {
    DeleteSubkeysByPrefix(kMakerKeyPath, prefix);
    DeleteSubkeysByPrefix(kOldMakerKeyPath, prefix);
}

void DeleteNetworkCardEntries(const char* prefix) {
    RegistrySubkeyList cards(kNetworkCardsKey);
    while (const char* card = cards.next()) {
        char key[kPathSize], path[kPathSize];
        char productName[kProductNameSize] = "";
        if (!JoinRegistryPath(kNetworkCardsKey, card, key) || !JoinRegistryPath(key, "ProductName", path) ||
            !ReadRegString(path, productName, sizeof productName))
            continue;
        if (StartsWithIgnoringCase(productName, prefix)) DeleteRegTree(kNetworkCardsKey, card);
    }
}

void DeleteCapiValues(const char* productKey) {
    RegistrySubkeyList cards(kCapiRegistry);
    char card[kPathSize];
    while (cards.nextPath(card)) {
        RegistrySubkeyList controllers(card);
        char controller[kPathSize];
        while (controllers.nextPath(controller)) {
            for (const char* suffix : kCapiValueSuffixes) {
                char name[kPathSize];
                if (snprintf(name, sizeof name, "%s%s", productKey, suffix) >= static_cast<int>(sizeof name)) continue;
                DeleteRegValue(controller, name);
            }
        }
    }
}

void DeleteProductInfFiles(ProductId productId) {
    char inf[kPathSize];
    while (FindProductInf(inf, productId)) {
        const DWORD attributes = GetFileAttributesA(inf);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesA(inf, attributes & ~FILE_ATTRIBUTE_READONLY);
        if (!DeleteFileA(inf)) {
            const DWORD error = GetLastError();
            WriteSetupLog(kLogSourceSetup, kLogFailure,
                          "DeleteProductInfFiles : INF file can not be deleted %s; error %lu", inf, error);
            return;
        }
    }
}

void ProcessProductDeleteSection(ProductId productId) {
    char section[kSectionNameSize];
    const int length = snprintf(section, sizeof section, "DELETE %s", GetProductKeyName(productId));
    if (length < 0 || length >= static_cast<int>(sizeof section)) return;
    ProcessDeleteSection(section);
}

BOOL AnyProductInstalled() {
    for (const char* marker : kInstalledLineMarkers)
        if (RegKeyExists(marker)) return TRUE;
    return FALSE;
}

void CleanUpCommon(BOOL deleteFiles) {
    if (AnyProductInstalled()) return;
    DeleteRegTree(kMakerKeyPath);
    DeleteRegTree(kOldMakerKeyPath);
    for (const SharedList& list : kSharedDeleteSections) {
        if (list.administratorsFiles && !deleteFiles)
            LogListKept(list.section);
        else
            ProcessDeleteSection(list.section);
    }
    DeleteServiceKeys(sizeof kSharedServices / sizeof kSharedServices[0], kSharedServices);
    // The router's trace driver, gone now, had a load-order group of its own.
    RemoveTraceGroup();
}

void CleanUpRouter(HWND window, BOOL deleteFiles, BOOL commonStep) {
    char adapterService[kPathSize];
    const char* services[kRouterServiceCount];
    RouterServiceNames(adapterService, services);
    // What the router's configuration replaced of the system's settings: recorded under its key.
    ReplacedSettings replaced;
    replaced.Load();
    ShowProgressNote(window, IDS_NOTE_CLEAN_ROUTER, IDS_NOTE_CAPTION);
    RemoveSnmpAgentEntries();
    DeleteServiceKeys(kRouterServiceCount, services);
    DeleteProductKeys("VrkMpr");
    DeleteNetworkCardEntries("VrkMpr");
    DeleteCapiValues("VrkMpr");
    GiveBackLanAdapters(replaced.adapters(), adapterService);
    replaced.GiveBack();
    DeleteProductInfFiles(kProductMultiprotocolRouter);
    ProcessLineDeleteSection(kProductMultiprotocolRouter, deleteFiles);
    if (commonStep) CleanUpCommon(deleteFiles);
    CloseProgressNote();
}

void CleanUpRemoteAccess(HWND window, BOOL deleteFiles, BOOL commonStep) {
    // Where the trace service and the center were told to write: known only from keys that go now.
    NamedFiles named;
    named.Read();
    ShowProgressNote(window, IDS_NOTE_CLEAN_REMOTE_ACCESS, IDS_NOTE_CAPTION);
    DeleteSubkeysByPrefix(kServicesKey, "VrkRas");
    DeleteProductKeys("VrkRas");
    DeleteNetworkCardEntries("VrkRas");
    DeleteCapiValues("VrkRas");
    RemoveRasEventSource();
    DeleteTapiDevice();
    GiveBackUserSettings();
    DeleteProductInfFiles(kProductRemoteAccess);
    ProcessLineDeleteSection(kProductRemoteAccess, deleteFiles);
    if (deleteFiles) named.Delete();
    if (commonStep) CleanUpCommon(deleteFiles);
    CloseProgressNote();
}

void CleanUpGateway(HWND window, BOOL deleteFiles, BOOL commonStep) {
    ShowProgressNote(window, IDS_NOTE_CLEAN_GATEWAY, IDS_NOTE_CAPTION);
    DeleteSubkeysByPrefix(kServicesKey, "VrkLV");
    DeleteProductKeys("VrkLV");
    DeleteNetworkCardEntries("VrkLV");
    DeleteProductInfFiles(kProductGateway);
    ProcessLineDeleteSection(kProductGateway, deleteFiles);
    if (commonStep) CleanUpCommon(deleteFiles);
    CloseProgressNote();
}
