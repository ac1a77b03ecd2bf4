#pragma once
// Gump art of the player's own windows: the paperdoll (backgrounds, profile area, buttons,
// minimised picture), the status window and health bars, the amount chooser, and the
// paperdoll pictures of the demo's wearables (50000 + their paperdoll number, and the 60000
// variants some of them have for women). Every id those windows draw or hit is here or in the
// pictures written before (the bars 2053 and 2054, the slider thumb, the OK hover art 2076,
// hair and beards).
#include <vector>

#include "client/data/fonts.h"
#include "tools/content_builder/gump_art_writer.h"

// The ids, ascending.
std::vector<u32> PlayerWindowGumpIds();
void AddPlayerWindowArt(GumpArtWriter& writer, CFontTable& fonts);
