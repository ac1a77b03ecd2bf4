#include "server/net/local_connection.h"

#include <vector>

#include "core/log_sink.h"
#include "core/packet_writer.h"
#include "server/net/packet_senders.h"
#include "server/world/player_registry.h"

void LocalConnectionServices::NoteServerPhase(const char* phase) {
    ::NoteServerPhase(phase);
}

void LocalConnectionServices::SetWorldName(const char* name) {
    worldName_ = std::string(name ? name : "").substr(0, 127);
    GetLogSink().Log(0, 0, 0, "", "name", "misc", worldName_.c_str());
}

void LocalConnectionServices::CreateLocalUserSock() {
    ::CreateLocalUserSock();
}

CUserSock* LocalConnectionServices::LocalUserSock() {
    return RefreshLocalLink();
}

void LocalConnectionServices::DestroyAllSockets() {
    DeleteAllSockets();
}

void LocalConnectionServices::SendToAll(const u8* packet, int length) {
    if (!packet || length <= 0 || static_cast<size_t>(length) > PacketWriter::kMaxPacketLength)
        return;
    std::vector<u8> copy(packet, packet + length);
    PacketWriter writer(copy.data(), copy.size());
    writer.AppendBytes(packet, copy.size());
    std::vector<CPlayer*> online;
    CollectLivePlayers(online);
    SendPacketToPlayers(online, writer);
}
