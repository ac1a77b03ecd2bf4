#include "client/gumps/framework/input_control_gump.h"

#include <algorithm>
#include <cctype>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_drawing.h"
#include "client/gumps/framework/gump_host_services.h"
#include "platform/clock.h"

namespace {
constexpr u32 kKeyEnd = 0xE000 + 35;
constexpr u32 kKeyHome = 0xE000 + 36;
constexpr u32 kKeyLeft = 0xE000 + 37;
constexpr u32 kKeyRight = 0xE000 + 39;
constexpr u32 kKeyDelete = 0xE000 + 46;
constexpr int kCaretHue = 902;
}  // namespace

CInputControlGump::CInputControlGump(int fx, int fy, CGump*, int art, int altArt, int fieldKind,
                                     int max, int textFont, int textHue, bool isEditable,
                                     bool isLabel, int w) {
    Setup(fx, fy, fieldKind, max, textFont, textHue, isEditable, isLabel);
    alternateArt = altArt;
    artId = art;
    GetGumpArtSize(static_cast<u32>(art), width, height);
    height += 1;
    if (w != 0) {
        width = w;
        barBackground = true;
    }
    pitch = width;
    Redraw();
}

CInputControlGump::CInputControlGump(int fx, int fy, CGump*, int w, int h, int fieldKind, int max,
                                     int textFont, int textHue, bool isEditable, bool isLabel,
                                     bool bar) {
    Setup(fx, fy, fieldKind, max, textFont, textHue, isEditable, isLabel);
    barBackground = bar;
    noBackground = true;
    width = pitch = w;
    height = h;
    Redraw();
}

void CInputControlGump::Setup(int fx, int fy, int fieldKind, int max, int textFont, int textHue,
                              bool isEditable, bool isLabel) {
    kindLabel = "InputControl gump";
    PlaceAt(fx, fy);
    editable = isEditable;
    labelMode = isLabel;
    kind = fieldKind;
    maximum = max;
    caret = fieldKind == kNumber ? 1 : 0;
    font = static_cast<u16>(textFont);
    hue = static_cast<u16>(textHue);
    frames.resize(1);
}

int CInputControlGump::TextLimit() const {
    return std::clamp(maximum, 0, kMaxText);
}

void CInputControlGump::SetText(const std::string& value) {
    text = value.substr(0, static_cast<size_t>(kMaxText));
    caret = static_cast<int>(text.size());
    scroll = 0;
    ScrollToCaret();
    Redraw();
}

bool CInputControlGump::Focused() const {
    return TheGumpDesktop().keyboardFocus == this;
}

std::string CInputControlGump::Shown() const {
    if (kind == kNumber) return std::to_string(number);
    return password ? std::string(text.size(), '*') : text;
}

void CInputControlGump::DrawCaret(Bitmap16& frame, const ClipRect& rect, int cx, int baselineY) {
    GetFontTable().DrawText(cx, baselineY, font, kCaretHue, "_",
                            {frame.Pixels(), frame.Width(), frame.Height()}, rect);
}

