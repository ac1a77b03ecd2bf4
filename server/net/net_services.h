#pragma once
// What the world tick asks of the server protocol and administration: the world-editing
// lock, the time packet and the process-wide world-name text.
//
// This is an interface. Until the protocol installs its implementation, the one in place is
// this class itself: nobody holds the editing lock, and the world name is "Unknown?".
#include "platform/types.h"

constexpr u8 kTimePacketId = 0x5B;
constexpr int kTimePacketLength = 4;

class NetServices {
public:
    virtual ~NetServices() = default;

    // Whether an administrator holds the world-editing lock; while held, the world tick runs
    // nothing but the lock's idle check.
    virtual bool IsEditLockHeld() { return false; }

    // Releases the editing lock when its holder has been idle for more than 600,000 ms or
    // the clock went backwards.
    virtual void CheckEditLockIdle() {}

    // Fills `buffer` (at least kTimePacketLength bytes) with the time packet: id, the game
    // clock's hour, minute and pulse within the minute, one byte each. Returns its length.
    virtual int BuildTimePacket(u8* buffer, int hour, int minute, int pulseInMinute) {
        buffer[0] = kTimePacketId;
        buffer[1] = static_cast<u8>(hour);
        buffer[2] = static_cast<u8>(minute);
        buffer[3] = static_cast<u8>(pulseInMinute);
        return kTimePacketLength;
    }

    // The world-name text: "Unknown?" until the world load names the world.
    virtual const char* GetWorldName() { return "Unknown?"; }
};

// The implementation in use. Never null.
NetServices& GetNetServices();

// Puts an implementation in place (the caller keeps it alive while installed); null puts back
// the empty one.
void SetNetServices(NetServices* services);
