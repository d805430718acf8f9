#include "common/product.h"

#include <cstdio>
#include <cstring>

#include "common/bytestring.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/registry.h"
#include "common/setup_log.h"
#include "lang/resource.h"

const char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
const char kDelFilesName[] = "DELFILES.DAT";
const char kInfDirectory[] = "%SystemRoot%\\SYSTEM32";
const char kDelFilesMarker[] = ";// VARNEK ISDN file lists";
const char kRemoteAccessUserKey[] = "HKEY_CURRENT_USER:SOFTWARE\\VARNEK\\VrkRas";
const char kRemoteAccessUserRecords[] = "HKEY_CURRENT_USER:SOFTWARE\\VARNEK\\VrkRas\\Replaced";

namespace {

struct Product {
    ProductId id;
    const char* name;
    const char* keyName;
    const char* infPrefix;
    const char* infHeader;
};

const char kRouterHeader[] = ";// VARNEK ISDN Multiprotocol Router software setup";

const Product kProducts[] = {
    {kProductIsdnRouter, "Varnek ISDN Router", "VrkMpr", "OEMNSV", kRouterHeader},
    {kProductMultiprotocolRouter, "Varnek ISDN Multiprotocol Router", "VrkMpr", "OEMNSV", kRouterHeader},
    {kProductInternetRouter, "Varnek ISDN Internet Router", "VrkMpr", "OEMNSV", kRouterHeader},
    {kProductRemoteAccess, "Varnek ISDN DialCore", "VrkRas", "OEMNAD", ";// VARNEK ISDN DialCore software setup"},
    {kProductGateway, "Linvora for Windows", "VrkLV", "OEMNAD", ";// VARNEK Linvora software setup"},
};
const Product kUnknownProduct = {0, "UNKNOWN_PRODUCT_ID", "VrkUnknown", "UNKNOWN", "UNKNOWN"};

const Product& Lookup(ProductId productId) {
    for (const Product& p : kProducts)
        if (p.id == productId) return p;
    return kUnknownProduct;
}

// The root of the drive that holds the running program, such as C:\.
bool ProgramDriveRoot(char* out) {
    char program[kPathSize] = "";
    const DWORD n = GetModuleFileNameA(nullptr, program, sizeof program);
    if (n == 0 || n >= sizeof program) return false;
    CutToDrive(program);
    return snprintf(out, kPathSize, "%s\\", program) < static_cast<int>(kPathSize);
}

// A list the package did not write is never run: the clean-up deletes with administrator rights
// whatever a list names, and one with the same file name lies anywhere a user may put it.
// A folder the search found is named as the drive names it: never expanded.
bool ListedPath(const char* directory, char* out) {
    const int n = snprintf(out, kPathSize, "%s%s%s", directory, *directory && directory[strlen(directory) - 1] == '\\' ? "" : "\\",
                           kDelFilesName);
    return n > 0 && static_cast<DWORD>(n) < kPathSize;
}

bool HoldsMarker(const char* path) {
    FileBuffer header(path, 1024, false);
    const DWORD n = header.read();
    return n > 0 && FindBounded(header.data(), n, kDelFilesMarker);
}

bool IsPackagesList(const char* directory, void*) {
    char path[kPathSize];
    if (!ListedPath(directory, path)) return false;
    if (HoldsMarker(path)) return true;
    WriteSetupLog(kLogSourceSetup, kLogFailure, "FindDelFilesDat : %s is not the package's file list; ignored", path);
    return false;
}

// The search of the program's whole drive, made once per process: a clean-up runs one delete list
// after another, each looking for the list anew, and on a real drive each search takes minutes.
// A list that the search did not find cannot have come since; the maker's directory and the
// program's, where the package puts its list, are looked at before every search all the same. A
// list the search found is read again before it is used: the lists it holds may have deleted it.
struct DriveSearch {
    bool done = false;
    char directory[kPathSize] = "";  // where the list was found; empty when it was not
};
DriveSearch g_driveSearch;

// The directory of the package's list on the program's drive, searched for at most once.
bool ListOnProgramDrive(char* directory) {
    if (g_driveSearch.done && !g_driveSearch.directory[0]) return false;
    if (g_driveSearch.done) {
        char path[kPathSize];
        if (ListedPath(g_driveSearch.directory, path) && HoldsMarker(path)) {
            memcpy(directory, g_driveSearch.directory, kPathSize);
            return true;
        }
    }
    const char* names[] = {kDelFilesName};
    if (!ProgramDriveRoot(directory)) return false;
    const bool found = FindInTree(directory, 1, names, IsPackagesList) != FALSE;
    g_driveSearch.done = true;
    if (found)
        memcpy(g_driveSearch.directory, directory, kPathSize);
    else
        g_driveSearch.directory[0] = '\0';
    return found;
}

}  // namespace

const char* GetProductName(ProductId productId) { return Lookup(productId).name; }
const char* GetProductKeyName(ProductId productId) { return Lookup(productId).keyName; }
const char* GetProductInfPrefix(ProductId productId) { return Lookup(productId).infPrefix; }
const char* GetProductInfHeader(ProductId productId) { return Lookup(productId).infHeader; }

BOOL FindProductInf(char* out, ProductId productId) {
    const Product& p = Lookup(productId);
    return FindFileWithHeader(kInfDirectory, p.infPrefix, p.infHeader, out);
}

void GetAdapterServiceName(const char* service, char* out, DWORD outSize) {
    if (!out || outSize == 0) return;
    out[0] = '\0';
    char key[kPathSize], parameters[kPathSize], path[kPathSize];
    DWORD number = 0;
    const bool read = JoinRegistryPath(kServicesKey, service, key) &&
                      JoinRegistryPath(key, "Parameters", parameters) &&
                      JoinRegistryPath(parameters, "AdapterNumber", path) && ReadRegDword(path, &number);
    const int n = snprintf(out, outSize, "%s%lu", service ? service : "", read ? number : 0UL);
    // A name cut short would name another service: then there is none.
    if (n < 0 || static_cast<DWORD>(n) >= outSize) out[0] = '\0';
}

BOOL FindDelFilesDat(char* out) {
    if (FileExists(kMakerDirectory, kDelFilesName) && JoinPath(kMakerDirectory, kDelFilesName, out)) return TRUE;
    char directory[kPathSize] = "";
    const DWORD n = GetModuleFileNameA(nullptr, directory, sizeof directory);
    if (n > 0 && n < sizeof directory) {
        CutLastComponent(directory);
        if (FileExists(directory, kDelFilesName) && JoinPath(directory, kDelFilesName, out)) return TRUE;
    }
    if (ListOnProgramDrive(directory) && ListedPath(directory, out)) return TRUE;
    out[0] = '\0';
    MessageBoxFromIds(nullptr, IDS_DELFILES_NOT_FOUND, MB_ICONHAND, IDS_MESSAGE_CAPTION);
    return FALSE;
}

void ForgetDelFilesDatSearch() { g_driveSearch = DriveSearch(); }
