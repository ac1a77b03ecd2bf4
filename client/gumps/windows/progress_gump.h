#pragma once
// A message with a progress bar; draggable, closed by a right click, never by Escape.
#include <string>

#include "client/gumps/framework/movable_gump.h"

class CProgressGump : public CMovableGump {
public:
    static constexpr GumpKind kKind = GumpKind::kProgress;
    GumpKind Kind() const override { return kKind; }

    CProgressGump(int x, int y, const std::string& message, int percent);
    ~CProgressGump() override;

    void SetPercent(int percent);
    void SetMessage(const std::string& text);

    bool ContainsPoint(int x, int y) override;
    void OnRightUp(int x, int y) override;
    bool ClosesOnEscape() override { return false; }

    int percent = 0;
    std::string message;

private:
    void Redraw();
};
