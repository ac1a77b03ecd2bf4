#include "client/app/client_services.h"

#include "client/app/client_app.h"
#include "client/app/client_subsystem_services.h"
#include "client/data/client_data_start.h"
#include "client/net/client_link_services.h"
#include "client/world/client_world.h"

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
    void CreatePlayerObject() override {
        if (!ThePlayer()) new CClientPlayer;
    }
    void DeletePlayerObject() override { delete ThePlayer(); }
    void AgeSavedBarks() override { TheClientWorld().AgeSavedBarks(); }
};

}  // namespace

void InstallClientServices() {
    static BuiltClientServices services;
    SetClientSubsystemServices(&services);
    TheClientTileData().SetListener(&TheWorldTileListener());
}
