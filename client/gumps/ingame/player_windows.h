#pragma once
// The desktop's factory for the player's own windows that have classes of their own: the
// paperdoll (art id 10), a status window (8) and the amount chooser (49), each made at the
// place its class chooses and not linked yet.
#include "client/gumps/framework/gump.h"

// The window of an art id for an object, or null when the id is not one of these (or the
// object cannot have it).
CGump* MakePlayerWindow(int artId, u32 object);
