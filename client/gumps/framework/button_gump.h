#pragma once
// The clickable child of every window: a picture of gump art (normal, pressed, hover), a
// labelled bar, or an invisible hot area, that runs an operation of its parent window when
// used. Push buttons fire on release (also when the pointer has left them), toggles flip their
// look and report it, repeat buttons fire on press and again while held.
#include <functional>
#include <string>

#include "client/gumps/framework/gump.h"

// A button operation: receives the button's parent window.
using ButtonCallback = std::function<void(CGump*)>;

class CButtonGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kButton;
    GumpKind Kind() const override { return kKind; }

    enum Mode { kPush = 0, kToggle = 1, kRepeat = 2 };
    static constexpr int kDisabledHue = 960;

    // An art button: the size of the normal art (the pressed art's when the normal art is 0).
    CButtonGump(int x, int y, CGump* parent, int mode, int frame, ButtonCallback callback,
                int normalArt, int pressedArt, int minimisedTag);
    // A hot area from (left, top) to (right, bottom) inclusive; the width is made even.
    CButtonGump(int left, int top, int right, int bottom, CGump* parent, int mode, int frame,
                ButtonCallback callback, int minimisedTag);
    // A labelled bar: the three-piece bar of `barArt` (pressed: `pressedBarArt`) stretched to
    // the width, the label centred in font 1, hue 902.
    CButtonGump(int x, int y, int width, CGump* parent, int mode, int frame,
                ButtonCallback callback, int barArt, int pressedBarArt, const std::string& label,
                int minimisedTag);

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightDown(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnMouseLeave() override;
    void OnHover() override;
    int MinimisedStateTag() override { return minimisedTag; }

    int mode = kPush;
    int repeatCountdown = 0;
    int value = 0;
    int pressedArt = 0;
    int hoverArt = 0;
    bool storeValue = false;
    bool disabled = false;
    int minimisedTag = 0;
    bool plainFrame = false;
    bool hovered = false;
    bool pixelTest = true;
    ButtonCallback callback;
    bool pressed = false;

private:
    void Setup(int x, int y, int art, int frame, int width, int height);
    void Fire();
    void DrawArt(const ClipRect& clip, int art, bool hued);
};

// The shared close operation: closes the window it is given.
void CloseParentGump(CGump* gump);
