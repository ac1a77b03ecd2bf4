#pragma once
// The only way the server puts a packet on the wire: to one socket, to one player's
// connection, to a list of players, or to the players nearest a place. Each takes the packet's
// writer; a writer whose build failed (or that holds nothing) is refused with one log line and
// nothing is sent. The raw forms take bytes already in wire form. A player without a
// connection gets nothing, without a message. One built packet may go to many players: each
// connection queues its own copy.
#include <cstddef>
#include <vector>

#include "core/location.h"
#include "core/packet_writer.h"
#include "platform/types.h"

class CPlayer;
class CSocket;

// The radius SendPacketToNearestPlayers looks in.
inline constexpr int kNearestPlayersRadius = 12;

void SendPacketToSocket(CSocket* socket, const PacketWriter& packet);
void SendPacketToSocket(CSocket* socket, const u8* data, size_t length);
void SendPacketToPlayer(CPlayer* player, const PacketWriter& packet);
void SendPacketToPlayer(CPlayer* player, const u8* data, size_t length);
// To every player of the list, in list order; nothing once the process is quitting.
void SendPacketToPlayers(const std::vector<CPlayer*>& players, const PacketWriter& packet);
// To every player within `radius` of `at` but `except`; nothing once the process is quitting.
void SendPacketToPlayersInRange(const PacketWriter& packet, const Location& at, int radius,
                                const CPlayer* except = nullptr);
// To the `maxCount` players nearest `at` within 12 tiles, nearest first; nothing once the
// process is quitting.
void SendPacketToNearestPlayers(const PacketWriter& packet, const Location& at, int maxCount);
// The same within `radius`, keeping only the players whose eye point (8 above their place)
// sees `at`.
void SendPacketToNearestPlayersInSight(const PacketWriter& packet, const Location& at, int maxCount,
                                       int radius);
// To every player within `radius` of `at` whose eye point (8 above their place in the world)
// sees `at`.
void SendPacketToPlayersInSight(const PacketWriter& packet, const Location& at, int radius);
// To the players within `radius` of either place, each once, without `except`.
void SendPacketToRangeOfEither(const PacketWriter& packet, const Location& a, const Location& b,
                               int radius, const CPlayer* except);
// To every live player in the world within `radius` (Chebyshev, no wrap) of at least one of the
// places.
void SendPacketToNearAnyOf(const PacketWriter& packet, const std::vector<Location>& places,
                           int radius);

// Builds a packet of at most N bytes with `build(writer)` on the stack and sends it to the
// player.
template <size_t N, class Build>
void BuildAndSendToPlayer(CPlayer& player, Build build) {
    u8 buffer[N];
    PacketWriter w(buffer, N);
    build(w);
    SendPacketToPlayer(&player, w);
}
