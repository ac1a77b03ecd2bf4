#include "client/world/system_message.h"

#include "client/data/fonts.h"
#include "client/world/bark_views.h"
#include "client/world/client_object.h"
#include "client/world/journal.h"
#include "client/world/world_hooks.h"

void ShowSystemMessage(int hue, int font, const std::string& text) {
    if (!GetFontTable().HasFont(font)) return;
    TheJournal().AddLine(TakeSpeakerLine(text), hue);
    TheWorldHooks().SystemMessage(text);
    auto* bark = new OverheadText;
    bark->text = text;
    bark->hue = u16(hue);
    bark->font = u16(font);
    ShowSystemBark(bark);
}

void ShowUnicodeSystemMessage(const std::u16string& text, u16 hue, u16 font, u32 language) {
    TheJournal().AddUnicodeLine(TakeUnicodeSpeakerLine(text), hue);
    auto* bark = new OverheadText;
    bark->wideText = text;
    bark->unicode = true;
    bark->hue = hue;
    bark->font = font;
    bark->language = language;
    ShowSystemBark(bark);
}
