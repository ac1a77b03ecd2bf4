#pragma once
// A line of the system's own: it enters the journal and shows at the bottom left of the view.
// Handlers, the speech line and the client's own notices all say their lines through here.
#include <string>

#include "platform/types.h"

void ShowSystemMessage(int hue, int font, const std::string& text);
// The same for a line of 16-bit characters (Unicode speech without a known speaker); the
// language word travels with it.
void ShowUnicodeSystemMessage(const std::u16string& text, u16 hue, u16 font, u32 language);
