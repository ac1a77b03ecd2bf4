#pragma once
// The world's start-up entry point, called once by the server main loop with the world
// size from the server configuration: it builds the sector grid with the player and NPC
// grids, sets up the mobile table and the region manager, runs the world load sequence
// and loads the start-up texts. The world subsystem fills in its steps as they are built;
// for now only the start-up texts are loaded.
void CreateWorld(int width, int height);
