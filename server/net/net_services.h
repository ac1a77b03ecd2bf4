#pragma once
// What the process frame asks of the server protocol and administration: the server's phase
// notes and start-up texts, the local connection of the built-in client and the destruction
// of every socket (main loop); the world-editing lock, the time packet sent to every player
// and the process-wide world-name text (world tick). It is also the protocol's side of the
// world load (WorldLoadServices, which the world owns).
//
// This is an interface. Until the server's start-up installs the protocol's (as far as it is
// built: LocalConnectionServices), the one in force is this class itself: no sockets, no
// players to send to, nobody holds the editing lock, and the world name is "Unknown?".
#include "platform/types.h"
#include "server/net/effect_packets.h"
#include "server/world/world_load_services.h"

class CUserSock;

// The time packet the world tick sends (0x5B).
constexpr int kTimePacketLength = static_cast<int>(kTimeLength);

class NetServices : public WorldLoadServices {
public:
    // Loads the start-up texts (login.txt, update.txt, the tips). Not built yet: says so once
    // in the log, and no text is sent at entry.
    virtual void LoadTextFiles();

    // Makes the server side of the built-in client's connection (socket value 0xBEEF, peer
    // 127.0.0.1) and keeps it as the local connection.
    virtual void CreateLocalUserSock() {}
    // The local connection, or null before CreateLocalUserSock and after DestroyAllSockets.
    virtual CUserSock* LocalUserSock() { return nullptr; }
    // Destroys every socket object; called once at shutdown.
    virtual void DestroyAllSockets() {}

    // Whether an administrator holds the world-editing lock; while held, the world tick runs
    // nothing but the lock's idle check.
    virtual bool IsEditLockHeld() { return false; }

    // Releases the editing lock when its holder has been idle for more than 600,000 ms or
    // the clock went backwards.
    virtual void CheckEditLockIdle() {}

    // Fills `buffer` (at least kTimePacketLength bytes) with the time packet 0x5B: the game
    // clock's hour, minute and pulse within the minute (0-19). Returns its length.
    virtual int BuildTimePacket(u8* buffer, int hour, int minute, int pulseInMinute);
    // Sends a packet in wire form to every player online (the time packet).
    virtual void SendToAll(const u8* packet, int length) { (void)packet, (void)length; }

    // The world-name text: "Unknown?" until the world load names the world
    // (WorldLoadServices::SetWorldName).
    virtual const char* GetWorldName() { return "Unknown?"; }
};

// The implementation in force (never null).
NetServices& GetNetServices();
// Installs an implementation (the caller keeps it alive while installed; null puts back the
// empty one); answers the previous one, or null when the empty one was in force.
NetServices* SetNetServices(NetServices* services);
