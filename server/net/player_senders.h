#pragma once
// The packets a player's own rules (server/player/) report to their player and to those who
// see it, built and sent here: the step's answers, war mode, the death screen, the light of
// the place, the combat target, a friend's log-out, the paperdoll, an opened container or
// bulletin board, a board message, a book's header and pages and the bark of an action. A
// rule decides and calls one of these; it never builds a packet.
#include "platform/types.h"

struct BookHeader;
class CContainer;
class CItem;
class CPlayer;
class Location;

// 0x22: the step of that sequence is accepted, with the player's notoriety toward itself.
void SendMoveAck(CPlayer& player, int sequence);
// 0x21: the step of that sequence is refused, with where the player stands and faces.
void SendMoveReject(CPlayer& player, int sequence);
// 0x72: the war-mode flag and the three further bytes the client keeps.
void SendWarMode(CPlayer& player, int flag, int b2, int b3, int b4);
// 0x2C: the death screen's status (0 dead, 1 the ghost's choice taken).
void SendDeathStatus(CPlayer& player, int status);
// 0x4F: the light level of the player's place.
void SendGlobalLight(CPlayer& player, int level);
// 0xAA: the player's combat target (0 for none).
void SendCombatTarget(CPlayer& player, u32 serial);
// The friends-list entry `index` of the watcher goes online or offline.
void SendFriendStatus(CPlayer& watcher, int index, bool online);
// 0x88: the paperdoll of the mobile of that serial with its title and war mode.
void SendPaperdollTo(CPlayer& viewer, u32 serial, const char* title, int warMode);
// 0x24 and 0x3C: the container's gump opens and shows its contents.
void SendContainerOpen(CPlayer& player, const CContainer& container, int gump);
// 0x71 (the board) and 0x3C (its messages): a bulletin board opens.
void SendBoardOpen(CPlayer& player, const CContainer& board);
// 0x71: a board message, its summary line or (full) the whole message with its lines.
void SendBoardMessage(CPlayer& player, const CItem& message, bool full);
// 0x93: a book's header.
void SendBookHeader(CPlayer& player, u32 serial, const BookHeader& header);
// 0x66: pages first..first+count-1 of a book (clamped to its pages); a packet that would
// pass 65,535 bytes is not sent.
void SendBookPages(CPlayer& player, const CItem& book, int first, int count);
// 0x1C from the player itself (message type 0, font 3): to that player only; and to every
// player within `radius` of `from` whose eyes (8 above their feet) see it.
void SendBarkToSelf(CPlayer& player, int hue, const char* text);
void SendBarkInSight(CPlayer& player, int hue, const char* text, const Location& from, int radius);
