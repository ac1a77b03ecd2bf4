#pragma once
// Turns the bytes a CUserSock received into packets and hands each to its handler. A
// connection that has not entered the world yet is kept to the login packets: any other id
// marks it for closing, and a creation or play request must carry the login marker.
#include "platform/types.h"

class CUserSock;
class PacketReader;

// The login marker that follows the header of 0x00 and 0x5D.
inline constexpr u32 kLoginMarker = 0xEDEDEDED;

// Whether an id passes the filter of a connection that has not entered the world.
bool IsPreLoginId(u8 id);
// Whether the 32-bit field right after the header of a whole packet is the login marker.
bool HasLoginMarker(const u8* packet, size_t length);

// Frames every whole packet at the head of the socket's buffer, dispatches it and keeps the
// unframed rest at the start of the buffer. Stops at a refused packet or a marker that is
// wrong (the socket is marked for closing and the packet stays), at an incomplete packet, or
// when a handler marked the socket. Bytes without a packet length are counted in
// badPacketCount and dropped one at a time.
void FrameUserSockInput(CUserSock& socket);

// After a handler: a packet it read past its end closes the socket, with one log line naming
// the id and the offset. Answers whether the packet was whole.
bool CheckHandlerRead(CUserSock& socket, const PacketReader& packet);
