// Registry provisioning during installation: the router's SNMP extension agent, the DLLs its
// service loads, the load-order group of its trace driver, the remote-access driver's event-log
// source, the gateway line's installed marker and the router's performance-counter INI entry.
#pragma once

#include <windows.h>

#include "common/setup_procedure.h"

extern const char kServiceGroupOrderList[];  // SYSTEM\CurrentControlSet\Control\ServiceGroupOrder\List
extern const char kTraceGroupName[];         // "VrkMprTraceGroup"
extern const char kStreamsDriversGroup[];    // "Streams Drivers"
constexpr DWORD kGroupOrderSize = 4096;

// Writes the agent's Pathname, then enters the agent into the ExtensionAgents list unless it is
// there already: *result "OK", or "USER_CANCEL" when it was.
void RegisterSnmpAgent(const char** result);
// EventMessageFile and TypesSupported of the System log's source VrkRas.
void RegisterRasEventSource();
// Places "VrkMprTraceGroup" just before "Streams Drivers" in the service group order and sets the
// Group values of VrkMprTrc and VrkMpr. FALSE, with nothing written, when "Streams Drivers" is
// missing or the list has no room for the entry.
BOOL InsertTraceGroup();

// The counterparts for the removal: the source VrkRas leaves the System log (key and Sources
// entry), and "VrkMprTraceGroup" leaves the service group order (the list is written only when
// it held the entry).
void RemoveRasEventSource();
void RemoveTraceGroup();

// Workers of the setup procedures.
BOOL SetSnmpRegistryWorker(const SetupArguments& arguments, const char** result);
BOOL SetRouterRegistryWorker(const SetupArguments& arguments, const char** result);
BOOL ProvideRasRegistryWorker(const SetupArguments& arguments, const char** result);
BOOL ProvideGatewayRegistryWorker(const SetupArguments& arguments, const char** result);
BOOL WritePerformanceFileWorker(const SetupArguments& arguments, const char** result);
