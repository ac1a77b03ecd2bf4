#pragma once
// An on/off switch with a label; a click flips it and tells the parent.
#include <string>

#include "client/gumps/framework/gump.h"

class CToggleControlGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kToggleControl;
    GumpKind Kind() const override { return kKind; }

    CToggleControlGump(int x, int y, CGump* parent, int artOff, int artOn, int font, int hue,
                       const std::string& label, int state, int disabledArtOff, int disabledArtOn);

    void Redraw();
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnMouseLeave() override;
    void OnRightUp(int x, int y) override;
    int artOn = 0;
    int disabledArtOff = 0;
    int disabledArtOn = 0;
    int hoverArtOff = 0;
    int hoverArtOn = 0;
    bool hovered = false;
    int state = 0;
    bool disabled = false;

private:
    int artWidth_ = 0;
    int artHeight_ = 0;
};
