#pragma once
// The running client's answers to the world model that reach the gump desktop: the windows
// that close on Escape, the modal window (the death menu), the dragged object's window and the
// system lines' bubbles, as the death notice and a refused drag clear them. Everything else
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
};
