// Product identities: the ids of the product lines with their names, service keys and INF markers, and where their files lie.
#pragma once

#include <windows.h>

// One bit per product line; only one bit is set at a time.
using ProductId = DWORD;
constexpr ProductId kProductIsdnRouter = 1;
constexpr ProductId kProductMultiprotocolRouter = 2;
constexpr ProductId kProductInternetRouter = 4;
constexpr ProductId kProductRemoteAccess = 8;
constexpr ProductId kProductGateway = 16;

extern const char kServicesKey[];        // SYSTEM\CurrentControlSet\Services
extern const char kDelFilesName[];       // DELFILES.DAT
extern const char kInfDirectory[];       // %SystemRoot%\SYSTEM32
// The remote-access line's records of the user's settings it changes (the monitor's port).
extern const char kRemoteAccessUserKey[];      // HKEY_CURRENT_USER:SOFTWARE\VARNEK\VrkRas
extern const char kRemoteAccessUserRecords[];  // ...\Replaced

// Table lookups; an unknown id gives "UNKNOWN_PRODUCT_ID", "VrkUnknown", "UNKNOWN", "UNKNOWN".
const char* GetProductName(ProductId productId);
const char* GetProductKeyName(ProductId productId);
const char* GetProductInfPrefix(ProductId productId);
const char* GetProductInfHeader(ProductId productId);

// The product's INF file in the system directory: the first one whose name begins with the
// product's prefix and whose first 1024 bytes hold its marker line. out (260 bytes) its path,
// or the empty text and 0.
BOOL FindProductInf(char* out, ProductId productId);

// The service instance name of an installed adapter: service followed by its AdapterNumber in
// decimal, or by "0" when the number cannot be read. out holds outSize bytes.
void GetAdapterServiceName(const char* service, char* out, DWORD outSize = MAX_PATH);

// The package's DELFILES.DAT: the one in the maker's directory or beside the running program, or
// one anywhere on the program's drive whose first 1024 bytes hold the marker line (others are
// logged and passed over); out (260 bytes) its path. Not found: message 21 and 0. The drive is
// searched once per process: a list that was not on it is not looked for there again.
extern const char kDelFilesMarker[];  // ";// VARNEK ISDN file lists"
BOOL FindDelFilesDat(char* out);
// Forgets what the search of the drive found, as a new process starts without it.
void ForgetDelFilesDatSearch();
