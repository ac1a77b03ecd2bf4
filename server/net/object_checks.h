#pragma once
// Checks on serials taken from client packets. A serial may name an object that a script
// deleted meanwhile, or, once its number has been issued again, another object: a check
// answers the object only when the serial still names that very object (the world's
// IsObjectAlive) and it is of the kind asked for, else null.
#include "platform/types.h"

class CContainer;
class CItem;
class CMapItem;
class CMobile;
class CNPC;
class CPlayer;
class CWeapon;

CMobile* IsMobileAlive(u32 serial, const CItem* object);
CPlayer* IsPlayerAlive(u32 serial, const CItem* object);
CNPC* IsNpcAlive(u32 serial, const CItem* object);
CWeapon* IsWeaponAlive(u32 serial, const CItem* object);
CContainer* IsContainerAlive(u32 serial, const CItem* object);
CMapItem* IsMapAlive(u32 serial, const CItem* object);

// The farthest (Chebyshev, x and y) a player reaches an object in the world or its holder.
inline constexpr int kReachTiles = 18;

// Clears `serial` (sets it to 0) when the player may not reach the object it names: none
// exists; it lies inside another mobile (allowed only with `allowOtherMobiles`, and then only
// for a container outside a secure trade or that mobile's backpack); or its outermost holder
// is more than 18 tiles away. A player in edit mode reaches everything, and everything inside
// what the player carries is within reach.
void CheckReach(CPlayer& player, u32& serial, bool allowOtherMobiles);
