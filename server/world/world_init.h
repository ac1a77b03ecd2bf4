#pragma once
// The world's start-up entry point, called once by the server main loop with the world
// size from the server configuration: it builds the sector grid, installs the world model
// services, runs the world load sequence and loads the start-up texts.
// Returns 0 on success; 1 when the world cannot be built, after printing the reason on
// standard error (the caller then ends the process with exit code 1).
int CreateWorld(int width, int height);
// Whether a world load has run to its end.
bool IsWorldLoaded();
