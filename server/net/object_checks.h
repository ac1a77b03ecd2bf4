#pragma once
// Checks on serials taken from client packets. A serial may name an object that a script
// deleted meanwhile, or, once its number has been issued again, another object: a check
// answers the object only when the serial still names that very object (and it is of the
// kind asked for), else null.
#include "platform/types.h"

class CContainer;
class CItem;
class CMapItem;
class CMobile;
class CNPC;
class CPlayer;
class CWeapon;

CItem* IsObjectAlive(CItem* object, u32 serial);
CMobile* IsMobileAlive(CItem* object, u32 serial);
CPlayer* IsPlayerAlive(CItem* object, u32 serial);
CNPC* IsNpcAlive(CItem* object, u32 serial);
CWeapon* IsWeaponAlive(CItem* object, u32 serial);
CContainer* IsContainerAlive(CItem* object, u32 serial);
CMapItem* IsMapAlive(CItem* object, u32 serial);

// The farthest (Chebyshev, x and y) a player reaches an object in the world or its holder.
inline constexpr int kReachTiles = 18;

// Clears `serial` (sets it to 0) when the player may not reach the object it names: none
// exists; it lies inside another mobile (allowed only with `allowOtherMobiles`, and then only
// for a container outside a secure trade or that mobile's backpack); or its outermost holder
// is more than 18 tiles away. A player in edit mode reaches everything, and everything inside
// what the player carries is within reach.
void CheckReach(CPlayer& player, u32& serial, bool allowOtherMobiles);
