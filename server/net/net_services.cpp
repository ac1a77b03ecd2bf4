#include "server/net/net_services.h"

#include "core/service_slot.h"

namespace {
ServiceSlot<NetServices> g_netServices;
}  // namespace

NetServices& GetNetServices() {
    return g_netServices.Get();
}

NetServices* SetNetServices(NetServices* services) {
    return g_netServices.Set(services);
}
