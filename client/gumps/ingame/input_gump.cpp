#include "client/gumps/ingame/input_gump.h"

#include <algorithm>
#include <cstdio>

#include "client/data/client_settings.h"
#include "client/data/fonts.h"
#include "client/data/text_services.h"
#include "client/data/unicode_fonts.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/bark_gump.h"
#include "platform/clock.h"

CInputGump::CInputGump() {
    x = 0;
    y = kScreenHeight;
    frames.resize(1);
}

Bitmap16& CInputGump::Resize(int w, int h) {
    width = pitch = w;
    height = h;
    x = 0;
    y = kScreenHeight - h;
    frames[0] = std::make_unique<Bitmap16>(w, h);
    return *frames[0];
}

void CInputGump::SetText(const std::string& typed, int hue, int font) {
    BringToFront(true);
    std::string text = typed;
    if (TheClientSettings().options.frameCounter) {
        const u32 now = platform::NowMs();
        const u32 elapsed = now - lastFrameTime_;
        const int fps = elapsed != 0 ? int(1000 / elapsed) : 0;
        lastFrameTime_ = now;
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%3d fps ", fps);
        text = buffer + typed;
    }
    CFontTable& fonts = GetFontTable();
    int w = width, h = height, baseline = 0;
    if (fonts.HasFont(font) && fonts.MeasureText(font, text, w, h, baseline)) {
        w = std::max(w, 2);
        h = std::max(h, 1);
    }
    Bitmap16& frame = Resize(w, h);
    if (!fonts.HasFont(font)) return;
    // The player's own typing is shown as typed.
    InputControlDrawingScope unfiltered;
    fonts.DrawText(0, baseline, font, hue, text.c_str(), TextTarget{frame.Pixels(), w, h},
                   ClipRect{0, 0, w, h});
}

void CInputGump::SetUnicodeText(const std::u16string& text, int hue) {
    BringToFront(true);
    const int previous = GetUnicodeFont();
    SetUnicodeFont(TheClientSettings().options.barkFontNumber);
    int w = 0, h = 0, baseline = 0;
    UnicodeMeasureText(text.c_str(), w, h, baseline);
    w = std::max(w + 2, 2);
    h = std::max(h + 2, 1);
    Bitmap16& frame = Resize(w, h);
    UnicodeDrawText(TextTarget{frame.Pixels(), w, h}, text.c_str(), 1, baseline + 1,
                    UnicodeTextColour(hue), ClipRect{0, 0, w, h});
    OutlineGlyphs(frame.Pixels(), w, h, 1);
    SetUnicodeFont(previous);
}

CInputGump& TheTypingLine() {
    static CInputGump* line = nullptr;
    if (line == nullptr || !IsGumpAlive(line) || !line->IsKind(GumpKind::kInput))
        line = TheGumpDesktop().Open<CInputGump>();
    return *line;
}
