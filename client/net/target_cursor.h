#pragma once
// The server's target cursor (0x6C) and the client's answer: the cursor id, type and flag byte
// of the last cursor, the pick of an object (TargetPicked) and the player's cancel
// (CancelTarget), each sent as a target answer that echoes the id and the flag byte; and the
// name request of a field that picked a mobile, which the server's name answer (0x98) fills
// and a cancelled cursor drops.
#include <cstddef>

#include "platform/types.h"

class CDisplayObject;
class ClientLink;
class ServerPacketDispatcher;
struct TargetResponse;

class TargetCursor {
public:
    explicit TargetCursor(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnTargetCursor(const u8* packet, size_t length);  // 0x6C
    // The waiting field takes the name and stops waiting; nothing when no field waits.
    void OnNameResponse(const u8* packet, size_t length);  // 0x98

    // The player picked an object while the cursor is up: land answers its location, a server
    // object its serial and place, a map static its place and graphic; then the cursor ends.
    // Nothing without an object, for an object of no such kind, or with no cursor up.
    void TargetPicked(const CDisplayObject* object);
    // The player cancels the cursor: the answer names nothing (x = y = -1), the cursor ends
    // and a field waiting for a name stops waiting. Nothing with no cursor up.
    void CancelTarget();
    // A field picked a mobile and asked the server for its name: the next 0x98 fills it.
    void AwaitName() { nameRequested = true; }

    bool Up() const;
    u32 cursorId = 0;
    u8 cursorType = 0;
    u8 cursorFlag = 0;
    bool nameRequested = false;

private:
    void Answer(u8 kind, u32 serial, int x, int y, int z, u16 graphic);
    // Sends the answer and ends the cursor.
    void Finish(const TargetResponse& response);
    ClientLink& link_;
};
