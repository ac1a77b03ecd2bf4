#pragma once
// The server's side of the NPCs for tests that also hold the client's world (whose headers
// cannot share a file with the server's): what each NPC of the world is, where it stands and
// whether it sleeps, read between two ticks on the server's thread.
#include <vector>

struct ServerNpc {
    unsigned serial = 0;
    int templateNumber = 0;
    int x = 0, y = 0;
    bool loiters = false;  // in loiter mode; its spot below
    int spotX = 0, spotY = 0;
    unsigned leader = 0;  // the serial of the mobile it follows, 0 for none
    bool dormant = false;
};

// Every NPC in the world, by serial.
std::vector<ServerNpc> ServerNpcs();
// Moves the named player to (x, y) on the ground there, as a teleport does. False when there
// is no such player or no ground.
bool TeleportServerPlayer(const char* name, int x, int y);
// Moves every NPC of the template to the ground at (x, y), (x + 1, y), … (one a tile), as a
// teleport does. The number moved.
int MoveServerNpcs(int templateNumber, int x, int y);
// Moves the NPC to the ground at (x, y), as a teleport does, and holds it there (frozen, it
// still fights) when `hold` is set. False when there is no such NPC or no ground.
bool MoveServerNpc(unsigned serial, int x, int y, bool hold);
// Makes the named player a seasoned fighter: `hits` hit points, strength and dexterity 100,
// and the top of every fighting skill. False when there is no such player.
bool SeasonServerPlayer(const char* name, int hits);
// The server's world pulse (read on the server's thread).
int ServerWorldPulse();
