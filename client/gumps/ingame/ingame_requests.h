#pragma once
// The requests the player's own windows send to the server: naming, taking up and using an
// object, the status and skill lists, renaming a pet and switching war mode. Each goes through
// the client's link and is dropped without one (no connection: nothing to ask).
#include <string>

#include "platform/types.h"

// 0x09: the server names the object (its answer is a label over it).
void SendLookAtRequest(u32 serial);
// 0x06: the server uses the object (on a mobile: answers with its paperdoll).
void SendUseRequest(u32 serial);
// 0x07: an object taken into the hand, with the amount taken.
void SendPickUpRequest(u32 serial, u16 amount);
// 0x34: type 4 asks for the mobile's status, type 5 for its skills.
void SendStatusRequest(u8 type, u32 serial);
// 0x75: a new name for a pet (at most 30 characters go).
void SendRenameRequest(u32 serial, const std::string& name);
// 0x72: asks for the opposite of the player's present war mode, with the fighting style the
// server last reported.
void SendWarModeToggle();
