#include "server/net/sound_senders.h"

#include "core/location.h"
#include "core/packet_writer.h"
#include "server/net/effect_packets.h"
#include "server/net/packet_senders.h"
#include "server/world/base_object.h"
#include "server/world/player.h"

void PlaySoundAtObject(const CBaseObject& object, int sound, int extra) {
    const Location at = object.GetWorldLocation();
    u8 buffer[kSoundLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildSoundPacket(w, kSoundAtPlace, sound, extra, at);
    SendPacketToPlayersInRange(w, at, kObjectSoundRange);
}

void PlaySoundAtLocation(const Location& at, int sound, int extra) {
    u8 buffer[kSoundLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildSoundPacket(w, kSoundAtPlace, sound, extra, at);
    SendPacketToNearestPlayers(w, at, kPlaceSoundListeners);
}

void PlaySoundForPlayer(CPlayer& player, int sound, int extra) {
    BuildAndSendToPlayer<kSoundLength>(player, [&](PacketWriter& w) {
        BuildSoundPacket(w, kSoundAtPlace, sound, extra, player.GetLocation());
    });
}

void PlayAmbientSoundForPlayer(CPlayer& player, int sound) {
    BuildAndSendToPlayer<kSoundLength>(player, [&](PacketWriter& w) {
        BuildSoundPacket(w, kAmbientSound, sound, 0, player.GetLocation());
    });
}

void PlayMusicForPlayer(CPlayer& player, int music) {
    BuildAndSendToPlayer<kMusicLength>(player,
                                       [&](PacketWriter& w) { BuildMusicPacket(w, music); });
}

void PlayMusicAtObject(const CBaseObject& object, int music) {
    u8 buffer[kMusicLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildMusicPacket(w, music);
    SendPacketToPlayersInRange(w, object.GetWorldLocation(), kObjectSoundRange);
}
