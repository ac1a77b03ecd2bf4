#pragma once
// A picture that is never hit: backgrounds, decorations, overlays. It shows its frame (keyed,
// or blended three quarters over the screen when translucent), or, with `drawsStaticArt`, the
// static art record `staticArtId` (the world's object art) at its place instead.
#include "client/gumps/framework/gump.h"

class CDumbGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kDumb;
    GumpKind Kind() const override { return kKind; }

    // The frame is cleared, filled from `pixels` (width x height) when given, then the gump art
    // is copied over it (plain, colour 0 included) when `gumpArt` is not -1.
    CDumbGump(int x, int y, CGump* parent, int width, int height, int staticArt, const u16* pixels,
              int gumpArt);

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int, int) override { return false; }
    bool ClosesOnEscape() override { return false; }

    bool drawsStaticArt = false;
    bool translucent = false;
    int staticArtId = 0;

private:
    void DrawStaticArt(const ClipRect& clip);
};
