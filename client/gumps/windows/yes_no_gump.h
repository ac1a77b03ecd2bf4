#pragma once
// The small modal question: a text and two buttons, each running a callback its creator
// chooses. It never closes itself (a callback closes it or ends the client); Enter, Escape
// and right clicks do nothing to it.
#include <string>

#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/movable_gump.h"

class CYesNoGump : public CMovableGump {
public:
    static constexpr GumpKind kKind = GumpKind::kYesNo;
    GumpKind Kind() const override { return kKind; }

    // Builds the window at the screen's centre and makes it the desktop's modal gump; the
    // creator links it at the top level.
    CYesNoGump(const std::string& question, ButtonCallback yes, ButtonCallback no, int value);
    ~CYesNoGump() override;

    bool ContainsPoint(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    bool ClosesOnEscape() override { return false; }

    int value = 0;
};
