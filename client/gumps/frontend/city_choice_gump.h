#pragma once
// The last character-creation screen: the server the character is made on and its start
// city. Create gathers what every creation screen holds into the create request and sends it.
#include "client/gumps/frontend/creation_screen.h"
#include "client/net/client_packets.h"

class CButtonGump;
class CInputControlGump;

constexpr const char* kStandaloneServerName = "Standalone Server";

class CCityChoiceGump : public CCreationScreen {
public:
    static constexpr GumpKind kKind = GumpKind::kCityChoice;
    GumpKind Kind() const override { return kKind; }

    // Links its two side pictures.
    CCityChoiceGump();
    ~CCityChoiceGump() override;

    static void ChooseServer(CGump*);
    static void ChooseCity(CGump*);
    // Keeps the new character's slot and reports kCreate (the tutorial or the request next).
    static void Create(CGump*);
    // Reports kBack (the appearance screen).
    static void Back(CGump*);

    CInputControlGump* serverField = nullptr;
    CInputControlGump* cityField = nullptr;
    CButtonGump* serverButton = nullptr;

protected:
    // No sliders: every press is only remembered.
    std::vector<CThumbGump*> Sliders() const override { return {}; }
};

// The create request of what the creation screens hold (name and password from the login
// state, the lowest slot no character uses); false when a screen is missing.
bool GatherCreateCharacterRequest(CreateCharacterRequest& request);
// Replaces the current notice with "Creating character... " (returning to the city choice)
// and sends the request.
void SendCreateCharacter(const CreateCharacterRequest& request);
