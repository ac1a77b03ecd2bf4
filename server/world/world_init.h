#pragma once
// The world's start-up: the sector grid, then the world load sequence, which fills the empty
// world in a fixed order of steps (each may rely on the ones before it) and reports its
// progress as 0, 5, 10, 15, 20, 25, 30, 35, 40, 50, 60, 70, 80, 90, 95 and finally -1.
#include <functional>
#include <string>

#include "server/world/world_data_files.h"

// Receives the progress values of the load sequence.
using WorldLoadProgress = std::function<void(int value)>;

// What one run of the load sequence reads and does.
struct WorldLoadContext {
    DataFileReader read;
    DataFileWriter write;  // for derived tables (the art sizes); may be empty
    std::string world;     // the world's directory name (the server name)
    WorldLoadProgress progress;
    // The whole sequence (skills, weapon templates, the saved objects and the steps of the
    // later subsystems); false runs only the data files (map, statics, tables).
    bool wholeWorld = true;
};

// Runs the load sequence. 0; 1 with a message naming the data file in `error` (the map and
// tile data are required); 2 when a world save is there but unusable (the message names
// it), which is never replaced by an empty world. A missing optional file leaves its table
// empty.
int RunWorldLoadSequence(const WorldLoadContext& context, WorldDataResult* result,
                         std::string* error);

// The world's start-up entry point, called once by the server main loop with the world
// size from the server configuration: it builds the sector grid and runs the world load
// sequence (the caller loads the protocol's start-up texts after it).
// Returns 0 on success; 1 when the world cannot be built, after printing the reason on
// standard error (the caller then ends the process with exit code 1).
int CreateWorld(int width, int height, const WorldLoadProgress& progress = nullptr);
// Whether a world load has run to its end.
bool IsWorldLoaded();
// Saves the world at an orderly shutdown when the load sequence filled it, then destroys
// its objects. 0, or 1 after printing why the save failed on standard error.
int SaveWorldAtShutdown();
// Destroys every world object without triggers or packets.
void DestroyWorldObjects();
