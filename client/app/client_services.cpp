#include "client/app/client_services.h"

#include "client/app/client_app.h"
#include "client/app/client_subsystem_services.h"
#include "client/data/client_data_start.h"

namespace {

// The subsystems built so far; the others keep ClientSubsystemServices' empty answers.
class BuiltClientServices : public ClientSubsystemServices {
public:
    void DataCacheInit() override {
        if (CClientApp* app = CClientApp::Instance()) InitDataCache(*app);
    }
    void DataCacheLoadPatches() override { LoadDataPatches(); }
};

}  // namespace

void InstallClientServices() {
    static BuiltClientServices services;
    SetClientSubsystemServices(&services);
}
