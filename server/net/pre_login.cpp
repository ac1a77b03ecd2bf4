#include "server/net/pre_login.h"

#include <vector>

#include "core/packet_reader.h"
#include "core/packet_writer.h"
#include "server/net/login_packets.h"
#include "server/net/packet_senders.h"
#include "server/net/socket.h"
#include "server/net/world_entry.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

namespace {

void SendLoginReject(CUserSock& socket, u8 reason) {
    u8 bytes[2];
    PacketWriter packet(bytes, sizeof bytes);
    BuildLoginRejectPacket(packet, reason);
    SendPacketToSocket(&socket, packet);
}

void EnterWithSocket(CPlayer* player, CUserSock& socket) {
    LinkPlayerToSocket(player, &socket);
    EnterWorld(*player, socket);
}

}  // namespace

bool HandlePreLoginPacket(CUserSock& socket, u8 id, PacketReader& packet) {
    switch (id) {
        case 0x00:
            HandleCreateCharacter(socket, packet);
            return true;
        case 0x5D:
            HandlePlayCharacter(socket, packet);
            return true;
        case 0x80:
            HandleAccountLogin(socket, packet);
            return true;
        case 0x83:
            HandleDeleteCharacterRequest(socket, packet);
            return true;
        case 0x84:
            HandleRelayLogin(socket, packet);
            return true;
        case 0x91:
            HandleGameLogin(socket, packet);
            return true;
        default:
            return false;
    }
}

void HandleCreateCharacter(CUserSock& socket, PacketReader& packet) {
    NewCharacter c;
    u32 marker = 0;
    u8 z = 0;
    packet.ReadLong(marker);
    packet.ReadShort(c.x);
    packet.ReadShort(c.y);
    packet.ReadByte(z);
    c.z = static_cast<s8>(z);
    packet.ReadFixedText(c.name, sizeof c.name, kCharacterNameWidth);
    packet.ReadFixedText(c.password, sizeof c.password, kCharacterNameWidth);
    packet.ReadByte(c.sex);
    packet.ReadByte(c.strength);
    packet.ReadByte(c.dexterity);
    packet.ReadByte(c.intelligence);
    for (int i = 0; i < 3; ++i) {
        packet.ReadByte(c.skill[i]);
        packet.ReadByte(c.skillValue[i]);
    }
    packet.ReadShort(c.skinHue);
    packet.ReadShort(c.hairStyle);
    packet.ReadShort(c.hairHue);
    packet.ReadShort(c.beardStyle);
    packet.ReadShort(c.beardHue);
    packet.Skip(2);
    packet.ReadLong(c.characterKey);
    packet.ReadLong(c.accountKey);
    if (!packet.Ok()) return;

    CPlayerRegistry& registry = GetPlayerRegistry();
    if (registry.FindByNameAny(c.name)) {
        SendLoginReject(socket, kLoginRejectNameInUse);
        return;
    }
    CPlayer* player = registry.CreatePlayer(c);
    if (player == nullptr) return;
    EnterWithSocket(player, socket);
}

void HandlePlayCharacter(CUserSock& socket, PacketReader& packet) {
    u32 marker = 0;
    char name[kCharacterNameWidth + 1];
    packet.ReadLong(marker);
    packet.ReadFixedText(name, sizeof name, kCharacterNameWidth);
    packet.Skip(kCharacterNameWidth);  // the password, which is not compared
    if (!packet.Ok()) return;

    CPlayer* player = GetPlayerRegistry().FindByNameAny(name);
    if (player == nullptr) {
        SendLoginReject(socket, kLoginRejectNoSuchCharacter);
        return;
    }
    EnterWithSocket(player, socket);
}

void HandleAccountLogin(CUserSock& socket, PacketReader& packet) {
    // The account name and password are read and not used: the account is the address.
    packet.Skip(kCharacterNameWidth);
    packet.Skip(kCharacterNameWidth);
    if (!packet.Ok()) return;

    std::vector<CPlayer*> characters;
    GetPlayerRegistry().ListByAccountKey(socket.peerAddress, characters);
    const char* names[kCharacterListSlots] = {};
    int count = 0;
    for (CPlayer* p : characters) {
        if (count == kCharacterListSlots) break;
        names[count++] = p->GetRealName();
    }
    u8 bytes[kCharacterListMaxLength];
    PacketWriter list(bytes, sizeof bytes);
    BuildCharacterListPacket(list, count, kCharacterListWithStart, names, nullptr);
    SendPacketToSocket(&socket, list);
}

void HandleDeleteCharacterRequest(CUserSock&, PacketReader& packet) {
    u32 a = 0;
    u32 b = 0;
    packet.Skip(kCharacterNameWidth);
    packet.ReadLong(a);
    packet.ReadLong(b);
}

void HandleRelayLogin(CUserSock&, PacketReader& packet) {
    u32 a = 0;
    u32 b = 0;
    packet.Skip(kCharacterNameWidth);
    packet.Skip(kCharacterNameWidth);
    packet.ReadLong(a);
    packet.ReadLong(b);
}

void HandleGameLogin(CUserSock& socket, PacketReader&) {
    if (socket.player) NoteGameLogin(socket.player, socket.peerAddress);
}

void NoteGameLogin(CPlayer*, u32) {}
