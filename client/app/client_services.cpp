#include "client/app/client_services.h"

#include <memory>
#include <string>

#include "client/app/client_app.h"
#include "client/app/client_log.h"
#include "client/app/client_subsystem_services.h"
#include "client/data/back_buffer.h"
#include "client/data/cached_gump_art.h"
#include "client/data/client_data_start.h"
#include "client/data/data_file_cache.h"
#include "client/data/fonts.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/gump_shell_services.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/gump_login_front_end.h"
#include "client/gumps/frontend/link_login_actions.h"
#include "client/gumps/world/map_gump.h"
#include "client/net/client_link.h"
#include "client/net/client_link_services.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"

namespace {

// The subsystems built so far: the data cache, the connection and the player object of the
// client world (the gump framework is mixed in below). Sound, music and the others behind the slot
// keep ClientSubsystemServices' empty answers until they land.
class BuiltClientServices : public ClientLinkServices {
public:
    // The link goes while the front end and the actions it uses still exist.
    ~BuiltClientServices() override { DeleteConnection(); }
    void DataCacheInit() override {
        if (CClientApp* app = CClientApp::Instance()) InitDataCache(*app);
    }
    void DataCacheLoadPatches() override { LoadDataPatches(); }
    void CreatePlayerObject() override {
        if (!ThePlayer()) new CClientPlayer;
    }
    void DeletePlayerObject() override { delete ThePlayer(); }
    void AgeSavedBarks() override { TheClientWorld().AgeSavedBarks(); }

    // The link's login handlers drive the login screens, and the screens send through the link.
    void CreateConnection() override {
        ClientLinkServices::CreateConnection();
        actions_ = std::make_unique<LinkLoginActions>(*Link());
        SetLoginScreenActions(actions_.get());
        Link()->SetFrontEnd(&frontEnd_);
    }
    void DeleteConnection() override {
        if (TheLoginScreenActions() == actions_.get()) SetLoginScreenActions(nullptr);
        ClientLinkServices::DeleteConnection();
        actions_.reset();
    }

private:
    GumpLoginFrontEnd frontEnd_;
    std::unique_ptr<LinkLoginActions> actions_;
};

// What the gumps ask of the running client about the player: the player object of the client
// world and the slot chosen on the character list.
class ClientGumpHost : public GumpHostServices {
public:
    u32 PlayerSerial() override { return ThePlayer() != nullptr ? ThePlayer()->serial : 0; }
    int PlayerBody() override { return ThePlayer() != nullptr ? ThePlayer()->graphic : 0; }
    bool EnteredWorldThisRun() override {
        const CClientApp* app = CClientApp::Instance();
        entered_ = entered_ || (app != nullptr && app->inWorld);
        return entered_;
    }
    int ChosenSlot() override {
        const ClientLink* link = TheClientLink();
        return link != nullptr ? link->state.chosenSlot : -1;
    }

private:
    bool entered_ = false;
};

// The front end starts with the main menu, made by the desktop's start-up step after the
// world-view gump, which lies behind every other gump and shows once the player is in the game.
template <class Base>
class FrontEndShellServices : public GumpShellServices<Base> {
public:
    void CreateWorldViewGumps() override {
        GumpShellServices<Base>::CreateWorldViewGumps();
        if (TheMapGump() == nullptr) new CMapGump;
        if (CClientApp* app = CClientApp::Instance()) {
            TheLoginChoices().rememberPassword = app->options.rememberAcctPW;
            TheLoginChoices().chestOpening = app->options.chestOpening;
        }
        ShowMainMenu();
    }
    void PathWalkerStep() override {
        if (CMapGump* map = TheMapGump()) map->FollowPathStep();
    }
};

}  // namespace

void InstallClientServices() {
    // The gump framework answers the desktop, frame, focus, key and mouse entry points.
    static FrontEndShellServices<BuiltClientServices> services;
    SetClientSubsystemServices(&services);
    static ClientGumpHost gumpHost;
    SetGumpHostServices(&gumpHost);
    // Gump art comes from the data cache; the back buffer's start-up background is gump art.
    static CachedGumpArt gumpArt;
    SetGumpArtServices(&gumpArt);
    SetBackgroundPainter(&PaintGumpArtBackground);
    // verdata.mul's font patches replace whole fonts of the font table.
    CDHDCache::SetFontPatchHandler([](u32 font, const u8* data, size_t length) {
        if (font >= static_cast<u32>(CFontTable::kSlots) ||
            !GetFontTable().ReplaceFont(static_cast<int>(font), data, length)) {
            LogClientError("fonts", ("font patch " + std::to_string(font) + " refused").c_str());
        }
    });
    // Tile-data block updates reach the client world.
    TheClientTileData().SetListener(&TheWorldTileListener());
}
