#pragma once
// Builders of the packets a client shows or plays without changing its model of objects:
// graphic effects, animations, sounds and music, light, weather, the game clock, server
// status, combat signals, the connection signals of the world entry and god mode, friend and
// group notices and the refresh after a world edit. One writer per packet; each builder
// answers w.Ok() (a packet past its buffer is not to be sent, and is logged).
#include <string>
#include <vector>

#include "core/location.h"
#include "core/packet_writer.h"
#include "platform/types.h"
#include "server/world/effect_reports.h"

// 0x70: a graphic effect between two places.
constexpr size_t kGraphicEffectLength = 28;
bool BuildGraphicEffectPacket(PacketWriter& w, const GraphicEffect& effect);

// 0x6E: a mobile's animation.
constexpr size_t kAnimationLength = 14;
bool BuildAnimationPacket(PacketWriter& w, u32 serial, int action, int p1, int p2, int p3, int p4,
                          int p5);

// 0x54: a sound at a place (mode 1) or a player's ambient sound (mode 0). Sound ids above
// 0xFFFF are sent as their low 16 bits.
constexpr int kSoundAtPlace = 1;
constexpr int kAmbientSound = 0;
constexpr size_t kSoundLength = 12;
bool BuildSoundPacket(PacketWriter& w, int mode, int sound, int extra, const Location& at);

// 0x6D: music.
constexpr size_t kMusicLength = 3;
bool BuildMusicPacket(PacketWriter& w, int music);

// 0x4E, 0x4F: a mobile's personal light, the global light.
constexpr size_t kPersonalLightLength = 6;
bool BuildPersonalLightPacket(PacketWriter& w, u32 serial, int level);
constexpr size_t kGlobalLightLength = 2;
bool BuildGlobalLightPacket(PacketWriter& w, int level);

// 0x65: weather (type 254 sets season and temperature).
constexpr size_t kWeatherLength = 4;
bool BuildWeatherPacket(PacketWriter& w, int type, int particles, int temperature);

// 0x5B: the game clock: hour, minute and the pulse within the minute (0-19).
constexpr size_t kTimeLength = 4;
bool BuildTimePacket(PacketWriter& w, int hour, int minute, int pulseInMinute);

// 0x63: server status (nothing sends it). The counts are given by the caller.
constexpr size_t kServerStatusLength = 13;
bool BuildServerStatusPacket(PacketWriter& w, int playersOnline, int playersInGrid, int liveNpcs,
                             int memoryValue);

// Combat and war.
constexpr size_t kSwingLength = 10;
bool BuildSwingPacket(PacketWriter& w, int flag, u32 attacker, u32 defender);
constexpr size_t kAttackOkLength = 5;
bool BuildAttackOkPacket(PacketWriter& w, u32 serial);
constexpr size_t kAttackEndedLength = 1;
bool BuildAttackEndedPacket(PacketWriter& w);
constexpr size_t kCombatTargetLength = 5;
bool BuildCombatTargetPacket(PacketWriter& w, u32 serial);
constexpr size_t kWarModeLength = 5;
bool BuildWarModePacket(PacketWriter& w, int flag, int b2, int b3, int b4);
// 0x2C: 0 when the player died, 1 when resurrected.
constexpr size_t kDeathStatusLength = 2;
bool BuildDeathStatusPacket(PacketWriter& w, int status);

// Connection and other signals.
constexpr size_t kGodModeLength = 2;
bool BuildGodModePacket(PacketWriter& w, bool on);
constexpr size_t kLoginCompleteLength = 1;
bool BuildLoginCompletePacket(PacketWriter& w);
constexpr size_t kOneByteSignalLength = 2;
bool BuildPausePacket(PacketWriter& w, int value);         // 0x33
bool BuildPingPacket(PacketWriter& w, int value);          // 0x73
bool BuildSignal97Packet(PacketWriter& w, int value);      // 0x97
bool BuildPlayerSignalPacket(PacketWriter& w, int value);  // 0x32
constexpr size_t kWeaponSignalLength = 5;
bool BuildWeaponSignalPacket(PacketWriter& w, u32 value);  // 0x45
constexpr size_t kEditRefreshLength = 2;
bool BuildEditRefreshPacket(PacketWriter& w);
constexpr size_t kGroupNoticeLength = 9;
bool BuildGroupNoticePacket(PacketWriter& w, u32 a, u32 b);
constexpr size_t kFriendStatusLength = 3;
bool BuildFriendStatusPacket(PacketWriter& w, int index, bool online);

// One entry of a friend list, as the player registry resolves it.
struct FriendEntry {
    bool found = false;  // a player with the serial exists
    std::string name;
    u32 serial = 0;
    bool letsSee = false;  // the friend lets the list's owner see its online state
};
// 0x69: a friend list (nothing sends it): kind 0 one byte 0; kinds 1 and 2 names and
// serials; kind 3 whether each friend lets the player see its state. At most 255 entries.
constexpr size_t kMaxFriendListLength = PacketWriter::kMaxPacketLength;
bool BuildFriendListPacket(PacketWriter& w, int kind, const std::vector<FriendEntry>& entries);
