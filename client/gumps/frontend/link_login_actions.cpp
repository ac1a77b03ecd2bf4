#include "client/gumps/frontend/link_login_actions.h"

#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/client_packets.h"
#include "core/packet_writer.h"

ClientStateRecord& LinkLoginActions::State() {
    return link_.state;
}

bool LinkLoginActions::ConnectionOpen() {
    return link_.connectionOpen;
}

bool LinkLoginActions::Connect() {
    return link_.OpenLocalConnection();
}

void LinkLoginActions::SendAccountLogin(const std::string& account, const std::string& password) {
    u8 buffer[62];
    PacketWriter w(buffer, sizeof buffer);
    BuildAccountLoginPacket(w, account, password, link_.state.nextLoginKey);
    link_.Send(w);
}

void LinkLoginActions::SendPlayCharacter(const std::string& name, const std::string& password,
                                         int slot) {
    u8 buffer[73];
    PacketWriter w(buffer, sizeof buffer);
    BuildPlayCharacterPacket(w, name, password, u32(slot));
    link_.Send(w);
}

void LinkLoginActions::SendDeleteCharacter(const std::string& password, int slot) {
    u8 buffer[39];
    PacketWriter w(buffer, sizeof buffer);
    BuildDeleteCharacterPacket(w, password, u32(slot));
    link_.Send(w);
}

void LinkLoginActions::SendCreateCharacter(const CreateCharacterRequest& request) {
    u8 buffer[100];
    PacketWriter w(buffer, sizeof buffer);
    BuildCreateCharacterPacket(w, request);
    link_.Send(w);
}

void LinkLoginActions::SendSelectServer(int id) {
    u8 buffer[3];
    PacketWriter w(buffer, sizeof buffer);
    BuildSelectServerPacket(w, u16(id));
    link_.Send(w);
}

void LinkLoginActions::SendChangePassword(const std::string& oldPassword,
                                          const std::string& newPassword, int slot) {
    u8 buffer[69];
    PacketWriter w(buffer, sizeof buffer);
    BuildChangePasswordPacket(w, oldPassword, newPassword, u32(slot));
    link_.Send(w);
}

void LinkLoginActions::SendDisconnect() {
    u8 buffer[5];
    PacketWriter w(buffer, sizeof buffer);
    BuildDisconnectPacket(w);
    link_.Send(w);
}

void LinkLoginActions::CloseConnection() {
    link_.CloseConnection();
}

void LinkLoginActions::SetWindowTitle(const std::string& text) {
    link_.Hooks().SetWindowTitle(text);
}
