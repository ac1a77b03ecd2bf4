#pragma once
// A line of the system's own: it enters the journal and shows at the bottom left of the view.
// Handlers, the speech line and the client's own notices all say their lines through here.
#include <string>

void ShowSystemMessage(int hue, int font, const std::string& text);
