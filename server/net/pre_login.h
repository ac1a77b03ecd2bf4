#pragma once
// The login packets a connection may send before it enters the world (and still may after):
// create a character (0x00), play a character (0x5D), list the account's characters (0x80),
// and three that are read and have no effect (0x83, 0x84, 0x91).
#include "platform/types.h"

class CPlayer;
class CUserSock;
class PacketReader;

// Runs the handler of a login packet and answers true; false for any other id. A handler stops
// at a read past the packet's end and leaves the reader failed (the framer closes the socket).
bool HandlePreLoginPacket(CUserSock& socket, u8 id, PacketReader& packet);

void HandleCreateCharacter(CUserSock& socket, PacketReader& packet);
void HandlePlayCharacter(CUserSock& socket, PacketReader& packet);
void HandleAccountLogin(CUserSock& socket, PacketReader& packet);
void HandleDeleteCharacterRequest(CUserSock& socket, PacketReader& packet);
void HandleRelayLogin(CUserSock& socket, PacketReader& packet);
void HandleGameLogin(CUserSock& socket, PacketReader& packet);

// A linked player's game login; it does nothing.
void NoteGameLogin(CPlayer* player, u32 peerAddress);
