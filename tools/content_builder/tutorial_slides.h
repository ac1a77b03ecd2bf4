#pragma once
// The tutorial slides of character creation, written into the client's data directory:
// "tutorial/1gen.tga" .. "tutorial/6gen.tga" and one "tutorial/skillNN.tga" per skill (NN the
// skill number + 1), 640 x 480 run-length 24-bit TGA pictures with the slide's title and the
// places of the slide show's previous, next and finish areas drawn in.
#include <map>
#include <string>
#include <vector>

#include "platform/types.h"

// A 5-5-5 picture as a run-length 24-bit TGA, bottom row first.
std::vector<u8> EncodeTgaRle(const std::vector<u16>& pixels, int width, int height);
// Every slide by its path below the data directory, texts in the fonts of `fontsMul`.
std::map<std::string, std::vector<u8>> BuildTutorialSlides(const std::vector<u8>& fontsMul);
// Builds the slides with the fonts.mul already written into `dir` and writes them there.
bool WriteTutorialSlides(const std::string& dir, std::string* error);
