#pragma once
// The question after the player's death: a small modal window at the screen's centre with two
// choices, "Play As Ghost" (sent, and the menu closes) and "Resurrect With Penalties" (sent;
// the menu stays until the server's answer closes it). Neither Escape nor a right click closes
// it.
#include <functional>

#include "client/gumps/framework/gump.h"
#include "platform/types.h"

class CDeathMenuGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kDeathMenu;
    GumpKind Kind() const override { return kKind; }

    // The choices as the server reads them (client packet 0x2C).
    static constexpr u8 kResurrectChoice = 1;
    static constexpr u8 kPlayAsGhostChoice = 2;
    static constexpr int kWidth = 280;
    static constexpr int kHeight = 100;

    // `sendChoice` carries a choice to the server.
    explicit CDeathMenuGump(std::function<void(u8 choice)> sendChoice);
    ~CDeathMenuGump() override;

    static void ChoosePlayAsGhost(CGump* menu);
    static void ChooseResurrect(CGump* menu);

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    bool ClosesOnEscape() override { return false; }

private:
    std::function<void(u8 choice)> sendChoice_;
};

// Opens the death menu at the front of the desktop as its modal gump.
CDeathMenuGump* OpenDeathMenuGump(std::function<void(u8 choice)> sendChoice);
