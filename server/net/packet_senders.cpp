#include "server/net/packet_senders.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "core/log_sink.h"
#include "core/loop_state.h"
#include "core/packet_writer.h"
#include "core/spatial_grid.h"
#include "server/net/socket.h"
#include "server/world/map_queries.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

namespace {

// Whether the writer holds a packet that may go out; logs the refusal once per call.
bool Sendable(const PacketWriter& packet) {
    if (packet.Ok() && packet.Length() > 0) return true;
    char text[80];
    std::snprintf(text, sizeof text, "packet 0x%02X not sent: its build failed",
                  packet.Length() > 0 ? packet.Data()[0] : 0);
    GetLogSink().Log(0, 0, 0, "", "protocol", "error", text);
    return false;
}

void SendToNearest(const PacketWriter& packet, const Location& at, int maxCount, int radius,
                   bool inSight) {
    if (IsQuitting() || maxCount <= 0 || !Sendable(packet)) return;
    std::vector<CPlayer*> players;
    GetPlayerRegistry().CollectInRange(players, at, radius);
    if (inSight) {
        const Location eyeRaise(0, 0, 8);
        players.erase(std::remove_if(players.begin(), players.end(),
                                     [&](CPlayer* p) {
                                         return !g_worldMap.HasLineOfSight(
                                             p->GetLocation() + eyeRaise, at, kSightWalls);
                                     }),
                      players.end());
    }
    std::stable_sort(players.begin(), players.end(), [&](CPlayer* a, CPlayer* b) {
        return ChebyshevDistanceWrapped(a->GetLocation(), at) <
               ChebyshevDistanceWrapped(b->GetLocation(), at);
    });
    const size_t count = std::min(players.size(), static_cast<size_t>(maxCount));
    for (size_t i = 0; i < count; ++i)
        SendPacketToPlayer(players[i], packet.Data(), packet.Length());
}

}  // namespace

void SendPacketToSocket(CSocket* socket, const u8* data, size_t length) {
    if (socket == nullptr || data == nullptr || length == 0) return;
    socket->QueuePacket(data, length);
}

void SendPacketToSocket(CSocket* socket, const PacketWriter& packet) {
    if (socket == nullptr || !Sendable(packet)) return;
    socket->QueuePacket(packet.Data(), packet.Length());
}

void SendPacketToPlayer(CPlayer* player, const u8* data, size_t length) {
    if (player == nullptr) return;
    SendPacketToSocket(UserSockOf(player), data, length);
}

void SendPacketToPlayer(CPlayer* player, const PacketWriter& packet) {
    CUserSock* socket = UserSockOf(player);
    if (socket == nullptr || !Sendable(packet)) return;
    socket->QueuePacket(packet.Data(), packet.Length());
}

void SendPacketToPlayers(const std::vector<CPlayer*>& players, const PacketWriter& packet) {
    if (IsQuitting() || !Sendable(packet)) return;
    for (CPlayer* p : players)
        SendPacketToPlayer(p, packet.Data(), packet.Length());
}

void SendPacketToPlayersInRange(const PacketWriter& packet, const Location& at, int radius,
                                const CPlayer* except) {
    std::vector<CPlayer*> players;
    GetPlayerRegistry().CollectInRange(players, at, radius);
    players.erase(std::remove(players.begin(), players.end(), except), players.end());
    SendPacketToPlayers(players, packet);
}

void SendPacketToNearestPlayers(const PacketWriter& packet, const Location& at, int maxCount) {
    SendToNearest(packet, at, maxCount, kNearestPlayersRadius, false);
}

void SendPacketToNearestPlayersInSight(const PacketWriter& packet, const Location& at, int maxCount,
                                       int radius) {
    SendToNearest(packet, at, maxCount, radius, true);
}

void SendPacketToPlayersInSight(const PacketWriter& packet, const Location& at, int radius) {
    std::vector<CPlayer*> players;
    GetPlayerRegistry().CollectInRange(players, at, radius);
    std::vector<CPlayer*> seeing;
    for (CPlayer* p : players) {
        Location eyes = p->GetWorldLocation();
        eyes.z = static_cast<s16>(eyes.z + 8);
        if (g_worldMap.HasLineOfSight(eyes, at, kSightWalls)) seeing.push_back(p);
    }
    SendPacketToPlayers(seeing, packet);
}

void SendPacketToRangeOfEither(const PacketWriter& packet, const Location& a, const Location& b,
                               int radius, const CPlayer* except) {
    CPlayerRegistry& registry = GetPlayerRegistry();
    std::vector<CPlayer*> first, second, both;
    registry.CollectInRange(first, a, radius);
    registry.CollectInRange(second, b, radius);
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    std::set_union(first.begin(), first.end(), second.begin(), second.end(),
                   std::back_inserter(both));
    both.erase(std::unique(both.begin(), both.end()), both.end());
    both.erase(std::remove(both.begin(), both.end(), except), both.end());
    SendPacketToPlayers(both, packet);
}

void SendPacketToNearAnyOf(const PacketWriter& packet, const std::vector<Location>& places,
                           int radius) {
    std::vector<CPlayer*> online;
    CollectLivePlayers(online);
    std::vector<CPlayer*> near;
    for (CPlayer* p : online) {
        if (p->IsDetached()) continue;
        const Location at = p->GetWorldLocation();
        for (const Location& place : places) {
            if (ChebyshevDistanceXY(at.x, at.y, place.x, place.y) <= radius) {
                near.push_back(p);
                break;
            }
        }
    }
    SendPacketToPlayers(near, packet);
}
