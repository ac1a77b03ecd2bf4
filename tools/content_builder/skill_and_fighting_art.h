#pragma once
// Gump art of the skill window, the fighting bar and the death menu: every id those windows
// draw or hit, painted so that their hit areas are solid and their captions readable.
#include <string>
#include <vector>

#include "client/data/fonts.h"
#include "tools/content_builder/gump_art_writer.h"

// The ids, ascending.
std::vector<u32> SkillFightingDeathGumpIds();
// Adds the art of every id of the list but the slider thumb (2117, 2118), which the fixture
// pictures hold (font_and_gump_files.h).
void AddSkillFightingDeathArt(GumpArtWriter& writer, CFontTable& fonts);

// The in-game windows' shared painting: a caption centred on the picture (moved down by `dy`)
// in the caption font, and a stone button with a caption in state 0 (normal), 1 (pressed) or
// 2 (hover).
void Caption(CFontTable& fonts, GumpCanvas& c, const std::string& text, int hue, int dy = 0);
GumpPicture Button(CFontTable& fonts, int w, int h, const std::string& label, int state);
