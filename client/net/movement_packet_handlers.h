#pragma once
// The handlers of the player's steps (acknowledgement, refusal, the server's path request),
// following, light levels, game time, weather, sound, music, mobile animations, graphic and drag
// effects, effect sequences and the ping.
#include <cstddef>
#include <vector>

#include "client/world/world_effects.h"
#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

class MovementPacketHandlers {
public:
    explicit MovementPacketHandlers(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnMoveReject(const u8* packet, size_t length);     // 0x21
    void OnMoveAck(const u8* packet, size_t length);        // 0x22
    void OnServerStep(const u8* packet, size_t length);     // 0x97
    void OnPathfind(const u8* packet, size_t length);       // 0x38
    void OnFollow(const u8* packet, size_t length);         // 0x15
    void OnPersonalLight(const u8* packet, size_t length);  // 0x4E
    void OnGlobalLight(const u8* packet, size_t length);    // 0x4F
    void OnGameTime(const u8* packet, size_t length);       // 0x5B
    void OnWeather(const u8* packet, size_t length);        // 0x65
    void OnSound(const u8* packet, size_t length);          // 0x54
    void OnMusic(const u8* packet, size_t length);          // 0x6D
    void OnAnimation(const u8* packet, size_t length);      // 0x6E
    void OnGraphicEffect(const u8* packet, size_t length);  // 0x70
    void OnDragEffect(const u8* packet, size_t length);     // 0x23
    void OnSequence(const u8* packet, size_t length);       // 0x7B
    void OnPing(const u8* packet, size_t length);           // 0x73

    int gameHour = 0, gameMinute = 0, gameSecond = 0;
    bool recordingSequence = false;
    std::vector<EffectRecord> sequence;

private:
    // The one byte of a packet's body; false (the packet refused) when it is short.
    bool ReadOneByte(const u8* packet, size_t length, u8& value);

    ClientLink& link_;
};
