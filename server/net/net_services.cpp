#include "server/net/net_services.h"

#include "core/service_slot.h"

namespace {
ServiceSlot<NetServices> g_netServices;
}  // namespace

NetServices& GetNetServices() {
    return g_netServices.Get();
}

void SetNetServices(NetServices* services) {
    g_netServices.Set(services);
}
