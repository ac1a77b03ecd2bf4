#include "client/app/client_services.h"

#include "client/app/client_subsystem_services.h"
#include "client/net/client_link_services.h"

void InstallClientServices() {
    // The connection is real; the cursor manager, sound, music and the other subsystems
    // behind the slot keep ClientSubsystemServices' empty answers until they land.
    static ClientLinkServices services;
    SetClientSubsystemServices(&services);
}
