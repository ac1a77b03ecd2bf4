#pragma once
// Gump art the journal and the tips window draw besides the scroll they share with the skill
// window: their titles, the lock button, the minimised pictures, the scroll thumb, the tip
// buttons and the "Don't show again" box.
#include <vector>

#include "client/data/fonts.h"
#include "tools/content_builder/gump_art_writer.h"

// The ids, ascending.
std::vector<u32> JournalGumpIds();
void AddJournalArt(GumpArtWriter& writer, CFontTable& fonts);
