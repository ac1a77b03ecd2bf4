#pragma once
// Writing the running world back while the game runs, not only at its end: every 5 minutes
// of running and soon after a player logs out, always on the server thread between two world
// ticks (the main loop asks IsWorldSaveDue after each tick), with the same safe write as the
// final save. A crash, a kill or a lost display then costs at most the time since the last
// save.
//
// Only a world that the load sequence filled wholly is ever saved: a load cut short by a quit
// request leaves the save as it was.
//
// A load that dropped objects of the save it read (outside the world, no container, a taken
// serial...) would make the drops permanent at the next save. So the first save that replaces
// that file keeps it under a new name beside it ("zqdemo.sav.dropped-1", the first number not
// taken) and standard error says so in one line.
#include <string>

#include "platform/save_file.h"
#include "platform/types.h"

inline constexpr u32 kAutosaveIntervalMs = 5 * 60 * 1000;

// The load sequence filled the world: from `source` (the save's path when `fromSave`, else
// the archive's files), dropping `droppedObjects` of its records. From now on the world is
// saved.
void NoteWorldLoaded(const std::string& source, bool fromSave, int droppedObjects);
// The world's objects are gone (or the load was cut short): nothing is saved any more.
void ForgetLoadedWorld();
bool HasWorldToSave();

// A player logged out: the world is saved after the next tick.
void RequestWorldSave();
// Starts the 5-minute clock at `nowMs`, already `aheadMs` into its interval.
void StartAutosaveClock(u32 nowMs, u32 aheadMs = 0);
// Whether a save is due at `nowMs`: 5 minutes since the clock started or the last save, or a
// save was requested.
bool IsWorldSaveDue(u32 nowMs);

// Writes the world to its save (nothing, answering 0, when there is no world to save) and
// restarts the clock at `nowMs`, whether the write worked or not (a failing disk is tried
// again in 5 minutes, not on every tick). 0, or 1 with the reason in `error`.
int SaveRunningWorld(u32 nowMs, std::string* error = nullptr,
                     platform::FileOps& ops = platform::SystemFileOps());
// How long the last save took on the real clock, in microseconds (0 before the first).
u64 LastWorldSaveMicros();
// The name a save with dropped objects is kept under: `savePath` + ".dropped-N", the first
// N from 1 that names no file.
std::string KeptSavePath(const std::string& savePath);
