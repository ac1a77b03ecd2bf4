#pragma once
// The small requests a playing client sends about its own character: walking, god mode,
// attacking, looking, resynchronising, the death menu, status, target answers, war mode and
// keep-alive. Each reads its fields through the bounded reader and stops at the first failed
// read (the framer then closes the connection); a refused request gets no answer.
#include "platform/types.h"

class CMobile;
class CPlayer;
class PacketReader;

// The marker a status request must carry.
inline constexpr u32 kStatusRequestMarker = 0xEDEDEDED;
// How far the status and attack requests look for their mobile.
inline constexpr int kRequestRadius = 18;
// The status request types.
enum StatusRequestType : u8 {
    kStatusGraphicResources = 2,
    kStatusResourceTypes = 3,
    kStatusMobile = 4,
    kStatusAllSkills = 5,
    kStatusOneSkill = 6,
    kStatusResourceEntries = 253,
};

void HandleWalkRequest(CPlayer& player, PacketReader& packet);     // 0x02
void HandleGodModeRequest(CPlayer& player, PacketReader& packet);  // 0x04
void HandleAttackRequest(CPlayer& player, PacketReader& packet);   // 0x05
void HandleUseRequest(CPlayer& player, PacketReader& packet);      // 0x06
void HandleLookAt(CPlayer& player, PacketReader& packet);          // 0x09
void HandleResyncRequest(CPlayer& player, PacketReader& packet);   // 0x22
void HandleDeathChoice(CPlayer& player, PacketReader& packet);     // 0x2C
void HandleStatusRequest(CPlayer& player, PacketReader& packet);   // 0x34
void HandleTargetResponse(CPlayer& player, PacketReader& packet);  // 0x6C
void HandleWarModeRequest(CPlayer& player, PacketReader& packet);  // 0x72
void HandleKeepAlive(CPlayer& player, PacketReader& packet);       // 0x73

// 0x11 about `mobile` to `viewer` (the detailed form when `full`); nothing while the world is
// loading.
void SendMobileStatus(CMobile& mobile, CPlayer& viewer, bool full);
// 0x3A type 0: every skill of the player, to it.
void SendAllSkills(CPlayer& player);
