#pragma once
// Speech bubbles: the text a world object said (or a system line) floating over it in a
// small gump of wrapped text. A bubble shows one record of the world's chains (bark_views.h):
// it hangs above its object, stacks over the object's newer bubbles, follows the object when
// it or the view moves, lives for a time that grows with its number of lines and can be
// clicked (target, double click) when its object is a mobile or a corpse. A bubble that lies
// behind another one is blended at half strength where they overlap.
//
// CBarkGump shows 8-bit text in a bitmap font; CUnicodeBarkGump 16-bit text in the Unicode
// font of the bubbles, outlined in near-black.
#include <string>
#include <vector>

#include "client/gumps/framework/click_state.h"
#include "client/gumps/framework/gump.h"

class CClientObject;
struct OverheadText;

// The milliseconds a bubble of `height` pixels lives: 4000 per 15-pixel line with the times
// scaled, else 4000, times the modifier percent (0 counts as 100). Every bubble lives at
// least one line's time.
u32 BarkLifetime(int height, int timeModifier, bool scaleTimes);

// Sets every pixel that is 0 next to a glyph pixel (neither 0 nor the key) to the key, for
// rows 1 .. height - 2 and columns 1 .. width - 2 in raster order, in place: one pixel wide.
void OutlineGlyphs(u16* pixels, int width, int height, u16 key);

class CBarkGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kBark;
    GumpKind Kind() const override { return kKind; }
    static constexpr int kLabelHoverHue = 53;
    static constexpr int kMaxDirtyRects = 1000;

    // A bubble for `record` of `anchor` (null: a system line), attached to `owner` (the
    // window showing the object inside a container or on a mobile, else null). Place() then
    // measures, places and draws it; the bark views do both.
    CBarkGump(CClientObject* anchor, OverheadText& record, CGump* owner);
    ~CBarkGump() override;

    // Measures and draws the text, places the bubble over its object, pushes the older
    // bubbles of its chain up and stacks the chain.
    void Place();
    // Draws the text into the frame in the hue.
    virtual void RenderText(int hue);
    // Moves the bubble after its object (not for the player, nor inside containers).
    void FollowObject();
    // Stacks the chain of `bubble`: trims the oldest while the chain is 480 pixels high or
    // more (never `bubble` itself), then hangs it from the top or stands it on the bottom edge.
    static void LayOutStack(CBarkGump* bubble, bool trim = true);
    // The bubbles of the chain of `anchor` (null: the system lines), newest first.
    static std::vector<CBarkGump*> ChainOf(CClientObject* anchor);
    // The bubble showing a record, or null.
    static CBarkGump* Showing(const OverheadText* record);
    // The gump as a live bubble, or null (a gump of the bubbles' kind may be of another class).
    static CBarkGump* Live(CGump* gump);
    // Closes the bubble without laying its chain out again.
    static void CloseQuietly(CBarkGump* bubble);
    bool IsClickable() const;
    bool OverlapsFrontBark() const;

    void Draw(const ClipRect& clip) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnMouseLeave() override;
    void OnHover() override;
    bool ClosesOnEscape() override { return false; }
    CGump* OwnerGump() override { return owner; }
    bool OwnerObjectClickable() override { return IsClickable(); }
    bool Expired(u32 now) override;

    // The record goes with its object (the world deletes it): the bubble closes without
    // dropping it.
    void ForgetRecord() { record = nullptr; }

    CClientObject* anchorObject = nullptr;
    OverheadText* record = nullptr;
    CGump* owner = nullptr;
    int anchorX = 0, anchorY = 0;
    int wantedX = 0, wantedY = 0;
    bool held = false;
    bool pressed = false;
    ClickState click;

protected:
    // The wrapped text's size in the bubble's font; 0 x 0 for a missing font.
    virtual void Measure(int wrapWidth, int& w, int& h);

private:
    void OnSingleClick();
    void OnDoubleClick();
};

class CUnicodeBarkGump : public CBarkGump {
public:
    CUnicodeBarkGump(CClientObject* anchor, OverheadText& record, CGump* owner);
    void RenderText(int hue) override;

protected:
    void Measure(int wrapWidth, int& w, int& h) override;
};

// The colour a Unicode text takes in a hue: colour 30 of its ramp (white without hues).
u16 UnicodeTextColour(int hue);

// A system line whose bubble stands centred on the screen (the death notice).
void ShowCentredSystemBubble(const std::string& text, int hue, int font);
