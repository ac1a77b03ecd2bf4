#include "server/net/player_senders.h"

#include <vector>

#include "core/move_trace.h"
#include "core/packet_writer.h"
#include "server/net/board_packets.h"
#include "server/net/book_packets.h"
#include "server/net/container_packets.h"
#include "server/net/effect_packets.h"
#include "server/net/object_packets.h"
#include "server/net/packet_senders.h"
#include "server/net/text_packets.h"
#include "server/net/world_packet_values.h"
#include "server/world/container.h"
#include "server/world/player.h"

namespace {

constexpr int kBarkMessageType = 0;
constexpr int kBarkFont = 3;

// 0x3C: what the container holds.
void SendContentsOf(CPlayer& player, const CContainer& container) {
    std::vector<u8> buffer(kMaxContainerContentsLength);
    PacketWriter w(buffer.data(), buffer.size());
    if (BuildContainerContentsPacket(w, container, false, false, GetWorldItemPacketValues()))
        SendPacketToPlayer(&player, w);
}

}  // namespace

void SendMoveAck(CPlayer& player, int sequence) {
    if (move_trace::Enabled()) {
        const Location at = player.GetWorldLocation();
        move_trace::Write("server", "accept", sequence, player.GetDirection(), at.x, at.y, at.z);
    }
    BuildAndSendToPlayer<kMoveAckLength>(player, [&](PacketWriter& w) {
        BuildMoveAckPacket(w, sequence, player.GetNotorietyFor(&player));
    });
}

void SendMoveReject(CPlayer& player, int sequence) {
    const Location at = player.GetWorldLocation();
    move_trace::Write("server", "refuse", sequence, player.GetDirection(), at.x, at.y, at.z);
    BuildAndSendToPlayer<kMoveRejectLength>(player, [&](PacketWriter& w) {
        BuildMoveRejectPacket(w, sequence, at.x, at.y, player.GetDirection() & 0xFF, at.z & 0xFF);
    });
}

void SendWarMode(CPlayer& player, int flag, int b2, int b3, int b4) {
    BuildAndSendToPlayer<kWarModeLength>(
        player, [&](PacketWriter& w) { BuildWarModePacket(w, flag, b2, b3, b4); });
}

void SendDeathStatus(CPlayer& player, int status) {
    BuildAndSendToPlayer<kDeathStatusLength>(
        player, [&](PacketWriter& w) { BuildDeathStatusPacket(w, status); });
}

void SendGlobalLight(CPlayer& player, int level) {
    BuildAndSendToPlayer<kGlobalLightLength>(
        player, [&](PacketWriter& w) { BuildGlobalLightPacket(w, level); });
}

void SendCombatTarget(CPlayer& player, u32 serial) {
    BuildAndSendToPlayer<kCombatTargetLength>(
        player, [&](PacketWriter& w) { return BuildCombatTargetPacket(w, serial); });
}

void SendFriendStatus(CPlayer& watcher, int index, bool online) {
    BuildAndSendToPlayer<kFriendStatusLength>(
        watcher, [&](PacketWriter& w) { BuildFriendStatusPacket(w, index, online); });
}

void SendPaperdollTo(CPlayer& viewer, u32 serial, const char* title, int warMode) {
    BuildAndSendToPlayer<kPaperdollLength>(
        viewer, [&](PacketWriter& w) { BuildPaperdollPacket(w, serial, title, warMode); });
}

void SendContainerOpen(CPlayer& player, const CContainer& container, int gump) {
    BuildAndSendToPlayer<kOpenGumpLength>(
        player, [&](PacketWriter& w) { BuildOpenGumpPacket(w, container.GetSerial(), gump); });
    SendContentsOf(player, container);
}

void SendBoardOpen(CPlayer& player, const CContainer& board) {
    BuildAndSendToPlayer<kBoardOpenLength>(player,
                                           [&](PacketWriter& w) { BuildBoardOpenPacket(w, board); });
    SendContentsOf(player, board);
}

void SendBoardMessage(CPlayer& player, const CItem& message, bool full) {
    std::vector<u8> buffer(PacketWriter::kMaxPacketLength);
    PacketWriter w(buffer.data(), buffer.size());
    if (BuildBoardMessagePacket(w, message,
                                full ? BoardMessageForm::kFull : BoardMessageForm::kSummary))
        SendPacketToPlayer(&player, w);
}

void SendBookHeader(CPlayer& player, u32 serial, const BookHeader& header) {
    BuildAndSendToPlayer<kBookHeaderLength>(
        player, [&](PacketWriter& w) { BuildBookHeaderPacket(w, serial, header); });
}

void SendBookPages(CPlayer& player, const CItem& book, int first, int count) {
    std::vector<u8> buffer(PacketWriter::kMaxPacketLength);
    PacketWriter w(buffer.data(), buffer.size());
    if (BuildBookPagesPacket(w, book, first, count)) SendPacketToPlayer(&player, w);
}

void SendBarkToSelf(CPlayer& player, int hue, const char* text) {
    BuildAndSendToPlayer<kMaxTextMessageLength>(player, [&](PacketWriter& w) {
        BuildTextMessagePacket(w, &player, kBarkMessageType, text ? text : "", hue, kBarkFont,
                               player.IsGameMasterInGmBody());
    });
}

void SendBarkInSight(CPlayer& player, int hue, const char* text, const Location& from, int radius) {
    u8 buffer[kMaxTextMessageLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildTextMessagePacket(w, &player, kBarkMessageType, text ? text : "", hue, kBarkFont,
                           player.IsGameMasterInGmBody());
    SendPacketToPlayersInSight(w, from, radius);
}
