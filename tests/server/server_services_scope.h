#pragma once
// For tests that want the real world: puts the server's real services in force for the life
// of the object (InstallServerServices, as the main loop does at start-up) and every empty one
// back afterwards, so the next test starts from the empty slots.
#include "script/runtime/script_services.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/trigger_services.h"
#include "server/frame/server_services.h"
#include "server/net/net_services.h"
#include "server/net/protocol_world_services.h"
#include "server/world/area_services.h"
#include "server/world/npc_load_limits.h"
#include "server/world/npc_services.h"
#include "server/world/packet_services.h"
#include "server/world/rules_services.h"
#include "server/world/world_load_services.h"
#include "server/world/world_services.h"

class ServerServicesScope {
public:
    ServerServicesScope() { InstallServerServices(); }
    ~ServerServicesScope() {
        SetNetServices(nullptr);
        SetWorldLoadServices(nullptr);
        SetPacketServices(nullptr);
        SetWorldServices(nullptr);
        SetNpcServices(nullptr);
        SetNpcLoadLimits(nullptr);
        SetRulesServices(nullptr);
        SetAreaServices(nullptr);
        SetScriptServices(nullptr);
        SetScriptObjectServices(nullptr);
        SetScriptTimeServices(nullptr);
        SetTriggerServices(nullptr);
        SetProtocolWorldServices(nullptr);
    }
    ServerServicesScope(const ServerServicesScope&) = delete;
    ServerServicesScope& operator=(const ServerServicesScope&) = delete;
};
