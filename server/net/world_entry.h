#pragma once
// A chosen character enters the world on its connection: what the creation and play requests
// run once player and connection are linked.
class CPlayer;
class CUserSock;

// The radius within which the entering player is shown to others.
inline constexpr int kEntryShowRadius = 18;
// The entry's weather packet type: season and temperature.
inline constexpr int kWeatherSeasonType = 254;

// The entry in its fixed order: god rights; 0x1B and the connection in game; the player's
// placement (CPlayer::EnterWorld); an object held from last time; 0x72 with the stored
// war-mode bytes; the player shown to everyone within 18 tiles; open trades; 0x55; the guard
// zone and combat target, 0x65 (season and temperature) and 0x5B. A step that may run a
// script looks the player up again, and the entry ends when it is gone.
void EnterWorld(CPlayer& player, CUserSock& connection);
