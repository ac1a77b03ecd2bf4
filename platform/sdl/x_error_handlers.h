#pragma once
// Xlib's own handlers end the process at once on an X error or a lost connection, with the
// server thread in the middle of its work and the world unsaved. The game puts its own in
// their place once its window exists:
// - an X error (another client destroyed the game window, say) notes the cause
//   (platform/display_loss.h) and returns, so the client goes on until the game ends in
//   order;
// - a lost connection notes the cause and then holds the client thread, since Xlib ends the
//   process when that handler returns: the server saves the world and ends the process.
namespace platform {

// Installs the handlers in the Xlib that SDL loaded; `window` is the game window's X id, named
// in the cause when an error concerns it. Does nothing when SDL does not run on X11.
void InstallXErrorHandlers(unsigned long window);

// Waits until the X server has answered every request sent on `display` (an Xlib Display),
// so that the errors they cause reach the game's handlers while these are in place: closing
// the video subsystem puts Xlib's own back, which would end the process on the error of
// destroying a window that another client destroyed first.
void SyncXDisplay(void* display);

}  // namespace platform
