#pragma once
// A one-line (or wrapped) text or number field with caret, password mask, focus art and
// keyboard editing; a choice field asks its parent to pop up a chooser when clicked. The field
// reports every change to its parent (OnControlChanged) and hands Tab, Enter and Escape on.
#include <string>

#include "client/gumps/framework/gump.h"

class CInputControlGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kInputControl;
    GumpKind Kind() const override { return kKind; }

    enum Kind { kText = 0, kNumber = 1, kChoice = 2 };
    // The text holds at most this many characters, whatever maximum a caller asks for.
    static constexpr int kMaxText = 80;
    static constexpr int kFocusedArt = 2444;
    static constexpr int kUnfocusedArt = 2443;

    // A field on gump art: the art's size, height + 1; a non-zero width replaces the art's and
    // switches the bar background on.
    CInputControlGump(int x, int y, CGump* parent, int art, int alternateArt, int kind, int maximum,
                      int font, int hue, bool editable, bool labelMode, int width);
    // A field of an explicit size without art (cleared background unless `barBackground`).
    CInputControlGump(int x, int y, CGump* parent, int width, int height, int kind, int maximum,
                      int font, int hue, bool editable, bool labelMode, bool barBackground);

    void Redraw();
    // Sets the text (cut to the limit) and puts the caret at its end.
    void SetText(const std::string& text);
    const std::string& Text() const { return text; }
    // The largest length the text may reach.
    int TextLimit() const;

    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnHover() override;
    void OnMouseOver(int x, int y) override;
    void OnMouseLeave() override;
    void OnRightUp(int x, int y) override;
    void OnKey(u32 key) override;
    void EndEditing() override;
    bool releasePending = false;
    bool pressed = false;
    u32 firstClickTime = 0;
    int clickState = 0;
    bool editable = true;
    bool password = false;
    bool selectedLook = false;
    bool labelMode = false;
    bool alphanumericOnly = false;
    bool barBackground = false;
    bool noBackground = false;
    bool multiLine = false;
    bool fixed = false;
    bool pickPlayer = false;
    bool hovered = false;
    bool pressedLook = false;
    u16 emptyArt = 0;
    u16 hoverArt = 0;
    u16 pressedArt = 0;
    u8 leftMargin = 3;
    u8 topMargin = 2;
    int kind = kText;
    s32 number = 0;
    std::string text;
    int alternateArt = 0;
    int maximum = 0;
    int caret = 0;
    int scroll = 0;
    u16 font = 0;
    u16 hue = 0;

private:
    void Setup(int x, int y, int kind, int maximum, int font, int hue, bool editable,
               bool labelMode);
    bool Focused() const;
    std::string Shown() const;
    void ScrollBack();
    void ScrollToCaret();
    // Takes out the character before the caret (or the last one at the end).
    bool RemoveBeforeCaret();
    void Report();
    void DrawCaret(Bitmap16& frame, const ClipRect& rect, int cx, int baselineY);
};
