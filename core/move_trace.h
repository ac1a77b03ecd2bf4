#pragma once
// A plain-text record of the player's steps as each side sees them, for following a walk
// from outside the process. Off unless the environment variable ZQ_MOVE_TRACE names a file
// (appended to, one flushed line per event):
//     <side> <event> seq=<n> dir=<d> at=<x>,<y>,<z>
// The server writes "accept" and "refuse" with the player's position after its answer; the
// client writes "request" (with its map centre when sending), "ack", "refuse" and "reset"
// (with its map centre afterwards) and "blocked" for a step its own terrain refused.
// `dir` is -1 where no direction applies. Both threads of the process may write.
#include <string>

namespace move_trace {

bool Enabled();
void Write(const char* side, const char* event, int sequence, int direction, int x, int y, int z);
// Sends the trace to `path` (empty: off) instead of the file the environment names.
void SetPath(const std::string& path);

}  // namespace move_trace
