#include "client/render/world_view_frame.h"

#include "client/render/dirty_rects.h"

int DeathFadeStep = 0;

namespace {

constexpr int kDeadTextStep = 16;
constexpr int kFadeEndStep = 32;

inline u16 Down(u16 channel) {
    return channel > 0 ? static_cast<u16>(channel - 1) : channel;
}

}  // namespace

void DarkenScreenOneStep(u16* pixels, int count, bool use565) {
    if (use565) {
        for (int i = 0; i < count; ++i) {
            const u16 p = pixels[i];
            pixels[i] =
                static_cast<u16>(Down(p >> 11) << 11 | Down((p >> 6) & 31) << 6 | Down(p & 31));
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        const u16 p = pixels[i];
        pixels[i] =
            static_cast<u16>(Down((p >> 10) & 31) << 10 | Down((p >> 5) & 31) << 5 | Down(p & 31));
    }
}

void DrawWorldViewFrame(WorldViewFrameHooks& hooks) {
    if (!hooks.HasConnection()) return;
    if (DeathFadeStep == 0) {
        RefreshDirtyRects();
    } else {
        // The whole buffer in buffer order: the ring offset does not matter to a uniform step.
        if (u16* screen = WorldViewScreen())
            DarkenScreenOneStep(screen, kWorldViewPixels, hooks.Use565());
        ++DeathFadeStep;
        if (DeathFadeStep == kDeadTextStep) hooks.ShowDeadText();
        if (DeathFadeStep >= kFadeEndStep) {
            DeathFadeStep = 0;
            InvalidateWorldView();
            if (hooks.AssumePlayAsGhost())
                hooks.SendPlayAsGhost();
            else
                hooks.OpenDeathMenu();
        }
    }
    hooks.DrawGumps();
}
