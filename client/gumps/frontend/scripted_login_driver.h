#pragma once
// A login front end that plays a script instead of waiting for a player: it starts the
// account login, and whenever the character list takes Enter it does the next scripted step
// (play the chosen character, or create one); with no step left it plays the chosen slot.
// For tests of the whole login road.
#include <deque>
#include <string>

#include "client/net/client_packets.h"
#include "client/net/login_front_end.h"

class ClientLink;

class ScriptedLoginDriver : public LoginFrontEnd {
public:
    explicit ScriptedLoginDriver(ClientLink& link) : link_(link) {}

    // Opens the connection and sends the account login (0x80).
    void StartAccountLogin(const std::string& account, const std::string& password);
    void ScriptPlay(int slot) { script_.push_back({Step::kPlay, slot, {}}); }
    void ScriptCreate(const CreateCharacterRequest& request) {
        script_.push_back({Step::kCreate, int(request.slot), request});
    }

    void CharacterListFieldEnter() override;

private:
    struct Step {
        enum Kind { kPlay, kCreate } kind;
        int slot;
        CreateCharacterRequest create;
    };
    void Play(int slot);

    ClientLink& link_;
    std::deque<Step> script_;
};
