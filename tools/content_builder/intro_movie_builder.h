#pragma once
// The client's intro movie "music/intro.wve", generated: 6 seconds at 15 frames a second of
// 320 x 240 frames with stereo IMA music at 22050 Hz. First the title in the large font over
// a drawn emblem, as a palette key frame and delta frames (a light circles the emblem while
// the title is uncovered from the left); then a slow pan across the island's terrain as
// transform frames (a type 3 frame every second, type 4 frames between them, copying what
// only moved). The chunks go header, then video and sound in turn, then the end chunk.
// Deterministic: the pictures and the music are drawn with integer arithmetic only (no libm),
// and the encoders depend only on their input: the same bytes on every build.
#include <string>
#include <vector>

#include "platform/types.h"
#include "tools/content_builder/font_files.h"
#include "tools/content_builder/map_files.h"

namespace intro_movie {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFramesPerSecond = 15;
constexpr int kTitleFrames = 45;
constexpr int kPanFrames = 45;
constexpr int kFrames = kTitleFrames + kPanFrames;
constexpr int kSampleRate = 22050;
constexpr int kSoundFramesPerFrame = kSampleRate / kFramesPerSecond;  // 1470
// The font slot of the title, and the title.
constexpr int kTitleFont = 9;
constexpr const char* kTitle = "Varnok Online";

// The frame type (1 to 4) the intro uses for frame `index`; a palette delta frame that
// needs more block sources than its indices reach is sent as a key frame instead.
int PlannedFrameType(int index);

// `frames` stereo frames of the music, interleaved left and right, from the start.
std::vector<s16> IntroMusic(size_t frames);

// The title picture of frame `index` (below kTitleFrames): kWidth x kHeight palette indices
// into IntroPalette().
std::vector<u8> TitlePicture(int index, const std::vector<FontGlyphRecord>& font);
// 252 red, green, blue triples: a 6 x 7 x 6 colour cube.
std::vector<u8> IntroPalette();

// The island art the pan crosses: red, green, blue triples, `width` x kHeight.
std::vector<u8> IslandArt(const TerrainGrid& terrain, int& width);

// The whole movie file; `font` is the title font's glyphs (characters 32..255).
std::vector<u8> BuildIntroMovie(const TerrainGrid& terrain,
                                const std::vector<FontGlyphRecord>& font);

// The movie with the title font rendered from the installed faces; false with a message.
bool BuildIntroMovieFile(const TerrainGrid& terrain, std::vector<u8>& out, std::string* error);

}  // namespace intro_movie
