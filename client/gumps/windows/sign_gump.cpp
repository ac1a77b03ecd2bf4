#include "client/gumps/windows/sign_gump.h"

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_drawing.h"

namespace {
void Place(CGump& g, int x, int y, int w, int h) {
    g.kindLabel = "sign gump";
    g.PlaceAt(x, y);
    g.width = g.pitch = w;
    g.height = h;
}
}  // namespace

CSignGump::CSignGump(int sx, int sy, int art, const std::string&, const std::string& text,
                     u32 obj) {
    int w = 0, h = 0;
    GetGumpArtSize(static_cast<u32>(art), w, h);
    Place(*this, sx, sy, w, h);
    object = obj;
    Bitmap16& frame = MakeFrame(0);
    CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(art), 0, 0, frame.Pixels(), w, h);
    ClipRect area;
    ContainerItemArea(art, area);
    GetFontTable().DrawWrappedText(area.left, area.top, 1, 902, text.c_str(),
                                   area.right - area.left + 1, {frame.Pixels(), w, h},
                                   ClipRect{0, 0, w, h}, 0, 0);
}

CSignGump::CSignGump(int sx, int sy, int w, int h) {
    Place(*this, sx, sy, w, h);
    MakeFrame(0);
}

CSignGump::CSignGump(int sx, int sy, int panelArt, int w, int h, const std::string& text, u32 obj) {
    Place(*this, sx, sy, w, h);
    object = obj;
    Bitmap16& frame = MakeFrame(0);
    DrawGumpArtPanel(panelArt, frame, false);
    GetFontTable().DrawWrappedText(20, 20, 1, 902, text.c_str(), w - 39, {frame.Pixels(), w, h},
                                   ClipRect{20, 20, w - 20, h - 20}, 0, 0);
}

bool CSignGump::ContainsPoint(int px, int py) {
    return FramePixelSet(px, py, 0);
}

void CSignGump::OnRightUp(int, int) {
    ReleaseCapture();
    TheGumpDesktop().Close(this);
}
