#include "server/net/world_entry.h"

#include <vector>

#include "core/packet_writer.h"
#include "server/net/effect_packets.h"
#include "server/net/object_packets.h"
#include "server/net/object_senders.h"
#include "server/net/packet_senders.h"
#include "server/net/player_senders.h"
#include "server/net/protocol_world_services.h"
#include "server/net/socket.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

namespace {

bool StillThere(u32 serial, const CPlayer& player) {
    return IsObjectAlive(serial, &player) != nullptr;
}

}  // namespace

void EnterWorld(CPlayer& player, CUserSock& connection) {
    ProtocolWorldServices& world = GetProtocolWorldServices();
    const u32 serial = player.GetSerial();

    // Whoever enters may switch god mode on.
    player.SetFlag(kPlayerGodRights, true);

    BuildAndSendToPlayer<kLoginConfirmLength>(
        player, [&](PacketWriter& w) { BuildLoginConfirmPacket(w, player, world.Facing(player)); });
    connection.loggedIn = 1;

    player.EnterWorld(&connection);  // runs trigger "online"
    if (!StillThere(serial, player)) return;

    world.RestoreHeldObject(player);
    if (!StillThere(serial, player)) return;

    const u8* war = player.GetWarModeBytes();
    SendWarMode(player, war[0], war[1], war[2], war[3]);

    // The player's full description to every player near, the player itself among them: its
    // own client learns what its character wears from this 0x78 (a single object sent to
    // itself is the bare 0x20). The vitals are kept by the mobile rules; the mobile packets
    // carry what the world has.
    std::vector<CPlayer*> nearby;
    GetPlayerRegistry().CollectInRange(nearby, player.GetLocation(), kEntryShowRadius);
    for (CPlayer* viewer : nearby)
        if (viewer != &player) GetPacketServices().SendObjectTo(viewer, &player, true);
    SendMobileIncoming(player, player);

    world.RestoreTrades(player);
    if (!StillThere(serial, player)) return;

    // The start-up text "login.txt" comes with the text commands; none is loaded yet.

    BuildAndSendToPlayer<kLoginCompleteLength>(
        player, [](PacketWriter& w) { BuildLoginCompletePacket(w); });

    world.UpdateGuardZone(player);
    world.ResendCombatTarget(player);
    if (!StillThere(serial, player)) return;

    int season = 0;
    int temperature = 0;
    world.SeasonAndTemperature(player.GetLocation(), season, temperature);
    BuildAndSendToPlayer<kWeatherLength>(player, [&](PacketWriter& w) {
        BuildWeatherPacket(w, kWeatherSeasonType, season, temperature);
    });
    int hour = 0;
    int minute = 0;
    int pulse = 0;
    world.GameClock(hour, minute, pulse);
    BuildAndSendToPlayer<kTimeLength>(
        player, [&](PacketWriter& w) { BuildTimePacket(w, hour, minute, pulse); });
}
