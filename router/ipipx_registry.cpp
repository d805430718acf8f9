#include "router/ipipx_registry.h"

#include <cstring>

#include "common/ascii_case.h"
#include "common/multistring.h"
#include "common/paths.h"
#include "common/product.h"
#include "common/registry.h"
#include "maintenance/replaced_settings.h"
#include "router/ipipx_numbers.h"

const char kIpxBindValue[] = "SYSTEM\\CurrentControlSet\\Services\\NwLnkIpx\\Linkage\\Bind";
const char kIpxNetValue[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\router\\ipx_net";
const char kVirtualNetworkValue[] = "SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Parameters\\VirtualNetworkNumber";
const char kIpRouterIdValue[] = "SOFTWARE\\VARNEK\\VrkMpr\\Base\\router\\ip_router_id";
const char kIsdnIpMappingValue[] = "SOFTWARE\\VARNEK\\VrkSetup\\ISDNIPMapping";
const char kDefaultGatewaySetValue[] = "SOFTWARE\\VARNEK\\VrkSetup\\DefaultGatewaySet";

namespace {

constexpr DWORD kTcpipListSize = 256;
const char kDefaultIsdnAddress[] = "192.168.111.111";
const char kDefaultIsdnMask[] = "255.255.255.0";

// The TCP/IP settings of a service: serviceKey\Parameters\Tcpip into out (size bytes).
bool TcpipKeyOf(const char* serviceKey, char* out, DWORD size) {
    char parameters[kPathSize];
    return JoinRegistryPath(serviceKey, "Parameters", parameters) && JoinRegistryPath(parameters, "Tcpip", out, size);
}

bool IsRouterService(const char* keyPath) { return ContainsIgnoringCase(keyPath, "VrkMpr"); }

// The first string of a multi-string value (256 bytes); false when it cannot be read.
bool ReadList(const char* key, const char* name, char* list) {
    char path[kPathSize];
    list[0] = list[1] = '\0';
    return JoinRegistryPath(key, name, path) && ReadRegMultiString(path, list, kTcpipListSize) > 0;
}

// Calls visit with the Tcpip key of each LAN service whose IPAddress can be read.
template <typename Visit>
void ForEachLanTcpip(Visit visit) {
    RegistrySubkeyList services(kServicesKey);
    char tcpip[kPathSize];
    for (const char* service; (service = services.nextPath()) != nullptr;) {
        if (IsRouterService(service)) continue;
        if (!TcpipKeyOf(service, tcpip, sizeof tcpip)) continue;
        char addresses[kTcpipListSize];
        if (!ReadList(tcpip, "IPAddress", addresses)) continue;
        visit(tcpip, addresses);
    }
}

bool HasGateway(const char* tcpip) {
    char gateways[kTcpipListSize];
    return ReadList(tcpip, "DefaultGateway", gateways) && gateways[0] != '\0';
}

// A multi-string of one string: the text, its NUL and the list's.
void WriteOneString(const char* key, const char* name, const char* text) {
    char path[kPathSize];
    char list[kDottedSize + 2] = "";
    if (!JoinRegistryPath(key, name, path) || !CopyText(list, kDottedSize, text)) return;
    const DWORD length = static_cast<DWORD>(strlen(list));
    list[length + 1] = '\0';
    WriteRegMultiString(path, list, kRegClose, length ? length + 2 : 1);
}

void WriteDword(const char* key, const char* name, DWORD value) {
    char path[kPathSize];
    if (JoinRegistryPath(key, name, path)) WriteRegDword(path, value, kRegClose);
}

}  // namespace

bool CollectLanNetworks(NetworkList* networks) {
    bool gateway = false;
    ForEachLanTcpip([&](const char* tcpip, const char* addresses) {
        if (HasGateway(tcpip)) gateway = true;
        char masks[kTcpipListSize];
        ReadList(tcpip, "SubnetMask", masks);
        AddLanNetworks(addresses, masks, networks);
    });
    return gateway;
}

void ClearLanGateways() {
    // The LAN adapters' gateways are the system's: the router's removal puts them back.
    ForEachLanTcpip([](const char* tcpip, const char*) {
        char path[kPathSize];
        if (HasGateway(tcpip) && JoinRegistryPath(tcpip, "DefaultGateway", path))
            WriteReplacedValue(path, REG_MULTI_SZ, "", 1);
    });
}

bool IsdnTcpipKey(char* out, DWORD size) {
    char adapter[kPathSize];
    GetAdapterServiceName(GetProductKeyName(kProductMultiprotocolRouter), adapter, sizeof adapter);
    char serviceKey[kPathSize];
    return adapter[0] && JoinRegistryPath(kServicesKey, adapter, serviceKey) && TcpipKeyOf(serviceKey, out, size);
}

void ReadIsdnAddress(IpAddressValue* address, IpAddressValue* mask) {
    address->Parse(kDefaultIsdnAddress);
    mask->Parse(kDefaultIsdnMask);
    char tcpip[kPathSize];
    if (!IsdnTcpipKey(tcpip, sizeof tcpip)) return;
    char list[kTcpipListSize];
    IpAddressValue value;
    if (ReadList(tcpip, "IPAddress", list) && value.Parse(list) && !value.IsZero()) *address = value;
    value = IpAddressValue();
    if (ReadList(tcpip, "SubnetMask", list) && value.Parse(list) && !value.IsZero()) *mask = value;
}

void WriteIsdnAddress(const char* address, const char* mask) {
    char tcpip[kPathSize];
    if (!IsdnTcpipKey(tcpip, sizeof tcpip)) return;
    WriteOneString(tcpip, "DefaultGateway", "");
    WriteDword(tcpip, "EnableDHCP", 0);
    WriteOneString(tcpip, "IPAddress", address);
    WriteDword(tcpip, "IPInterfaceContext", 0);
    char path[kPathSize];
    if (JoinRegistryPath(tcpip, "LLInterface", path)) WriteRegString(path, "", kRegClose);
    WriteOneString(tcpip, "SubnetMask", mask);
    WriteDword(tcpip, "UseZeroBroadcast", 0);
}

void WriteIsdnGateway(const char* gateway) {
    char tcpip[kPathSize];
    if (IsdnTcpipKey(tcpip, sizeof tcpip)) WriteOneString(tcpip, "DefaultGateway", gateway);
}

bool IsIpxInstalled() {
    DWORD type = REG_NONE;
    return QueryRegValue(kIpxBindValue, &type, nullptr) && type == REG_MULTI_SZ;
}

void WriteIpxNumber(DWORD number) {
    char text[16];
    FormatIpxNumber(number, text, sizeof text);
    WriteRegString(kIpxNetValue, text, kRegClose);
    DWORD existing = 0;
    if (!ReadRegDword(kVirtualNetworkValue, &existing) || existing == 0)
        WriteReplacedValue(kVirtualNetworkValue, REG_DWORD, &number, sizeof number);
}

IpIpxSaved SaveIpIpxEntries(const IpIpxEntries& entries, bool (*replaceGateways)(void* context), void* context) {
    WriteIpxNumber(IpxNumberToStore(entries.ipx));
    IpAddressValue address, mask, lan;
    if (!address.Parse(entries.address) || !mask.Parse(entries.mask) ||
        (entries.mapping && (!entries.lan || !lan.Parse(entries.lan))))
        return IpIpxSaved::BadAddress;

    WriteRegString(kIpRouterIdValue, entries.mapping ? lan.Format() : "0.0.0.0", kRegClose);
    WriteIsdnAddress(address.Format(), mask.Format());
    WriteRegDword(kIsdnIpMappingValue, entries.mapping ? 1 : 0, kRegClose);

    WriteRegDword(kDefaultGatewaySetValue, entries.gateway ? 1 : 0, kRegClose);
    if (!entries.gateway) return IpIpxSaved::Saved;
    IpAddressValue next = address;
    next.Increment();
    NetworkList unused;
    if (CollectLanNetworks(&unused)) {
        if (!replaceGateways(context)) return IpIpxSaved::GatewaysKept;
        ClearLanGateways();
    }
    WriteIsdnGateway(next.Format());
    return IpIpxSaved::Saved;
}