void CInputControlGump::Redraw() {
    int art = artId;
    if (pressedLook && pressedArt != 0)
        art = pressedArt;
    else if (hovered && hoverArt != 0)
        art = hoverArt;
    else if (text.empty() && emptyArt != 0)
        art = emptyArt;
    else if (selectedLook)
        art = alternateArt;
    CFontTable& fonts = GetFontTable();
    int lineW = 0, lineH = 0, baseline = 0;
    fonts.MeasureText(font, "Aq", lineW, lineH, baseline);
    Bitmap16& frame = MakeFrame(0);
    if (barBackground)
        DrawGumpArtBar(art, frame);
    else if (!noBackground)
        CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(art), 0, 0, frame.Pixels(), width, height);
    const TextTarget target{frame.Pixels(), width, height};
    const ClipRect rect{leftMargin, topMargin, width - leftMargin, height - topMargin};
    const std::string shown = Shown();
    const std::string fromScroll = shown.substr(std::min<size_t>(scroll, shown.size()));
    const int textY = topMargin + baseline;
    int tw = 0, th = 0, tb = 0;
    fonts.MeasureText(font, shown, tw, th, tb);
    const bool focused = Focused();
    if (focused && (kind == kNumber || !multiLine)) {
        fonts.DrawText(leftMargin, textY, font, hue, fromScroll.c_str(), target, rect);
        const int cx = leftMargin + fonts.TextWidth(font, caret - scroll, fromScroll);
        DrawCaret(frame, rect, cx, textY + 2);
    } else if (focused) {
        const int wrapWidth = width - 2 * leftMargin;
        fonts.DrawWrappedText(leftMargin, textY, font, hue, shown.c_str(), wrapWidth, target, rect,
                              0, 0);
        int cx = 0, cy = 0;
        fonts.LocateChar(font, caret, shown.c_str(), wrapWidth, cx, cy);
        DrawCaret(frame, rect, leftMargin + cx, textY + cy + 2);
    } else if (password) {
        fonts.DrawText(leftMargin, textY, font, hue, shown.c_str(), target, rect);
    } else if (labelMode) {
        const bool fits = selectedLook ? tw <= width - 2 * leftMargin : tw + 2 * leftMargin < width;
        if (fits)
            fonts.DrawText((width - tw) / 2, textY, font, hue, shown.c_str(), target, rect);
        else
            fonts.DrawTextEllipsis(leftMargin, textY, font, hue, shown.c_str(), target, rect);
        if (!selectedLook && kind != kNumber) {
            if (art == 2445)
                CopyGumpToBuf(SpanCopyKeyed, 2437, width - 11 - leftMargin, topMargin + 2,
                              frame.Pixels(), width, height);
            else if (art == 2446)
                CopyGumpToBuf(SpanCopyKeyed, 2437, width - 15 - leftMargin, topMargin + 2,
                              frame.Pixels(), width, height);
            else
                CopyGumpToBuf(SpanCopyKeyed, 5009, width - leftMargin - 9, 1, frame.Pixels(), width,
                              height);
        }
    } else if (multiLine && kind != kNumber) {
        fonts.DrawWrappedText(leftMargin, textY, font, hue, shown.c_str(), width - 2 * leftMargin,
                              target, rect, 0, 0);
    } else {
        fonts.DrawText(leftMargin, textY, font, hue, fromScroll.c_str(), target, rect);
    }
}

bool CInputControlGump::ContainsPoint(int px, int py) {
    return px >= 0 && py >= 0 && px < width && py < height;
}

void CInputControlGump::Report() {
    Redraw();
    if (parent != nullptr) parent->OnControlChanged(this);
}

void CInputControlGump::ScrollBack() {
    if (caret < scroll) scroll = std::max(scroll - 8, 0);
}

void CInputControlGump::ScrollToCaret() {
    if (fixed) return;
    const std::string shown = Shown();
    CFontTable& fonts = GetFontTable();
    while (scroll < static_cast<int>(shown.size()) - 1 && caret > scroll &&
           fonts.TextWidth(font, caret - scroll, std::string_view(shown).substr(scroll)) >
               width - 12)
        ++scroll;
}

bool CInputControlGump::RemoveBeforeCaret() {
    if (text.empty()) return false;
    if (caret >= static_cast<int>(text.size())) {
        text.pop_back();
        caret = static_cast<int>(text.size());
    } else if (caret > 0) {
        text.erase(static_cast<size_t>(caret - 1), 1);
        --caret;
    }
    return true;
}

