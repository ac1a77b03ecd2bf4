#include "client/app/client_services.h"

#include "client/app/client_app.h"
#include "client/app/client_subsystem_services.h"
#include "client/data/client_data_start.h"
#include "client/gumps/framework/gump_shell_services.h"
#include "client/net/client_link_services.h"

namespace {

// The subsystems built so far: the data cache and the connection. The cursor manager, sound,
// music and the others behind the slot keep ClientSubsystemServices' empty answers until they
// land.
class BuiltClientServices : public ClientLinkServices {
public:
    void DataCacheInit() override {
        if (CClientApp* app = CClientApp::Instance()) InitDataCache(*app);
    }
    void DataCacheLoadPatches() override { LoadDataPatches(); }
};

}  // namespace

void InstallClientServices() {
    // The gump framework answers the desktop, frame, focus, key and mouse entry points.
    static GumpShellServices<BuiltClientServices> services;
    SetClientSubsystemServices(&services);
}
