#include "server/world/world_init.h"

#include "server/net/local_connection.h"

void CreateWorld(int width, int height) {
    // The sector grid, the player and NPC grids, the mobile table, the region manager and
    // the world load sequence come here, in that order, as the world subsystem grows.
    (void)width;
    (void)height;
    LoadTextFiles();
}
