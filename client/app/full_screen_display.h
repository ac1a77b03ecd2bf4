#pragma once
// Presentation of the client's 640x480 16-bit back buffer, windowed or full screen.
#include "platform/types.h"

struct FullScreenDisplay {
    bool active = false;  // full screen is set up
    bool surface565 = false;
    bool flipping = false;
};

FullScreenDisplay& TheFullScreenDisplay();

// Enters full screen; on failure the display stays inactive (windowed presentation goes
// on). Called by the full-screen switch under the cursor manager's outer lock.
void CreateFullScreenDisplay();
void ReleaseFullScreenDisplay();

// Shows a frame: the pointer is drawn into the buffer, the whole picture is copied to the
// screen with the ring undone (screen pixel p = buffer[(p + ringOffset) mod 307200]), and the
// pointer is taken out again. All of it under the cursor manager's outer lock. Does nothing
// when `backBuffer` is null.
void PresentFrame(u16* backBuffer, u32 ringOffset);
