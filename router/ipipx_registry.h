// Where the IP/IPX configuration reads and writes: the TCP/IP parameters of the LAN adapters and
// of the router's ISDN adapter, the router's own values and the IPX transport's.
#pragma once

#include <windows.h>

#include "router/ip_address.h"

extern const char kIpxBindValue[];         // NwLnkIpx\Linkage\Bind: IPX is installed when it can be read
extern const char kIpxNetValue[];          // SOFTWARE\VARNEK\VrkMpr\Base\router\ipx_net
extern const char kVirtualNetworkValue[];  // NwlnkIpx\Parameters\VirtualNetworkNumber
extern const char kIpRouterIdValue[];      // SOFTWARE\VARNEK\VrkMpr\Base\router\ip_router_id
extern const char kIsdnIpMappingValue[];   // SOFTWARE\VARNEK\VrkSetup\ISDNIPMapping
extern const char kDefaultGatewaySetValue[];  // SOFTWARE\VARNEK\VrkSetup\DefaultGatewaySet

// Fills the list with the usable (address, mask) pairs of every service's Parameters\Tcpip but the
// router's own; true when one of those services has a default gateway.
bool CollectLanNetworks(NetworkList* networks);
// Writes an empty DefaultGateway for every LAN service that has one.
void ClearLanGateways();

// The ISDN adapter's Tcpip key: VrkMpr followed by its AdapterNumber; false when it does not fit.
bool IsdnTcpipKey(char* out, DWORD size);
// The adapter's current address and mask, each its default when it is missing, unreadable or zero.
void ReadIsdnAddress(IpAddressValue* address, IpAddressValue* mask);
// The adapter's TCP/IP values in the order the transport's set-up writes them, the default gateway
// empty.
void WriteIsdnAddress(const char* address, const char* mask);
void WriteIsdnGateway(const char* gateway);

bool IsIpxInstalled();
// ipx_net, and VirtualNetworkNumber when it is missing or 0.
void WriteIpxNumber(DWORD number);

// What the dialog's OK takes: the IPX field, the mapping box, the address and mask (derived or
// typed), the LAN address derived from (null when none is selected) and the gateway box.
struct IpIpxEntries {
    const char* ipx = "";
    bool mapping = false;
    const char* address = "";
    const char* mask = "";
    const char* lan = nullptr;
    bool gateway = false;
};

enum class IpIpxSaved {
    Saved,
    BadAddress,    // an address, mask or LAN address that does not parse: only the IPX number is written
    GatewaysKept,  // the LAN adapters' gateways were to stay: the address settings are written, no gateway
};

// The OK's writes in their order. replaceGateways is asked when a LAN adapter has a default gateway:
// true clears them and makes the ISDN interface the gateway.
IpIpxSaved SaveIpIpxEntries(const IpIpxEntries& entries, bool (*replaceGateways)(void* context), void* context);
