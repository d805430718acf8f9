// Product identities: the ids of the product lines with their names, service keys and INF markers, and where their files lie.
#pragma once

#include <windows.h>

// ProductId: one bit per product line.
constexpr DWORD kProductIsdnRouter = 1;
constexpr DWORD kProductMultiprotocolRouter = 2;
constexpr DWORD kProductInternetRouter = 4;
constexpr DWORD kProductRemoteAccess = 8;
constexpr DWORD kProductGateway = 16;

extern const char kServicesKey[];        // SYSTEM\CurrentControlSet\Services
extern const char kAdapterNumberValue[]; // Parameters\AdapterNumber under a product's service key
extern const char kDelFilesName[];       // DELFILES.DAT
extern const char kInfDirectory[];       // %SystemRoot%\SYSTEM32

// Table lookups; an unknown id gives "UNKNOWN_PRODUCT_ID", "VrkUnknown", "UNKNOWN", "UNKNOWN".
const char* GetProductName(DWORD productId);
const char* GetProductKeyName(DWORD productId);
const char* GetProductInfPrefix(DWORD productId);
const char* GetProductInfHeader(DWORD productId);

// The product's INF file in the system directory: the first one whose name begins with the
// product's prefix and whose first 1024 bytes hold its marker line. out (260 bytes) its path,
// or the empty text and 0.
BOOL FindProductInf(char* out, DWORD productId);

// The service instance name of an installed adapter: service followed by its AdapterNumber in
// decimal, or by "0" when the number cannot be read. out holds outSize bytes.
void GetAdapterServiceName(const char* service, char* out, DWORD outSize = MAX_PATH);

// DELFILES.DAT in the maker's directory, or anywhere on the drive of the running program; out
// (260 bytes) its path. Not found: message 21 and 0.
BOOL FindDelFilesDat(char* out);
