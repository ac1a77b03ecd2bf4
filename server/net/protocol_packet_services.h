#pragma once
// The world model's object packets built and sent for real: each goes to the players within
// 18 tiles of the place through the player registry, a player's status and system messages
// to that player.
#include "server/net/object_packets.h"
#include "server/world/packet_services.h"

// The radius the world's object packets reach.
inline constexpr int kObjectPacketRadius = 18;

class ProtocolPacketServices : public PacketServices {
public:
    void SendObjectInfo(CItem* item, const Location& at) override;
    void SendDeleteObject(u32 serial, const Location& at, CPlayer* except) override;
    void SendDeleteObjectTo(const std::vector<CPlayer*>& players, u32 serial) override;
    void SendWornItem(CItem* item, CMobile* wearer, int layer) override;
    void SendContainerItem(CItem* item, const Location& at) override;
    void SendCorpseEquipment(CItem* corpse, const Location& at) override;
    void SendContainerContents(CItem* container, const Location& at) override;
    void SendPlayerStatus(CPlayer* player) override;
    void SendSystemMessage(CPlayer* player, const char* text) override;
    void SendObjectText(CPlayer* player, CItem* speaker, const char* text, int hue) override;
    void SendSpeech(CBaseObject* speaker, const char* text, int hue, int font, int type) override;
    void SendTextTo(CPlayer* player, CBaseObject* speaker, const char* text, int hue, int type) override;
    void SendSound(int sound, const Location& at) override;
    void TellSelf(CPlayer* player, const char* text) override;
    void SendVitals(CPlayer* to, CMobile* mobile, int kind) override;
    // Skill values from the world say once that they are not built yet.
    void SendSkillUpdate(CPlayer* player, int skill) override;
    // 0x78 (full) or 0x77 with the mobile's facing and its notoriety toward the viewer; a
    // player viewing itself gets its own update, 0x20.
    void SendMobile(CPlayer* viewer, CMobile* mobile, bool full) override;
    // The object as the viewer sees it (SendObjectTo of object_senders.h).
    void SendObjectTo(CPlayer* viewer, CItem* object, bool full) override;
    // The world-data change log comes with the world-editing tools: says so once.
    void NoteStaticsChanged(int cell) override;
    void SendGroupNotice(CPlayer* player, u32 first, u32 second) override;
    void SendMobileDeath(u32 mobile, u32 corpse, u32 flag, const Location& at,
                         CPlayer* except) override;
    void SendAllSkills(CMobile* mobile) override;
    void SendMobileAction(CMobile* mobile, int action, int frames, int repeats, bool forward,
                          bool repeat, int delay, int range) override;
    void SendGraphicEffect(const GraphicEffect& effect, const std::vector<Location>& near) override;
    void SendSequenceMarker(int value, const std::vector<Location>& near) override;
    void SendAnimation(const MobileAnimation& animation, const std::vector<Location>& near) override;
    void SendSoundToNearest(int sound, int extra, const Location& at) override;
    void SendSoundToPlayer(CPlayer* player, int sound, int extra) override;
    void SendSwing(CPlayer* player, u32 attacker, u32 defender) override;
};
