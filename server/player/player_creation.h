#pragma once
// The creation of a new character (CPlayerRegistry::CreatePlayer, declared in
// server/world/player_registry.h): the creation request's values as kept, the start place,
// stats, skills, hues, hair and beard, the backpack and the starting kit.
#include "server/world/player_registry.h"

// The creation values as kept: out-of-range stats, skill values and hues fall back to their
// defaults; a hair or beard style that is not allowed becomes 0.
NewCharacter ClampNewCharacter(const NewCharacter& request);
