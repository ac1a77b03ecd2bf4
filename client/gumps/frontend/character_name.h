#pragma once
// The check of a new character's name on the creation screens.
#include <string_view>

// True when the name must be refused: not letters with single separators (space, ' - .)
// between them, a title at its start, or a reserved or offensive word in it.
bool IsUnacceptableName(std::string_view name);
