#include "client/app/client_services.h"

void InstallClientServices() {
    // No client subsystem behind a slot is built yet: the cursor manager, sound, music,
    // connection and the others keep ClientSubsystemServices' empty answers. Each one that
    // lands is installed here.
}
