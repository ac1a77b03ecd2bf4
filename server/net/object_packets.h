#pragma once
// Builders of the packets that describe world objects and mobiles to a client: items in the
// world, mobiles coming into view or changing, the player's own mobile, removal, step answers,
// the status window, stat bars, worn items, corpse equipment, deaths, skills, the paperdoll.
//
// Each builder writes one whole packet through the caller's writer and answers w.Ok(): a
// packet that would pass the writer's capacity or 65,535 bytes is not to be sent, and is
// logged. Values the world model does not keep yet are parameters (see each builder).
#include <vector>

#include "core/packet_writer.h"
#include "platform/types.h"

class CItem;
class CMobile;
class CPlayer;

// What the packets list for an item that the world model does not count yet; the caller's
// world supplies it.
class ItemPacketValues {
public:
    virtual ~ItemPacketValues() = default;
    // The resource units an item of a stackable graphic (tile flag 0x800) stands for.
    virtual int ResourceUnits(const CItem& item) const = 0;
    // The spellbook entry of an item inside a spellbook (its graphic's tile-data word).
    virtual int SpellbookEntry(const CItem& item) const = 0;
    // The multi type of the master item of a multi; -1 for any other item.
    virtual int MultiType(const CItem& item) const = 0;
};

// The amount 0x1A and 0x25 carry for an item outside a spellbook: its resource units for a
// stackable graphic, else its packet amount.
int ItemPacketAmount(const CItem& item, const ItemPacketValues& values);

// 0x1A: an item in the world; optional fields only when they are not their default.
constexpr size_t kMaxObjectInfoLength = 3 + 4 + 2 + 1 + 2 + 2 + 2 + 1 + 1 + 2 + 1;
bool BuildObjectInfoPacket(PacketWriter& w, const CItem& item, const ItemPacketValues& values);

// 0x1B: the world entry's confirmation of the player's own mobile. The world's corner and
// size and the server id come from the server configuration.
constexpr size_t kLoginConfirmLength = 37;
bool BuildLoginConfirmPacket(PacketWriter& w, const CPlayer& player, int direction);

// 0x1D: an object leaves the view.
constexpr size_t kDeleteObjectLength = 5;
bool BuildDeleteObjectPacket(PacketWriter& w, u32 serial);

// 0x20: the player's own mobile.
constexpr size_t kPlayerUpdateLength = 19;
bool BuildPlayerUpdatePacket(PacketWriter& w, const CPlayer& player, int direction);

// 0x21 and 0x22: a step refused (with where the mobile stands) or accepted.
constexpr size_t kMoveRejectLength = 8;
bool BuildMoveRejectPacket(PacketWriter& w, int sequence, int x, int y, int direction, int z);
constexpr size_t kMoveAckLength = 3;
bool BuildMoveAckPacket(PacketWriter& w, int sequence, int notoriety);

// 0x77: a mobile moved or changed, with its notoriety toward the viewer.
constexpr size_t kMobileUpdateLength = 17;
bool BuildMobileUpdatePacket(PacketWriter& w, const CMobile& mobile, int direction, int notoriety);

// 0x78: a mobile comes into view, with what it wears on layers 1-28.
constexpr size_t kMaxMobileIncomingLength = 3 + 16 + 28 * 9 + 4;
bool BuildMobileIncomingPacket(PacketWriter& w, const CMobile& mobile, int direction,
                               int notoriety);

// 0x2E: an item worn on a layer.
constexpr size_t kWornItemLength = 15;
bool BuildWornItemPacket(PacketWriter& w, const CItem& item, const CMobile& wearer, int layer);

// 0x89: what a corpse wears, its 26 slots (null for an empty one).
constexpr int kCorpseSlotCount = 26;
constexpr size_t kMaxCorpseEquipmentLength = 3 + 4 + kCorpseSlotCount * 5 + 1;
bool BuildCorpseEquipmentPacket(PacketWriter& w, u32 corpseSerial,
                                CItem* const (&slots)[kCorpseSlotCount]);

// 0xAF: a mobile died and left a corpse.
constexpr size_t kMobileDeathLength = 13;
bool BuildMobileDeathPacket(PacketWriter& w, u32 mobileSerial, u32 corpseSerial, u32 flag);

// The vitals of a mobile (kept by the mobile rules, not by the world objects yet).
struct MobileVitals {
    int hits = 0, maxHits = 0;
    int mana = 0, maxMana = 0;
    int fatigue = 0, maxFatigue = 0;
};

// What the detailed status window shows beyond the world objects' own fields.
struct MobileStatusValues {
    MobileVitals vitals;
    int sex = 0;                 // the player's sex byte; 0 for anything else
    int stats[3] = {};           // strength, dexterity, intelligence
    u32 gold = 0;                // bank gold of a shopkeeper, else the gold carried
    int armour = 0;              // combat armour class, 0-9999
    bool isPetOfViewer = false;  // an NPC that is the viewer's pet may be renamed
};

// 0x11: the status window of a mobile for a viewer.
constexpr size_t kMaxStatusLength = 66;
bool BuildStatusPacket(PacketWriter& w, const CMobile& mobile, bool detailed,
                       const MobileStatusValues& values);

// 0x2D: all three bars.
constexpr size_t kFullStatsLength = 17;
bool BuildFullStatsPacket(PacketWriter& w, u32 serial, const MobileVitals& vitals);

// 0xA1, 0xA2, 0xA3: one bar (maximum, current).
constexpr size_t kStatBarLength = 9;
bool BuildHitsPacket(PacketWriter& w, u32 serial, int maximum, int current);
bool BuildManaPacket(PacketWriter& w, u32 serial, int maximum, int current);
bool BuildFatiguePacket(PacketWriter& w, u32 serial, int maximum, int current);

// One skill of the skill table as the names packet lists it.
struct SkillNameEntry {
    bool valid = false;
    bool directlyUsable = false;
    const char* name = "";
};

// The skill packets grow with the skill table, up to the protocol's limit.
constexpr size_t kMaxSkillPacketLength = PacketWriter::kMaxPacketLength;
// 0x3A type 0xFE: the names of skills 0 .. count - 1 (the count is sent as given; numbers that
// are invalid or past the table are left out). Names are cut to 254 characters.
bool BuildSkillNamesPacket(PacketWriter& w, int count, const std::vector<SkillNameEntry>& table);
// 0x3A with list type `type` (0 for the full list): skill i + 1 and its effective value, for
// each of `values`, then a 0.
bool BuildSkillListPacket(PacketWriter& w, u8 type, const std::vector<int>& values);
// 0x3A type 0xFF: one skill's value.
constexpr size_t kSkillUpdateLength = 8;
bool BuildSkillUpdatePacket(PacketWriter& w, int skill, int value);

// 0x88: the paperdoll with its 60-byte title.
constexpr size_t kPaperdollLength = 66;
bool BuildPaperdollPacket(PacketWriter& w, u32 serial, const char* title, int warMode);
