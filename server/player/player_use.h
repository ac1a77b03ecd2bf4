#pragma once
// What happens when a player uses (double-clicks) an object: the staff's paperdoll looks, the
// action delay, the reach checks, the "ooruse", "objaccess" and "use" triggers that let
// scripts take over, and the built-in behaviours for mobiles (paperdoll, mounting),
// spellbooks, containers (with snooping into another's pack) and doors. Maps, bulletin
// boards, books and game boards say once in the log that their use is not built yet.
#include "core/location.h"
#include "platform/types.h"

class CItem;
class CMobile;
class CPlayer;

// The action delay a use leaves (pulses), and the shorter one of a staff look or a snoop.
constexpr int kUseActionDelay = 4;
constexpr int kLookActionDelay = 2;
// Farther than this (Chebyshev) a plain object is out of reach; a mobile that cannot be
// ridden is looked at up to 18 tiles away.
constexpr int kUseReach = 2;
constexpr int kLookReach = 18;
// The skill that snooping tests.
constexpr int kSnoopingSkill = 28;

// The entry of a double-click (the 0x06 request, through CPlayer::UseObjectRequest): staff
// looks, the action delay, UseObject.
void UseObjectRequest(CPlayer& player, CItem* object, int flag);
// The use routine. Without a player the serial must name one. Every trigger may delete the
// object or the player: the routine stops when either no longer resolves to itself.
void UseObject(CPlayer* player, u32 playerSerial, const Location& playerAt, CItem* object,
               int flag);
// Using a mobile: one's own paperdoll (or getting off one's mount with flag 0), a human's
// paperdoll, or mounting a ridable creature standing next to the player.
void UseMobile(CPlayer& player, u32 playerSerial, const Location& playerAt, CMobile* mobile,
               int flag);
// Packet 0x88: the mobile's titled name (cut to 59 characters; another player's title loses
// its part from the last comma unless the viewer edits or the mobile is famous) and its war
// mode.
void SendPaperdoll(CPlayer& viewer, u32 viewerSerial, CMobile& mobile);
// Opens a spellbook lying in the world, held or worn by the player, or lying directly in a
// container the player wears.
void OpenSpellbook(CPlayer& player, u32 playerSerial, CItem* book);
