#include "client/gumps/frontend/scripted_login_driver.h"

#include "client/net/client_link.h"
#include "core/packet_writer.h"

void ScriptedLoginDriver::StartAccountLogin(const std::string& account,
                                            const std::string& password) {
    link_.state.accountName = account;
    link_.state.accountPassword = password;
    link_.OpenLocalConnection();
    u8 buffer[62];
    PacketWriter w(buffer, sizeof buffer);
    BuildAccountLoginPacket(w, account, password, link_.state.nextLoginKey);
    link_.Send(w);
    Record("StartAccountLogin " + account);
}

void ScriptedLoginDriver::Play(int slot) {
    ClientStateRecord& s = link_.state;
    if (slot < 0 || slot >= ClientStateRecord::kSlots || s.characters[slot].name.empty()) {
        LoginNotice notice;
        notice.text = "No character to login with.";
        notice.owner = NoticeOwner::kCharacterList;
        ShowNotice(notice);
        return;
    }
    s.chosenSlot = slot;
    s.playerName = s.characters[slot].name;
    u8 buffer[73];
    PacketWriter w(buffer, sizeof buffer);
    BuildPlayCharacterPacket(w, s.characters[slot].name, "", u32(slot));
    link_.Send(w);
}

void ScriptedLoginDriver::CharacterListFieldEnter() {
    LoginFrontEnd::CharacterListFieldEnter();
    if (script_.empty()) return Play(link_.state.chosenSlot);
    Step step = script_.front();
    script_.pop_front();
    if (step.kind == Step::kPlay) return Play(step.slot);
    link_.state.chosenSlot = step.slot;
    link_.state.playerName = step.create.name;
    u8 buffer[100];
    PacketWriter w(buffer, sizeof buffer);
    BuildCreateCharacterPacket(w, step.create);
    link_.Send(w);
}
