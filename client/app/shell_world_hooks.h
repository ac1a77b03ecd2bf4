#pragma once
// The running client's answers to the world model that reach the gump desktop: the windows
// that close on Escape, the modal window (the death menu), the dragged object's window and the
// system lines' bubbles, as the death notice and a refused drag clear them; the player's
// paperdolls, status windows and amount chooser. Everything else
// keeps RunningWorldHooks' answer.
#include "client/world/world_hooks.h"

class ShellWorldHooks : public RunningWorldHooks {
public:
    void CloseOnEscapeGumps() override;
    // The modal window goes (an open death menu).
    void DeleteChoiceGump() override;
    void DeleteDragGump() override;
    // The bubbles that belong to no object.
    void DeleteFreeBarks() override;

    // --- the player's own windows: paperdolls, status windows, the amount chooser ----------
    // Every paperdoll of the mobile composes its picture again.
    void RedrawPaperdoll(u32 mobile) override;
    // The player's war mode and flags changed: the war button and the status windows follow.
    void RefreshPlayerStatus() override;
    void OpenAmountGump(u32 serial) override;
    // Every top-level window of an object that leaves (or hides) goes with it; its speech
    // bubbles are left to its chain of texts.
    void DeleteGumpsOf(u32 serial) override;
};
