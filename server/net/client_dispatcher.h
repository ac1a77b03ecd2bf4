#pragma once
// The in-game dispatcher: once a connection has a player, every packet that is not a login
// packet goes to the handler of its id. 47 ids are served for every player; 19 more only for
// a player in edit mode; anything else is ignored without a message.
//
// Each id has a slot in one of the two tables (client_dispatcher.cpp). A slot whose handler
// comes with later work holds NotBuiltClientPacket, which says once per id in the log that
// it is not built yet and does nothing else; filling a slot means putting the handler's name
// in its row.
#include "platform/types.h"

class CPlayer;
class PacketReader;

// A handler reads its fields through the bounded reader and stops at the first failed read
// (the framer then closes the connection).
using ClientPacketHandler = void (*)(CPlayer& player, PacketReader& packet);

void DispatchClientPacket(CPlayer& player, u8 id, PacketReader& packet);

// The handler the dispatcher runs for the id, for a player in edit mode or not; null when the
// id is ignored.
ClientPacketHandler FindClientPacketHandler(u8 id, bool editing);

// The slot of a handler that is not built yet.
void NotBuiltClientPacket(CPlayer& player, PacketReader& packet);

// The handlers built here: packets that are only read, and empty ones.
void HandleReadTwoSerials(CPlayer& player, PacketReader& packet);     // 0x39
void HandleReadTwoLongs(CPlayer& player, PacketReader& packet);       // 0x4B
void HandleReadPageText(CPlayer& player, PacketReader& packet);       // 0x52
void HandleGameLoginInGame(CPlayer& player, PacketReader& packet);    // 0x91
void HandleReadShort(CPlayer& player, PacketReader& packet);          // 0xA0
void HandleClientSystemInfo(CPlayer& player, PacketReader& packet);   // 0xA4
void HandleEmptyClientPacket(CPlayer& player, PacketReader& packet);  // 0x69, 0x6B, 0xA7, 0xAD
