#include "client/world/system_message.h"

#include "client/data/fonts.h"
#include "client/world/journal.h"
#include "client/world/world_hooks.h"

void ShowSystemMessage(int hue, int font, const std::string& text) {
    if (!GetFontTable().HasFont(font)) return;
    TheJournal().AddLine(TakeSpeakerLine(text), hue);
    TheWorldHooks().SystemMessage(text);
}
