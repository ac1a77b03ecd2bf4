#pragma once
// The draggable thumb of a slider or scroll bar: it moves along one axis inside a track and
// reports its place to its parent as position and range.
#include "client/gumps/framework/gump.h"

class CThumbGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kThumb;
    GumpKind Kind() const override { return kKind; }

    // (x, y) is the thumb's start and the low end of its track; the high end is `trackEnd`
    // minus the thumb's height (vertical) or width (horizontal), in the parent's coordinates.
    CThumbGump(int x, int y, bool vertical, int trackEnd, CGump* parent, int art);

    // Puts the thumb at low end + position x (high end - low end + 1) / range, clamped to the
    // high end; a range of 0 or less puts it at the low end. Answers the new coordinate.
    int SetPosition(int position, int range);
    // For a journal-like scroll bar: `above` pixels of text above the view out of `total`; a
    // total of 0 or less puts the thumb at the low end.
    void SyncToTextGump(int above, int total);

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnRightDown(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnMouseLeave() override;
    bool vertical = true;
    bool hovered = false;
    int minX = 0;
    int maxX = 0;
    int minY = 0;
    int maxY = 0;
    u16 hoverArt = 0;
    bool dragging = false;

private:
    int Position() const { return vertical ? y - minY : x - minX; }
    int Range() const { return vertical ? maxY - minY : maxX - minX; }
};
