#pragma once
// A draggable sign or notice with text; a right click closes it.
#include <string>

#include "client/gumps/framework/movable_gump.h"

class CSignGump : public CMovableGump {
public:
    static constexpr GumpKind kKind = GumpKind::kSign;
    GumpKind Kind() const override { return kKind; }

    // The sign of an art: the text wrapped inside the art's item area, font 1, hue 902.
    CSignGump(int x, int y, int artId, const std::string& title, const std::string& text,
              u32 object);
    // An empty sign of a size.
    CSignGump(int x, int y, int width, int height);
    // A sign on a nine-piece panel, the text wrapped at (20, 20), width - 39 wide.
    CSignGump(int x, int y, int panelArt, int width, int height, const std::string& text,
              u32 object);

    bool ContainsPoint(int x, int y) override;
    void OnRightUp(int x, int y) override;
};
