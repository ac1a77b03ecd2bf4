#include "client/gumps/framework/dumb_gump.h"

#include <algorithm>

#include "client/data/data_file_cache.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/render/span_blit.h"

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
    if (drawsStaticArt) {
        DrawStaticArt(clip);
    } else {
        DrawFrame(clip, translucent ? SpanBlendOverKeyed : SpanCopyKeyed, 0);
    }
    DrawChildren(clip);
}

void CDumbGump::DrawStaticArt(const ClipRect& clip) {
    int sx = 0, sy = 0;
    LocalToScreen(sx, sy);
    if (!CGumpDesktop::RectsOverlap(ClipRect{sx, sy, sx + width, sy + height}, clip)) return;
    s32 length = 0;
    const u8* bytes = GetArtRecord(staticArtId, &length);
    if (bytes == nullptr || length < 8) return;
    const ArtRecord art{reinterpret_cast<const u16*>(bytes), static_cast<size_t>(length) / 2};
    const BlitTarget target{TheGumpDesktop().DrawBase(), kScreenWidth, kScreenHeight};
    DrawArtClipped(target, BlitSpan(SpanCopy), art, clip, sx, sy);
}
