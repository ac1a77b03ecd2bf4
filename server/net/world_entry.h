#pragma once
// A chosen character enters the world on its connection: what the creation and play requests
// run once player and connection are linked.
class CPlayer;
class CUserSock;

// The entry's packets and steps (0x1B, placement, war mode, trades, the surroundings) come
// with the world-entry handlers; until then this says once in the log that they are not built
// yet and runs the player's own entry hook.
void EnterWorld(CPlayer& player, CUserSock& connection);
