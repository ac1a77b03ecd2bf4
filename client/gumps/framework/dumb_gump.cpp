#include "client/gumps/framework/dumb_gump.h"

#include <algorithm>

#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"

CDumbGump::CDumbGump(int dx, int dy, CGump*, int w, int h, int staticArt, const u16* pixels,
                     int gumpArt)
    : staticArtId(staticArt) {
    kindLabel = "dumb gump";
    PlaceAt(dx, dy);
    width = pitch = std::max(w, 0);
    height = std::max(h, 0);
    Bitmap16& frame = MakeFrame(0);
    if (pixels != nullptr)
        std::copy(pixels, pixels + static_cast<size_t>(width) * height, frame.Pixels());
    if (gumpArt != -1)
        CopyGumpToBuf(SpanCopy, static_cast<u32>(gumpArt), 0, 0, frame.Pixels(), width, height);
}

void CDumbGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    DrawFrame(clip, translucent ? SpanBlendOverKeyed : SpanCopyKeyed, 0);
    DrawChildren(clip);
}
