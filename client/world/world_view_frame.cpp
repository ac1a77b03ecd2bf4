#include "client/world/world_view_frame.h"

#include "client/world/world_draw.h"

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

void RefreshDirtyRects() {
    // All pieces in one walk of the cells: a frame of moving figures leaves many small pieces.
    WorldPiece pieces[kMaxDirtyRects];
    const int count = TakeDirtyPieces(pieces);
    if (count == 0) return;
    DrawWorldPieces(pieces, count);
    for (int i = 0; i < count; ++i)
        LightPiece(pieces[i]);
}

void DrawDirtyRect(const ScreenRect& r) {
    u16* screen = WorldViewScreen();
    if (screen == nullptr) return;
    const WorldPiece piece = RingPiece(screen, r);
    DrawWorldPieces(&piece, 1);
    LightPiece(piece);
}
