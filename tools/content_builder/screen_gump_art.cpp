#include "tools/content_builder/screen_gump_art.h"

#include <algorithm>
#include <set>

namespace {

constexpr int kButtonFont = 2;
constexpr int kLabelFont = 2;
constexpr int kButtonHeight = 22;
constexpr int kThumbSize = 12;
constexpr int kToggleSize = 16;
constexpr int kPanelMargin = 14;

void DrawLabel(CFontTable& fonts, GumpCanvas& c, const std::string& label, int shift, int hue) {
    int w = 0, h = 0, baseline = 0;
    if (label.empty() || !fonts.MeasureText(kButtonFont, label, w, h, baseline)) return;
    const int width = c.picture.width, height = c.picture.height;
    const TextTarget target{c.picture.pixels.data(), width, height};
    fonts.DrawText((width - w) / 2 + shift, (height - h) / 2 + baseline + shift, kButtonFont, hue,
                   label.c_str(), target, ClipRect{0, 0, width, height});
}

// state 0 normal, 1 pressed, 2 hover.
GumpPicture ButtonArt(CFontTable& fonts, const std::string& label, int width, int state) {
    GumpCanvas c(width, kButtonHeight);
    const int tone = state == 2 ? 15 : (state == 1 ? 10 : 12);
    c.Stone(0, 0, width, kButtonHeight, tone, tone - 1, tone - 3);
    c.Bevel(0, 0, width, kButtonHeight, 2, state == 1);
    DrawLabel(fonts, c, label, state == 1 ? 1 : 0, 0);
    return c.picture;
}

// state 0 normal, 1 hover, 2 selected, 3 empty (a faint dotted line where text would go).
GumpPicture FieldArt(int width, int height, int state) {
    GumpCanvas c(width, height);
    c.Fill(0, 0, width, height, GumpRgb5(2, 2, 2));
    c.Bevel(0, 0, width, height, 1, true);
    if (state == 1) c.Bevel(1, 1, width - 1, height - 1, 1, false);
    if (state == 2) {
        for (int x = 1; x < width - 1; ++x)
            c.At(x, 1) = c.At(x, height - 2) = GumpRgb5(24, 20, 8);
        for (int y = 1; y < height - 1; ++y)
            c.At(1, y) = c.At(width - 2, y) = GumpRgb5(24, 20, 8);
    }
    if (state == 3) {
        for (int x = 4; x < width - 4; x += 3)
            c.At(x, height - 4) = GumpRgb5(8, 8, 8);
    }
    return c.picture;
}

// ids off, on, hover off, hover on.
GumpPicture ToggleArt(bool on, bool hover) {
    GumpCanvas c(kToggleSize, kToggleSize);
    c.Fill(0, 0, kToggleSize, kToggleSize, hover ? GumpRgb5(6, 6, 5) : GumpRgb5(2, 2, 2));
    c.Bevel(0, 0, kToggleSize, kToggleSize, 2, true);
    if (on) {
        for (int i = 0; i < 8; ++i) {
            const int x = 4 + i, y = i < 3 ? 7 + i : 12 - (i - 2);
            c.At(x, y) = c.At(x, y - 1) = GumpRgb5(26, 24, 10);
        }
    }
    return c.picture;
}

GumpPicture ThumbArt(bool hover) {
    GumpCanvas c(kThumbSize, kThumbSize);
    c.Stone(0, 0, kThumbSize, kThumbSize, hover ? 18 : 15, hover ? 17 : 14, hover ? 12 : 10);
    c.Bevel(0, 0, kThumbSize, kThumbSize, 1, false);
    return c.picture;
}

GumpPicture BarArt(int width, int height, bool full) {
    GumpCanvas c(width, height);
    c.Fill(0, 0, width, height, full ? GumpRgb5(6, 20, 8) : GumpRgb5(3, 3, 3));
    c.Bevel(0, 0, width, height, 1, true);
    return c.picture;
}

// Whole-screen backgrounds: a dusk gradient (one colour per row keeps the runs long); the
// chest-opening frames raise a lit lid `frame` steps.
GumpPicture ScreenArt(u32 id) {
    GumpCanvas c(640, 480);
    for (int y = 0; y < 480; ++y) {
        const int v = y * 12 / 480;
        c.Fill(0, y, 640, y + 1, GumpRgb5(3 + v, 2 + v, 6 + v / 2));
    }
    if (id >= 1400 && id <= 1414) {
        const int frame = static_cast<int>(id - 1400);
        c.Fill(220, 300, 420, 400, GumpRgb5(14, 9, 4));
        c.Bevel(220, 300, 420, 400, 3, false);
        const int lid = 300 - frame * 6;
        c.Fill(220, lid - 24, 420, lid, GumpRgb5(17, 11, 5));
        c.Bevel(220, lid - 24, 420, lid, 3, false);
        if (frame > 0) c.Fill(228, lid, 412, 300, GumpRgb5(30, 26, 10));
    }
    if (id == 1000) c.Bevel(0, 0, 640, 480, 4, false);
    return c.picture;
}

// Side pictures, chooser panels and the male/female captions.
GumpPicture ExtraArt(CFontTable& fonts, const ScreenManifest::Extra& extra) {
    if (extra.width == 640 && extra.height == 480) return ScreenArt(extra.id);
    GumpCanvas c(extra.width, extra.height);
    if (extra.id >= 5120 && extra.id <= 5128) {
        // A nine-piece panel: corners, edges and centre of one stone face, framed outside.
        const int k = static_cast<int>(extra.id - 5120), w = extra.width, h = extra.height;
        c.Stone(0, 0, w, h, 10, 9, 7);
        const u16 rim = GumpRgb5(20, 18, 12);
        if (k < 3) c.Fill(0, 0, w, 3, rim);
        if (k > 5) c.Fill(0, h - 3, w, h, rim);
        if (k % 3 == 0) c.Fill(0, 0, 3, h, rim);
        if (k % 3 == 2) c.Fill(w - 3, 0, w, h, rim);
        return c.picture;
    }
    if (extra.id >= 5033 && extra.id <= 5036) {
        // The questionnaire's OK and Cancel buttons, normal and pressed.
        const bool pressed = extra.id % 2 == 0;
        c.Stone(0, 0, extra.width, extra.height, 12, 11, 9);
        c.Bevel(0, 0, extra.width, extra.height, 2, pressed);
        DrawLabel(fonts, c, extra.id <= 5034 ? "OK" : "Cancel", pressed ? 1 : 0, 0);
        return c.picture;
    }
    c.Stone(0, 0, extra.width, extra.height, 10, 9, 7);
    c.Bevel(0, 0, extra.width, extra.height, 3, false);
    if (extra.id == 1263 || extra.id == 1264) {
        DrawLabel(fonts, c, extra.id == 1263 ? "Male" : "Female", 0, 0);
    } else if (extra.width > 40 && extra.height > 40) {
        c.Fill(8, 8, extra.width - 8, extra.height - 8, GumpRgb5(4, 4, 3));
        c.Bevel(7, 7, extra.width - 7, extra.height - 7, 1, true);
    }
    return c.picture;
}

constexpr int kFigureWidth = 160;
constexpr int kFigureHeight = 300;

// A paperdoll piece: the region of the figure it covers, in greys where a hue recolours it
// (body, hair, beard) and in cloth colours otherwise.
GumpPicture FigureArt(u32 id) {
    GumpCanvas c(kFigureWidth, kFigureHeight);
    const bool female = id == 13 || id >= 60000;
    const int cx = kFigureWidth / 2;
    auto ellipse = [&](int x0, int y0, int rx, int ry, u16 colour) {
        for (int y = y0 - ry; y <= y0 + ry; ++y)
            for (int x = x0 - rx; x <= x0 + rx; ++x)
                if ((x - x0) * (x - x0) * ry * ry + (y - y0) * (y - y0) * rx * rx <=
                        rx * rx * ry * ry &&
                    x >= 0 && y >= 0 && x < kFigureWidth && y < kFigureHeight)
                    c.At(x, y) = colour;
    };
    const u16 skin = GumpRgb5(20, 20, 20), hair = GumpRgb5(18, 18, 18);
    const int waist = female ? 20 : 24;
    if (id == 12 || id == 13) {
        ellipse(cx, 70, 14, 18, skin);             // head
        c.Fill(cx - 5, 86, cx + 5, 96, skin);      // neck
        c.Fill(cx - 28, 96, cx + 28, 180, skin);   // torso
        c.Fill(cx - 40, 100, cx - 30, 190, skin);  // arms
        c.Fill(cx + 30, 100, cx + 40, 190, skin);
        c.Fill(cx - waist, 180, cx - 3, 290, skin);  // legs
        c.Fill(cx + 3, 180, cx + waist, 290, skin);
    } else if (id == 50434 || id == 60434) {
        c.Fill(cx - 30, 96, cx + 30, 170, GumpRgb5(6, 10, 18));  // shirt
        c.Fill(cx - 42, 98, cx - 29, 140, GumpRgb5(6, 10, 18));
        c.Fill(cx + 29, 98, cx + 42, 140, GumpRgb5(6, 10, 18));
    } else if (id == 50431 || id == 60449) {
        c.Fill(cx - waist - 1, 170, cx + waist + 1, female ? 240 : 282,
               female ? GumpRgb5(16, 6, 8) : GumpRgb5(10, 8, 5));  // trousers or skirt
    } else if (id == 50480 || id == 60480) {
        c.Fill(cx - 30, 166, cx + 30, 174, GumpRgb5(9, 5, 2));  // belt
    } else if (id == 50622) {
        c.Fill(cx - waist - 2, 282, cx - 2, 296, GumpRgb5(5, 3, 1));  // shoes
        c.Fill(cx + 2, 282, cx + waist + 2, 296, GumpRgb5(5, 3, 1));
    } else {
        const int style = static_cast<int>(id % 10000) - 600;
        if (style < 60) {
            ellipse(cx, 60, 16, 10, hair);
            if (style == 1) c.Fill(cx - 17, 60, cx + 17, 110, hair);
            if (style == 2) c.Fill(cx - 4, 60, cx + 4, 120, hair);
            if (style == 3) {
                c.Fill(0, 0, kFigureWidth, kFigureHeight, 0);
                c.Fill(cx - 3, 44, cx + 3, 62, hair);
            }
        } else {
            const int length = style == 61 ? 110 : (style == 60 ? 96 : 92);
            c.Fill(cx - (style == 60 ? 4 : 12), 80, cx + (style == 60 ? 4 : 12), length, hair);
        }
    }
    return c.picture;
}

}  // namespace

