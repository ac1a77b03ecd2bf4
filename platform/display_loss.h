#pragma once
// The display under the game window can fail for good while the game runs: the X server goes
// away, or another X client destroys the window. The window back end notes the cause here
// (on the client thread, from inside Xlib's error handlers, so without allocating); the
// server's main loop reads it, ends the game in order (the world saved) and names the cause.
namespace platform {

// Notes the cause; the first one noted stays. Safe to call from an X error handler.
void ReportDisplayLost(const char* cause);
// The cause noted, or null while the display is fine.
const char* DisplayLostCause();
// Forgets the cause (a test's display comes back; the game never clears it).
void ClearDisplayLoss();

}  // namespace platform
