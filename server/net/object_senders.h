#pragma once
// World objects shown to players, built and sent here: an object as one viewer sees it, a
// player's own mobile to that player, an object's removal from the view of a list of players.
// The world's rules report through PacketServices; the player's own rules call these.
#include <vector>

#include "platform/types.h"

class CItem;
class CMobile;
class CPlayer;

// The object as `viewer` sees it, when it is shown on its own (CItem::IsShownAlone): an item
// by where it is (0x1A lying in the world, 0x2E worn, 0x25 in a container); a mobile through
// the packet services in force (PacketServices::SendMobile: 0x77, or 0x78 with `full`, with
// the notoriety the viewer sees; 0x20 to itself).
void SendObjectTo(CPlayer& viewer, CItem& object, bool full);
// The same for each viewer of the list, in list order.
void SendObjectToPlayers(const std::vector<CPlayer*>& viewers, CItem& object, bool full);
// 0x78: the mobile with what it wears, with the notoriety `viewer` sees, even when the viewer
// is the mobile itself: a player's own client learns what its character wears this way.
void SendMobileIncoming(CPlayer& viewer, const CMobile& mobile);
// 0x20: the player's own mobile, to that player.
void SendPlayerUpdate(CPlayer& player);
// 0x1D: the object of that serial leaves the view of every player of the list.
void SendRemovalToPlayers(const std::vector<CPlayer*>& players, u32 serial);
