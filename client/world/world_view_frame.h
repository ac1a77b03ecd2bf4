#pragma once
// The world view's half of the client's frame step: the dirty pieces redrawn into the screen
// buffer, or, while the player's death is shown, the whole picture darkened one step per frame
// for 31 frames; then the gumps are drawn over it. What lies outside the renderer (the
// connection, the gump tree, the death texts and menu, the answer to the server) is asked of
// WorldViewFrameHooks.
#include "client/render/dirty_rects.h"
#include "platform/types.h"

// The death fade's step is DeathFadeStep (client/render/dirty_rects.h).

// Darkens `count` pixels by one step per channel (a channel at 0 stays 0). In 565 mode the
// channels are red 11-15, the upper five green bits 6-10 and blue 0-4; the lowest green bit
// ends cleared.
void DarkenScreenOneStep(u16* pixels, int count, bool use565);

class WorldViewFrameHooks {
public:
    virtual ~WorldViewFrameHooks() = default;
    // False before the connection is made or after it is gone: the frame is skipped whole.
    virtual bool HasConnection() = 0;
    virtual bool Use565() = 0;
    // The fade's text "You are dead.", centred on the screen (after the 15th darkened frame).
    virtual void ShowDeadText() = 0;
    // The end of the fade: the death menu, or with `AssumePlayAsGhost` the menu's "Play As
    // Ghost" answer sent at once.
    virtual bool AssumePlayAsGhost() = 0;
    virtual void OpenDeathMenu() = 0;
    virtual void SendPlayAsGhost() = 0;
    // The gump tree over the full screen, ending with the frame presented.
    virtual void DrawGumps() = 0;
};

// One frame: the world half (refresh or fade step) before the gumps.
void DrawWorldViewFrame(WorldViewFrameHooks& hooks);

// Redraws every listed dirty piece into the screen buffer (the world objects in cell order,
// then the light step) and empties the list.
void RefreshDirtyRects();
// Draws one piece (no seam inside) through the ring the same way.
void DrawDirtyRect(const ScreenRect& r);
