#pragma once
// The amount chooser: when the player takes up a stack of more than one, it opens under the
// pointer and follows it until the button is released, shows the amount, lets the player
// choose it with a slider or type it, and on OK (or Enter) takes up that many. It knows its
// stack by serial: a stack that left the world meanwhile is not taken up.
#include <string>

#include "client/gumps/framework/gump.h"

class CThumbGump;

class CStackGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kStack;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kArt = 2140;
    static constexpr int kOkArt = 2141;
    static constexpr int kOkPressedArt = 2142;
    static constexpr int kOkHoverArt = 2076;
    static constexpr int kThumbArt = 2117;
    static constexpr int kThumbHoverArt = 2118;

    // At (x, y) for the stack; it takes the keyboard focus. The caller links it.
    CStackGump(int x, int y, u32 stack);

    void Redraw();
    // The OK action: the chooser closes and, with an amount and the stack still there, that
    // amount is taken up.
    static void Confirm(CGump* chooser);
    // Hangs on the pointer (grabbed at its centre) until the button is released.
    void FollowPointer();

    bool ContainsPoint(int x, int y) override;
    void Draw(const ClipRect& clip) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnSliderMoved(int position, int range, CGump* thumb) override;
    void OnKey(u32 key) override;
    void EndEditing() override { Redraw(); }

    int Amount() const { return amount_; }
    int Maximum() const { return maximum_; }
    const std::string& AmountText() const { return text_; }
    CThumbGump* Thumb() const { return thumb_; }

private:
    bool pressed_ = false;
    bool typed_ = false;
    int amount_ = 0;
    int maximum_ = 0;
    std::string text_;
    CThumbGump* thumb_ = nullptr;
};

// The chooser for a stack, under the pointer and following it; null when it cannot open.
CStackGump* OpenAmountChooser(u32 stack);
