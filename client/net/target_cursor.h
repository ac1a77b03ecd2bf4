#pragma once
// The server's target cursor (0x6C) and the client's answer: the cursor id, type and flag byte
// of the last cursor, the pick of an object (TargetPicked) and the player's cancel
// (CancelTarget), each sent as a target answer that echoes the id and the flag byte.
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

    // The player picked an object while the cursor is up: land answers its location, a server
    // object its serial and place, a map static its place and graphic; then the cursor ends.
    // Nothing without an object, for an object of no such kind, or with no cursor up.
    void TargetPicked(const CDisplayObject* object);
    // The player cancels the cursor: the answer names nothing (x = y = -1) and the cursor
    // ends. Nothing with no cursor up.
    void CancelTarget();

    bool Up() const;
    u32 cursorId = 0;
    u8 cursorType = 0;
    u8 cursorFlag = 0;

private:
    void Answer(u8 kind, u32 serial, int x, int y, int z, u16 graphic);
    // Sends the answer and ends the cursor.
    void Finish(const TargetResponse& response);
    ClientLink& link_;
};