void CInputControlGump::OnKey(u32 key) {
    if (selectedLook) return;
    const int length = static_cast<int>(kind == kNumber ? Shown().size() : text.size());
    if (key == 8 || key == kKeyDelete) {
        if (kind == kNumber) {
            if (number == 0) return;
            number = static_cast<s32>(static_cast<u32>(number) / 10);
            if (caret > 1) --caret;
        } else {
            if (text.empty()) return;
            if (key == kKeyDelete) {
                if (caret >= length) return;
                ++caret;
            }
            RemoveBeforeCaret();
        }
        ScrollBack();
        Report();
        return;
    }
    switch (key) {
        case 9:
            if (parent != nullptr) parent->OnFieldTab();
            return;
        case 13:
            if (parent != nullptr) parent->OnFieldEnter();
            return;
        case 27:
            if (parent != nullptr) parent->OnFieldEscape();
            return;
        case kKeyEnd:
            if (caret != length) {
                caret = length;
                ScrollToCaret();
                Redraw();
            }
            return;
        case kKeyHome:
            if (kind == kText && caret > 0) {
                caret = scroll = 0;
                Redraw();
            }
            return;
        case kKeyLeft:
            if (kind == kText && caret > 0) {
                --caret;
                ScrollBack();
                Redraw();
            }
            return;
        case kKeyRight:
            if (caret < length) {
                ++caret;
                ScrollToCaret();
                Redraw();
            }
            return;
        default:
            break;
    }
    if (key > 0xFF) return;
    const unsigned char c = static_cast<unsigned char>(key);
    if (kind == kNumber) {
        if (c < '0' || c > '9') return;
        const long long next = static_cast<long long>(number) * 10 + (c - '0');
        if (next > maximum) return;
        number = static_cast<s32>(next);
        ++caret;
        Report();
        return;
    }
    CFontTable& fonts = GetFontTable();
    if (!fonts.HasGlyph(font, c)) return;
    if (alphanumericOnly && !std::isalnum(c)) return;
    if (static_cast<int>(text.size()) >= TextLimit()) return;
    caret = std::clamp(caret, 0, static_cast<int>(text.size()));
    text.insert(text.begin() + caret, static_cast<char>(c));
    ++caret;
    ScrollToCaret();
    const std::string probe = Shown() + "_";
    bool overflow = false;
    if (fixed && !multiLine) {
        int w = 0, h = 0, b = 0;
        fonts.MeasureText(font, probe, w, h, b);
        overflow = w >= width - 6;
    } else if (multiLine) {
        int widest = 0, h = 0, b = 0;
        fonts.MeasureWrappedText(font, probe.c_str(), width - 6, widest, h, b, 0);
        overflow = h >= height;
    }
    if (overflow) {
        RemoveBeforeCaret();
        ScrollBack();
        return;
    }
    Report();
}

void CInputControlGump::OnLeftDown(int px, int py) {
    if (parent != nullptr) {
        parent->BringToFront(false);
        parent->OnFieldClicked(this);
    }
    if (editable && !selectedLook) {
        CGumpDesktop& desktop = TheGumpDesktop();
        desktop.ClearKeyboardFocus();
        desktop.SetKeyboardFocus(this);
        const std::string shown = Shown();
        if (kind == kNumber) {
            caret = static_cast<int>(shown.size());
        } else if (multiLine) {
            caret = GetFontTable().CharsInBox(font, shown.c_str(), width - 6, px - 1, py);
        } else {
            const std::string_view rest =
                std::string_view(shown).substr(std::min<size_t>(scroll, shown.size()));
            caret = scroll + GetFontTable().CharsInWidth(font, rest, px - 1);
        }
        Redraw();
    }
    if (kind == kChoice && !selectedLook && parent != nullptr) parent->OnChoiceFieldClicked(this);
    pressed = true;
    if (clickState == 1) {
        clickState = 2;
    } else {
        clickState = 1;
        firstClickTime = platform::NowMs();
    }
    grabX = px;
    grabY = py;
}

void CInputControlGump::OnHover() {
    if (clickState == 1 &&
        platform::NowMs() - firstClickTime > GetGumpHostServices().DoubleClickTimeMs()) {
        clickState = 0;
        if (pressed) releasePending = true;
    }
}

void CInputControlGump::OnLeftUp(int, int) {
    pressed = false;
    if (releasePending) {
        releasePending = false;
        clickState = 0;
    } else if (clickState == 2) {
        clickState = 0;
        if (pickPlayer) GetGumpHostServices().BeginPickPlayer(this);
        if (parent != nullptr) parent->OnFieldReleased(this);
    }
    ReleaseCapture();
}

void CInputControlGump::OnMouseOver(int, int) {
    GetGumpHostServices().SetCursorMode(0);
    if (!hovered) {
        hovered = true;
        if (hoverArt != 0) Redraw();
    }
}

void CInputControlGump::OnMouseLeave() {
    if (hovered) {
        hovered = false;
        if (hoverArt != 0) Redraw();
    }
}

void CInputControlGump::OnRightUp(int px, int py) {
    ReleaseCapture();
    if (parent != nullptr) parent->OnRightUp(px, py);
}

void CInputControlGump::EndEditing() {
    if (artId == kFocusedArt) artId = kUnfocusedArt;
    // The caret goes with the focus.
    Redraw();
}
