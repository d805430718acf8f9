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

bool IsPackagesList(const char* directory, void*) {
    char path[kPathSize];
    if (!ListedPath(directory, path)) return false;
    FileBuffer header(path, 1024, false);
    const DWORD n = header.read();
    if (n > 0 && FindBounded(header.data(), n, kDelFilesMarker)) return true;
    WriteSetupLog(kLogSourceSetup, kLogFailure, "FindDelFilesDat : %s is not the package's file list; ignored", path);
    return false;
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
    const char* names[] = {kDelFilesName};
    if (ProgramDriveRoot(directory) && FindInTree(directory, 1, names, IsPackagesList) && ListedPath(directory, out))
        return TRUE;
    out[0] = '\0';
    MessageBoxFromIds(nullptr, IDS_DELFILES_NOT_FOUND, MB_ICONHAND, IDS_MESSAGE_CAPTION);
    return FALSE;
}