void ManifestChildSize(const ManifestChild& child, const CFontTable& fonts, int& width,
                       int& height) {
    switch (child.kind) {
        case ManifestKind::kButton: {
            int w = 0, h = 0, baseline = 0;
            fonts.MeasureText(kButtonFont, child.label, w, h, baseline);
            width = std::max(w + 16, 22);
            height = kButtonHeight;
            return;
        }
        case ManifestKind::kToggle:
            width = height = kToggleSize;
            return;
        case ManifestKind::kThumb:
            width = height = kThumbSize;
            return;
        case ManifestKind::kField:
        case ManifestKind::kPicture:
            width = child.width;
            height = child.height;
            return;
        case ManifestKind::kWell:
            width = height = 0;
            return;
        case ManifestKind::kLabel: {
            int baseline = 0;
            fonts.MeasureText(kLabelFont, child.label, width, height, baseline);
            return;
        }
    }
}

void ManifestPanelSize(const ScreenManifest& screen, const CFontTable& fonts, int& width,
                       int& height) {
    width = height = 0;
    for (const ManifestChild& child : screen.children) {
        int w = 0, h = 0;
        ManifestChildSize(child, fonts, w, h);
        if (child.kind == ManifestKind::kWell) {
            w = child.width;
            h = child.height;
        }
        const int right = child.kind == ManifestKind::kThumb ? child.trackEnd : child.x + w;
        width = std::max(width, right + kPanelMargin);
        height = std::max(height, child.y + h + kPanelMargin);
    }
}

