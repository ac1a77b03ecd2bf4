#include "server/net/net_services.h"

namespace {
NetServices g_noNet;
NetServices* g_netServices = &g_noNet;
}  // namespace

NetServices& GetNetServices() {
    return *g_netServices;
}

void SetNetServices(NetServices* services) {
    g_netServices = services ? services : &g_noNet;
}
