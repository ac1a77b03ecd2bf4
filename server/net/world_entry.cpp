#include "server/net/world_entry.h"

#include <vector>

#include "core/packet_writer.h"
#include "server/net/effect_packets.h"
#include "server/net/object_packets.h"
#include "server/net/packet_senders.h"
#include "server/net/protocol_world_services.h"
#include "server/net/socket.h"
#include "server/world/mobile.h"
#include "server/world/player_registry.h"

namespace {

// Sends a packet of at most 37 bytes built by `build` to the player.
template <class Build>
void SendSmall(CPlayer& player, Build build) {
    u8 buffer[kLoginConfirmLength];
    PacketWriter w(buffer, sizeof buffer);
    build(w);
    SendPacketToPlayer(&player, w);
}

bool StillThere(u32 serial, const CPlayer& player) {
    return IsObjectAlive(serial, &player) != nullptr;
}

}  // namespace

void EnterWorld(CPlayer& player, CUserSock& connection) {
    ProtocolWorldServices& world = GetProtocolWorldServices();
    const u32 serial = player.GetSerial();

    // Whoever enters may switch god mode on.
    player.SetFlag(kPlayerGodRights, true);

    SendSmall(player, [&](PacketWriter& w) {
        BuildLoginConfirmPacket(w, player, world.Facing(player));
    });
    connection.loggedIn = 1;

    player.EnterWorld(&connection);  // runs trigger "online"
    if (!StillThere(serial, player)) return;

    world.RestoreHeldObject(player);
    if (!StillThere(serial, player)) return;

    const u8* war = player.GetWarModeBytes();
    SendSmall(player, [&](PacketWriter& w) {
        BuildWarModePacket(w, war[0], war[1], war[2], war[3]);
    });

    // The vitals are kept by the mobile rules; the mobile packets carry what the world has.
    std::vector<CPlayer*> nearby;
    GetPlayerRegistry().CollectInRange(nearby, player.GetLocation(), kEntryShowRadius);
    player.SendToPlayers(nearby, 0);

    world.RestoreTrades(player);
    if (!StillThere(serial, player)) return;

    // The start-up text "login.txt" comes with the text commands; none is loaded yet.

    SendSmall(player, [](PacketWriter& w) { BuildLoginCompletePacket(w); });

    world.UpdateGuardZone(player);
    world.ResendCombatTarget(player);
    if (!StillThere(serial, player)) return;

    int season = 0;
    int temperature = 0;
    world.SeasonAndTemperature(player.GetLocation(), season, temperature);
    SendSmall(player, [&](PacketWriter& w) {
        BuildWeatherPacket(w, kWeatherSeasonType, season, temperature);
    });
    int hour = 0;
    int minute = 0;
    int pulse = 0;
    world.GameClock(hour, minute, pulse);
    SendSmall(player, [&](PacketWriter& w) { BuildTimePacket(w, hour, minute, pulse); });
}