void AddScreenGumpArt(GumpArtWriter& writer, CFontTable& fonts) {
    std::set<u32> done;
    auto add = [&](u32 id, const GumpPicture& picture) {
        if (done.insert(id).second) writer.Add(id, picture);
    };
    for (const ScreenManifest& screen : FrontEndScreenManifest()) {
        int width = 0, height = 0;
        ManifestPanelSize(screen, fonts, width, height);
        GumpCanvas panel(width, height);
        panel.Stone(0, 0, width, height, 11, 10, 8);
        panel.Bevel(0, 0, width, height, 3, false);
        for (const ManifestChild& child : screen.children) {
            int w = 0, h = 0;
            ManifestChildSize(child, fonts, w, h);
            switch (child.kind) {
                case ManifestKind::kWell:
                    panel.Fill(child.x, child.y, child.x + child.width, child.y + child.height,
                               GumpRgb5(2, 2, 2));
                    panel.Bevel(child.x - 1, child.y - 1, child.x + child.width + 1,
                                child.y + child.height + 1, 1, true);
                    break;
                case ManifestKind::kThumb:
                    // The track the thumb slides along.
                    panel.Fill(child.x, child.y + 4, child.trackEnd, child.y + 8,
                               GumpRgb5(3, 3, 3));
                    panel.Bevel(child.x - 1, child.y + 3, child.trackEnd + 1, child.y + 9, 1, true);
                    add(child.ids[0], ThumbArt(false));
                    add(child.ids[1], ThumbArt(true));
                    break;
                case ManifestKind::kButton:
                    for (size_t i = 0; i < child.ids.size(); ++i)
                        add(child.ids[i], ButtonArt(fonts, child.label, w, static_cast<int>(i)));
                    break;
                case ManifestKind::kField:
                    for (size_t i = 0; i < child.ids.size(); ++i)
                        add(child.ids[i], FieldArt(w, h, static_cast<int>(i)));
                    break;
                case ManifestKind::kToggle:
                    add(child.ids[0], ToggleArt(false, false));
                    add(child.ids[1], ToggleArt(true, false));
                    add(child.ids[2], ToggleArt(false, true));
                    add(child.ids[3], ToggleArt(true, true));
                    break;
                case ManifestKind::kPicture:
                    add(child.ids[0], BarArt(w, h, child.ids[0] == 2054));
                    break;
                case ManifestKind::kLabel: {
                    int lw = 0, lh = 0, baseline = 0;
                    fonts.MeasureText(kLabelFont, child.label, lw, lh, baseline);
                    fonts.DrawText(child.x, child.y + baseline, kLabelFont, 0, child.label.c_str(),
                                   {panel.picture.pixels.data(), width, height},
                                   ClipRect{0, 0, width, height});
                    break;
                }
            }
        }
        add(screen.panel, panel.picture);
        for (const ScreenManifest::Extra& extra : screen.extras)
            add(extra.id, ExtraArt(fonts, extra));
        for (u32 id : screen.figures)
            add(id, FigureArt(id));
    }
}
