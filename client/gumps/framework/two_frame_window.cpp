#include "client/gumps/framework/two_frame_window.h"

#include <memory>

#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"

bool ShownFrameMeets(const CGump& window, const ClipRect& clip) {
    int sx = 0, sy = 0;
    window.LocalToScreen(sx, sy);
    const int w = window.minimised ? window.minimisedWidth : window.width;
    const int h = window.minimised ? window.minimisedHeight : window.height;
    return CGumpDesktop::RectsOverlap({sx, sy, sx + w, sy + h}, clip);
}

void MakeMinimisedFrame(CGump& window, int art) {
    GetGumpArtSize(static_cast<u32>(art), window.minimisedWidth, window.minimisedHeight);
    if (window.frames.size() < 2) window.frames.resize(2);
    window.frames[1] = std::make_unique<Bitmap16>(window.minimisedWidth, window.minimisedHeight);
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(art), 0, 0, window.frames[1]->Pixels(),
                  window.minimisedWidth, window.minimisedHeight);
}

bool AnyChildContains(CGump& window, int px, int py) {
    int sx = px, sy = py;
    window.LocalToScreen(sx, sy);
    for (CGump* c = window.firstChild; c != nullptr; c = c->nextSibling) {
        if (!c->visible) continue;
        int lx = sx, ly = sy;
        c->ScreenToLocal(lx, ly);
        if (c->ContainsPoint(lx, ly)) return true;
    }
    return false;
}
