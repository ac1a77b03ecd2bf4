#pragma once
// The fighting bar: the choice between two fighting styles, the second with two settings on
// sliders (0..100), sent to the server with the player's war mode on Apply or OK. Reset only
// switches back to the first style; nothing goes until Apply or OK. The bar minimises to a
// small picture that a double click restores, and the desktop keeps it between runs.
#include "client/gumps/framework/click_state.h"
#include "client/gumps/framework/gump.h"
#include "platform/types.h"

class CButtonGump;
class CThumbGump;

// The style (0 or 1) and its two settings as the server last said or the bar last sent:
// the bytes the war-mode packet 0x72 carries after the war-mode flag.
struct FightingStyle {
    u8 style = 0;
    u8 settings[2] = {};
};
// The style of the present connection (a fresh one without a connection).
FightingStyle CurrentFightingStyle();
// Stores it and sends 0x72 with the player's war-mode flag; nothing without a connection.
void SendFightingStyle(const FightingStyle& style);

class CFightingGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kFighting;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kArt = 2110;
    static constexpr int kMinimisedArt = 2131;

    CFightingGump(int x, int y);
    ~CFightingGump() override;

    static void Apply(CGump* bar);
    static void Reset(CGump* bar);
    static void ApplyAndClose(CGump* bar);

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnHover() override;
    void OnControlChanged(CGump* child) override;

    // The style and settings the bar shows now.
    FightingStyle Shown() const;
    CThumbGump* Slider(int index) const { return sliders_[index]; }
    CButtonGump* StyleButton(int style) const { return style == 1 ? style1_ : style0_; }

private:
    // One pixel along a slider's track, while the slider shows.
    void StepSlider(int index, int by);

    bool moved_ = false;
    bool buttonHeld_ = false;
    ClickState click_;
    int pressX_ = 0;
    int pressY_ = 0;
    CThumbGump* sliders_[2] = {};
    CButtonGump* style0_ = nullptr;
    CButtonGump* style1_ = nullptr;
};
