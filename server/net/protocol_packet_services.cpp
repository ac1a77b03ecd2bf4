#include "server/net/protocol_packet_services.h"

#include <algorithm>
#include <vector>

#include "core/packet_writer.h"
#include "server/net/container_packets.h"
#include "server/net/effect_packets.h"
#include "server/net/object_senders.h"
#include "server/net/packet_senders.h"
#include "server/net/player_requests.h"
#include "server/net/protocol_world_services.h"
#include "server/net/sound_senders.h"
#include "server/net/speech.h"
#include "server/net/text_packets.h"
#include "server/net/world_packet_values.h"
#include "server/world/container.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

namespace {

// Sends the built packet to every player within 18 tiles of `at` but `except`.
void SendNear(const PacketWriter& w, const Location& at, const CPlayer* except = nullptr) {
    SendPacketToPlayersInRange(w, at, kObjectPacketRadius, except);
}

// Sends the built packet to every player within 18 tiles of at least one of the places, once.
void SendNearAny(const PacketWriter& w, const std::vector<Location>& places) {
    switch (places.size()) {
        case 0:
            return;
        case 1:
            SendNear(w, places[0]);
            return;
        case 2:
            SendPacketToRangeOfEither(w, places[0], places[1], kObjectPacketRadius, nullptr);
            return;
        default:
            SendPacketToNearAnyOf(w, places, kObjectPacketRadius);
    }
}

}  // namespace

