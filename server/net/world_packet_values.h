#pragma once
// The world's answers to the values the packets carry: resource units of stackable items,
// spellbook entries and multi types for the item packets; a mobile's status window and
// skill values for the status and skill packets.
#include <vector>

#include "server/net/object_packets.h"

class CMobile;
class CPlayer;

const ItemPacketValues& GetWorldItemPacketValues();

// What the status window shows of a mobile to a viewer: its vitals and stats, the player's
// sex byte, its gold (a shopkeeper's bank gold, else the gold it carries), its armour
// rating, and whether it is the viewer's pet.
MobileStatusValues StatusValuesOf(CMobile& mobile, const CPlayer& viewer);
// The effective value of each skill of the skill table, skill 0 first (empty without one).
std::vector<int> EffectiveSkillValues(const CMobile& mobile);
