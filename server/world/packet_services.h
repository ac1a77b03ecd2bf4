#pragma once
// What the world model asks of the server protocol: the object packets that tell players
// about a change in the world. Each call names the packet and the place; the protocol builds
// it and sends it to every player within 18 tiles (Chebyshev) of that place, through the
// player registry. The world reports through it and never builds a packet itself.
//
// This is an interface the world owns. The protocol implements it (ProtocolPacketServices,
// server/net/protocol_packet_services.h) and the server's start-up installs it; until then
// the one in force is this class itself, which sends nothing (no players yet).
#include <vector>

#include "core/location.h"
#include "platform/types.h"
#include "server/world/effect_reports.h"

class CBaseObject;
class CItem;
class CMobile;
class CPlayer;

class PacketServices {
public:
    virtual ~PacketServices() = default;
    // 0x1A: an item in the world, to the players in range of `at`.
    virtual void SendObjectInfo(CItem* item, const Location& at);
    // 0x1D: the object is gone, to the players in range of `at` (`except` is left out).
    virtual void SendDeleteObject(u32 serial, const Location& at, CPlayer* except);
    // 0x1D: the object is gone, to these players only (those that lost sight of it).
    virtual void SendDeleteObjectTo(const std::vector<CPlayer*>& players, u32 serial);
    // 0x2E: an item worn on a layer, to the players in range of the wearer.
    virtual void SendWornItem(CItem* item, CMobile* wearer, int layer);
    // 0x25: an item put into a container, to the players in range of its world location.
    virtual void SendContainerItem(CItem* item, const Location& at);
    // 0x89 and 0x3C: a corpse's worn objects and contents, to the players in range of `at`.
    virtual void SendCorpseEquipment(CItem* corpse, const Location& at);
    virtual void SendContainerContents(CItem* container, const Location& at);
    // 0x11: the status of a player's own mobile, to that player.
    virtual void SendPlayerStatus(CPlayer* player);
    // 0x1C: a text from an object to one player (message type 6, font 3): what the player
    // sees of an object he looked at.
    virtual void SendObjectText(CPlayer* player, CItem* speaker, const char* text, int hue);
    // 0x1C: what the object says, with the message type, hue and font, to every player within
    // 18 tiles who sees the object's place raised by half its height (a shout, a bark).
    virtual void SendSpeech(CBaseObject* speaker, const char* text, int hue, int font, int type);
    // 0x1C: what the object says to one player alone (font 3, the message type given).
    virtual void SendTextTo(CPlayer* player, CBaseObject* speaker, const char* text, int hue, int type);
    // 0x54: a sound at a place, to the players in range of it.
    virtual void SendSound(int sound, const Location& at);
    // A system message to one player.
    virtual void SendSystemMessage(CPlayer* player, const char* text);
    // 0x1C: a text the player's own mobile says to that player alone (refusals).
    virtual void TellSelf(CPlayer* player, const char* text);
    // 0xA1 (kind 0, hits), 0xA2 (1, mana), 0xA3 (2, fatigue), 0x2D (3, all three): the
    // mobile's vitals, to one player.
    virtual void SendVitals(CPlayer* to, CMobile* mobile, int kind);
    // 0x3A type 0xFF: one skill's value, to the player.
    virtual void SendSkillUpdate(CPlayer* player, int skill);
    // 0x77 (or 0x78 with `full`): the mobile as `viewer` sees it, with the notoriety it sees.
    virtual void SendMobile(CPlayer* viewer, CMobile* mobile, bool full);
    // The object as `viewer` sees it, when it is shown on its own (CItem::IsShownAlone): a
    // mobile by SendMobile; an item by where it is (0x1A lying in the world, 0x2E worn, 0x25
    // in a container), which this class itself does not send.
    virtual void SendObjectTo(CPlayer* viewer, CItem* object, bool full);
    // 0x3F: the statics of a cell changed (world-data change log).
    virtual void NoteStaticsChanged(int cell);
    // 0x39: the group notice with two serials, to one player.
    virtual void SendGroupNotice(CPlayer* player, u32 first, u32 second);
    // 0xAF: the mobile died and left the corpse (0: none); `flag` tells the client how it
    // falls. To the players in range of `at` (`except` is left out).
    virtual void SendMobileDeath(u32 mobile, u32 corpse, u32 flag, const Location& at,
                                 CPlayer* except);
    // 0x3A: every skill of the mobile, to it when it is a player.
    virtual void SendAllSkills(CMobile* mobile);
    // 0x6E: an action of the mobile (frames, repeats, forward or backward, repeat flag,
    // delay), to the players within `range` tiles of it.
    virtual void SendMobileAction(CMobile* mobile, int action, int frames, int repeats,
                                  bool forward, bool repeat, int delay, int range);
    // Effects and fights. `near` lists places; each goes to the players within 18 tiles of at
    // least one of them, each player once (nobody for an empty list).
    // 0x70: a graphic effect.
    virtual void SendGraphicEffect(const GraphicEffect& effect, const std::vector<Location>& near);
    // 0x7B: an effect sequence's marker (0 opens it, the end value closes it).
    virtual void SendSequenceMarker(int value, const std::vector<Location>& near);
    // 0x6E: a mobile's animation with its values as given.
    virtual void SendAnimation(const MobileAnimation& animation, const std::vector<Location>& near);
    // 0x54: a sound at a place with its extra value, to the 40 nearest players within 12 tiles.
    virtual void SendSoundToNearest(int sound, int extra, const Location& at);
    // 0x54: a sound at the player's own place, to that player alone.
    virtual void SendSoundToPlayer(CPlayer* player, int sound, int extra);
    // 0x2F: a swing of the attacker at the defender (flag 0), to one player.
    virtual void SendSwing(CPlayer* player, u32 attacker, u32 defender);
};

// The implementation in force (never null).
PacketServices& GetPacketServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
PacketServices* SetPacketServices(PacketServices* services);
