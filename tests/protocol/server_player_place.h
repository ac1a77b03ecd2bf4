#pragma once
// The server's side of a live player by name, for tests that also hold the client's world
// (whose headers cannot share a file with the server's).
#include <vector>

// The server's place of the player. False when there is none.
bool ServerPlayerPlace(const char* name, int& x, int& y, int& z);
// The skill values the server sends the player, by skill index. False when there is none.
bool ServerPlayerSkills(const char* name, std::vector<int>& values);
// Brings the nearest townsperson of the world (a human NPC that is neither guard nor
// shopkeeper, within 40 tiles) to the spot (dx, dy) from the player, facing `direction`, and
// freezes it there so that it stands still. Answers its serial, 0 when there is none.
unsigned BringTownspersonBeside(const char* name, int dx, int dy, int direction);