void ProtocolPacketServices::SendObjectInfo(CItem* item, const Location& at) {
    if (!item) return;
    u8 buffer[kMaxObjectInfoLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildObjectInfoPacket(w, *item, GetWorldItemPacketValues());
    SendNear(w, at);
}

void ProtocolPacketServices::SendDeleteObject(u32 serial, const Location& at, CPlayer* except) {
    u8 buffer[kDeleteObjectLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildDeleteObjectPacket(w, serial);
    SendNear(w, at, except);
}

void ProtocolPacketServices::SendDeleteObjectTo(const std::vector<CPlayer*>& players, u32 serial) {
    SendRemovalToPlayers(players, serial);
}

void ProtocolPacketServices::SendWornItem(CItem* item, CMobile* wearer, int layer) {
    if (!item || !wearer) return;
    u8 buffer[kWornItemLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildWornItemPacket(w, *item, *wearer, layer);
    SendNear(w, wearer->GetWorldLocation());
}

void ProtocolPacketServices::SendContainerItem(CItem* item, const Location& at) {
    const CContainer* container =
        item && item->GetContainer() ? item->GetContainer()->AsContainer() : nullptr;
    if (!container) return;
    u8 buffer[kContainerItemLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildContainerItemPacket(w, *item, *container, GetWorldItemPacketValues());
    SendNear(w, at);
}

void ProtocolPacketServices::SendCorpseEquipment(CItem* corpse, const Location& at) {
    CCorpse* body = corpse && corpse->IsCorpse() ? static_cast<CCorpse*>(corpse) : nullptr;
    if (!body) return;
    u8 buffer[kMaxCorpseEquipmentLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildCorpseEquipmentPacket(w, body->GetSerial(), body->worn);
    SendNear(w, at);
}

void ProtocolPacketServices::SendContainerContents(CItem* container, const Location& at) {
    const CContainer* holder = container ? container->AsContainer() : nullptr;
    if (!holder) return;
    std::vector<u8> buffer(kMaxContainerContentsLength);
    PacketWriter w(buffer.data(), buffer.size());
    BuildContainerContentsPacket(w, *holder, false, false, GetWorldItemPacketValues());
    SendNear(w, at);
}

void ProtocolPacketServices::SendPlayerStatus(CPlayer* player) {
    if (player) SendMobileStatus(*player, *player, true);
}

void ProtocolPacketServices::SendSystemMessage(CPlayer* player, const char* text) {
    if (player && text) ::SendSystemMessage(*player, text);
}

void ProtocolPacketServices::SendObjectText(CPlayer* player, CItem* speaker, const char* text,
                                            int hue) {
    if (!player || !speaker || !text) return;
    u8 buffer[kMaxTextMessageLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildTextMessagePacket(w, speaker, kSpeechSystem, text, hue, kDefaultSpeechFont, false);
    SendPacketToPlayer(player, w);
}

void ProtocolPacketServices::SendSpeech(CBaseObject* speaker, const char* text, int hue, int font,
                                        int type) {
    if (!speaker || !text) return;
    u8 buffer[kMaxTextMessageLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildTextMessagePacket(w, speaker, type, text, hue, font, false);
    Location from = speaker->GetWorldLocation();
    from.z = static_cast<s16>(from.z + speaker->GetHeight() / 2);
    SendPacketToPlayersInSight(w, from, kObjectPacketRadius);
}

void ProtocolPacketServices::SendTextTo(CPlayer* player, CBaseObject* speaker, const char* text, int hue,
                                        int type) {
    if (!player || !speaker || !text) return;
    u8 buffer[kMaxTextMessageLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildTextMessagePacket(w, speaker, type, text, hue, kDefaultSpeechFont, false);
    SendPacketToPlayer(player, w);
}

void ProtocolPacketServices::SendSound(int sound, const Location& at) {
    u8 buffer[kSoundLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildSoundPacket(w, kSoundAtPlace, sound, 0, at);
    SendNear(w, at);
}

void ProtocolPacketServices::TellSelf(CPlayer* player, const char* text) {
    if (!player || !text) return;
    u8 buffer[kMaxTextMessageLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildTextMessagePacket(w, player, kSpeechNormal, text, kDefaultSpeechHue, kDefaultSpeechFont,
                           false);
    SendPacketToPlayer(player, w);
}

void ProtocolPacketServices::SendVitals(CPlayer* to, CMobile* mobile, int kind) {
    if (!to || !mobile) return;
    u8 buffer[kFullStatsLength];
    PacketWriter w(buffer, sizeof buffer);
    const u32 serial = mobile->GetSerial();
    switch (kind) {
        case 0:
            BuildHitsPacket(w, serial, mobile->GetMaxHits(), mobile->GetCurHits());
            break;
        case 1:
            BuildManaPacket(w, serial, mobile->GetMaxMana(), mobile->GetCurMana());
            break;
        case 2:
            BuildFatiguePacket(w, serial, mobile->GetMaxFatigue(), mobile->GetCurFatigue());
            break;
        case 3: {
            MobileVitals v;
            v.hits = mobile->GetCurHits();
            v.maxHits = mobile->GetMaxHits();
            v.mana = mobile->GetCurMana();
            v.maxMana = mobile->GetMaxMana();
            v.fatigue = mobile->GetCurFatigue();
            v.maxFatigue = mobile->GetMaxFatigue();
            BuildFullStatsPacket(w, serial, v);
            break;
        }
        default:
            return;
    }
    SendPacketToPlayer(to, w);
}

void ProtocolPacketServices::SendSkillUpdate(CPlayer*, int) {
    static bool logged = false;
    LogProtocolNotBuilt(logged, "the skill update packet of the world is not built yet");
}

void ProtocolPacketServices::SendMobile(CPlayer* viewer, CMobile* mobile, bool full) {
    if (!viewer || !mobile) return;
    if (mobile == viewer) {
        SendPlayerUpdate(*viewer);
        return;
    }
    if (full) {
        SendMobileIncoming(*viewer, *mobile);
        return;
    }
    u8 buffer[kMobileUpdateLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildMobileUpdatePacket(w, *mobile, mobile->GetDirection(), mobile->GetNotorietyFor(viewer));
    SendPacketToPlayer(viewer, w);
}

void ProtocolPacketServices::SendObjectTo(CPlayer* viewer, CItem* object, bool full) {
    if (viewer && object) ::SendObjectTo(*viewer, *object, full);
}

void ProtocolPacketServices::NoteStaticsChanged(int) {
    static bool logged = false;
    LogProtocolNotBuilt(logged, "the world-data change log is not built yet");
}

void ProtocolPacketServices::SendGroupNotice(CPlayer* player, u32 first, u32 second) {
    if (!player) return;
    u8 buffer[kGroupNoticeLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildGroupNoticePacket(w, first, second);
    SendPacketToPlayer(player, w);
}

void ProtocolPacketServices::SendMobileDeath(u32 mobile, u32 corpse, u32 flag,
                                             const Location& at, CPlayer* except) {
    u8 buffer[kMobileDeathLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildMobileDeathPacket(w, mobile, corpse, flag);
    SendNear(w, at, except);
}

void ProtocolPacketServices::SendAllSkills(CMobile* mobile) {
    if (CPlayer* player = mobile ? mobile->AsPlayer() : nullptr) ::SendAllSkills(*player);
}

void ProtocolPacketServices::SendMobileAction(CMobile* mobile, int action, int frames,
                                              int repeats, bool forward, bool repeat, int delay,
                                              int range) {
    if (!mobile) return;
    u8 buffer[kAnimationLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildAnimationPacket(w, mobile->GetSerial(), action, frames, repeats, forward ? 0 : 1,
                         repeat ? 1 : 0, delay);
    SendPacketToPlayersInRange(w, mobile->GetWorldLocation(), range, nullptr);
}

void ProtocolPacketServices::SendGraphicEffect(const GraphicEffect& effect,
                                               const std::vector<Location>& near) {
    u8 buffer[kGraphicEffectLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildGraphicEffectPacket(w, effect);
    SendNearAny(w, near);
}

void ProtocolPacketServices::SendSequenceMarker(int value, const std::vector<Location>& near) {
    u8 buffer[kSequenceLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildSequencePacket(w, value);
    SendNearAny(w, near);
}

void ProtocolPacketServices::SendAnimation(const MobileAnimation& a,
                                           const std::vector<Location>& near) {
    u8 buffer[kAnimationLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildAnimationPacket(w, a.serial, a.action, a.frames, a.repeats, a.direction, a.repeatFlag,
                         a.delay);
    SendNearAny(w, near);
}

void ProtocolPacketServices::SendSoundToNearest(int sound, int extra, const Location& at) {
    PlaySoundAtLocation(at, sound, extra);
}

void ProtocolPacketServices::SendSoundToPlayer(CPlayer* player, int sound, int extra) {
    if (player) PlaySoundForPlayer(*player, sound, extra);
}

void ProtocolPacketServices::SendSwing(CPlayer* player, u32 attacker, u32 defender) {
    if (!player) return;
    BuildAndSendToPlayer<kSwingLength>(
        *player, [&](PacketWriter& w) { BuildSwingPacket(w, 0, attacker, defender); });
}
