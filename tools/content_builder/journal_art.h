#pragma once
// Gump art the journal window draws besides the scroll it shares with the skill window: its
// title, the lock button, the minimised picture and the scroll thumb.
#include <vector>

#include "client/data/fonts.h"
#include "tools/content_builder/gump_art_writer.h"

// The ids, ascending.
std::vector<u32> JournalGumpIds();
void AddJournalArt(GumpArtWriter& writer, CFontTable& fonts);
