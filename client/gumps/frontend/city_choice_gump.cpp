#include "client/gumps/frontend/city_choice_gump.h"

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/dumb_gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/input_control_gump.h"
#include "client/gumps/frontend/char_creation_gump.h"
#include "client/gumps/frontend/char_stat_gump.h"
#include "client/gumps/frontend/creation_parts.h"
#include "client/gumps/frontend/front_end_screens.h"
#include "client/gumps/frontend/init_skill_gump.h"
#include "client/gumps/frontend/login_gump.h"
#include "client/net/client_link.h"
#include "client/world/client_world.h"

namespace {

constexpr int kArt = 1300;
constexpr int kSpeechHueAtCreation = 90;
constexpr int kEmoteHueAtCreation = 549;

CCityChoiceGump* Screen() {
    return static_cast<CCityChoiceGump*>(TheGumpDesktop().cityChoiceGump);
}

ClientStateRecord* State() {
    LoginScreenActions* actions = TheLoginScreenActions();
    return actions != nullptr ? &actions->State() : nullptr;
}

std::string ServerName(u8 serverIndex) {
    if (ClientLink::EditServerSet()) return kStandaloneServerName;
    if (const ClientStateRecord* state = State())
        for (const ServerListEntry& s : state->servers)
            if (s.id == serverIndex) return s.name.empty() ? "Unknown Server" : s.name;
    return "Unknown Server";
}

std::string FirstCity() {
    if (const ClientStateRecord* state = State())
        for (const StartLocation& l : state->startLocations)
            if (!l.text.empty()) return l.text;
    return "";
}

// The lowest slot number no row of the character list uses.
u32 FreeSlot() {
    const auto* list = static_cast<CLoginGump*>(TheGumpDesktop().loginGump);
    for (int slot = 0;; ++slot) {
        bool used = false;
        if (list != nullptr)
            for (int s : list->slots)
                used = used || s == slot;
        if (!used) return static_cast<u32>(slot);
    }
}

}  // namespace

CCityChoiceGump::CCityChoiceGump() {
    SetUpScreenArt(*this, "CityChoice gump", kArt, 119, 113);
    serverField = MakeChoiceField(this, 105, 58, 180, 16, 30, 0, ServerName(0));
    cityField = MakeChoiceField(this, 105, 134, 180, 16, 30, 0, FirstCity());
    serverButton = MakeArtButton(this, 134, 21, 1307, 1308, 0, &CCityChoiceGump::ChooseServer);
    // Characters are made on the server the account logged in to.
    serverButton->disabled = true;
    MakeArtButton(this, 155, 95, 1310, 1311, 1312, &CCityChoiceGump::ChooseCity);
    MakeArtButton(this, 272, 168, 1304, 1305, 1306, &CCityChoiceGump::Create);
    MakeArtButton(this, 61, 168, 1301, 1302, 1303, &CCityChoiceGump::Back);
    pictures[0] = MakeSidePicture(1261, 85, 121);
    pictures[1] = MakeSidePicture(1262, 503, 116);
}

CCityChoiceGump::~CCityChoiceGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.cityChoiceGump == this) desktop.cityChoiceGump = nullptr;
}

void CCityChoiceGump::ChooseServer(CGump*) {
    CCityChoiceGump* screen = Screen();
    const ClientStateRecord* state = State();
    if (screen == nullptr || state == nullptr) return;
    ShowGump(screen->pictures[0], false);
    std::vector<std::pair<int, std::string>> items;
    for (size_t i = 0; i < state->servers.size(); ++i) {
        const std::string& name = state->servers[i].name;
        if (!name.empty() && name.find("(test)") == std::string::npos)
            items.emplace_back(static_cast<int>(i), name);
    }
    OpenFieldChooser(screen, screen->serverField, 1228, items);
}

void CCityChoiceGump::ChooseCity(CGump*) {
    CCityChoiceGump* screen = Screen();
    const ClientStateRecord* state = State();
    if (screen == nullptr || state == nullptr) return;
    ShowGump(screen->pictures[1], false);
    std::vector<std::pair<int, std::string>> items;
    for (size_t i = 0; i < state->startLocations.size(); ++i)
        items.emplace_back(static_cast<int>(i), state->startLocations[i].text);
    OpenFieldChooser(screen, screen->cityField, 1228, items);
}

void CCityChoiceGump::Back(CGump*) {
    if (CCityChoiceGump* screen = Screen()) screen->Report(ScreenOutcome::kBack);
}

bool GatherCreateCharacterRequest(CreateCharacterRequest& r) {
    CGumpDesktop& d = TheGumpDesktop();
    auto* look = static_cast<CCharCreationGump*>(d.charCreationGump);
    auto* stat = static_cast<CCharStatGump*>(d.charStatGump);
    auto* skills = static_cast<CInitSkillGump*>(d.initialSkillGump);
    CCityChoiceGump* city = Screen();
    if (look == nullptr || stat == nullptr || skills == nullptr || city == nullptr) return false;
    const ClientStateRecord* state = State();
    if (state != nullptr) {
        r.name = state->playerName;
        r.password = state->playerPassword;
    }
    r.sex = static_cast<u8>(look->Sex());
    r.skinHue = static_cast<u16>(look->skinHue + 1);
    r.hairStyle = static_cast<u16>(look->HairStyle());
    r.hairHue = static_cast<u16>(look->hairHue + 1);
    r.beardStyle = static_cast<u16>(look->BeardStyle());
    r.beardHue = static_cast<u16>(look->beardHue + 1);
    const std::array<int, 3> a = stat->Attributes();
    r.strength = static_cast<u8>(a[0]);
    r.dexterity = static_cast<u8>(a[1]);
    r.intelligence = static_cast<u8>(a[2]);
    const std::array<int, 3> s = skills->Skills(), v = skills->Values();
    for (size_t i = 0; i < 3; ++i) {
        r.skills[i] = static_cast<u8>(s[i]);
        r.skillValues[i] = static_cast<u8>(v[i]);
    }
    r.startCity = 0;
    if (state != nullptr)
        for (const StartLocation& l : state->startLocations)
            if (l.text == city->cityField->Text()) {
                r.startCity = static_cast<u8>(l.id);
                break;
            }
    r.slot = FreeSlot();
    return true;
}

void SendCreateCharacter(const CreateCharacterRequest& request) {
    DeleteCurrentFrontEndNotice();
    ShowProgressNotice("Creating character... ", TheGumpDesktop().cityChoiceGump);
    if (LoginScreenActions* actions = TheLoginScreenActions())
        actions->SendCreateCharacter(request);
}

void CCityChoiceGump::Create(CGump*) {
    CCityChoiceGump* screen = Screen();
    if (screen == nullptr) return;
    CreateCharacterRequest request;
    if (!GatherCreateCharacterRequest(request)) return;
    if (ClientStateRecord* state = State()) state->chosenSlot = static_cast<int>(request.slot);
    TheClientWorld().speech.speechHue = kSpeechHueAtCreation;
    TheClientWorld().speech.emoteHue = kEmoteHueAtCreation;
    screen->Report(ScreenOutcome::kCreate);
}
