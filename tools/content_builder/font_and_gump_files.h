#pragma once
// The client's font files and its gump art, as the client's install directory holds them.
#include <map>
#include <string>
#include <vector>

#include "platform/types.h"
#include "tools/content_builder/gump_art_writer.h"

// Gump art ids of the fixture pictures: the hue picker's background, its OK button (normal,
// pressed, hover) and its slider thumb (normal, pressed).
constexpr u32 kGumpHuePanel = 2310;
constexpr u32 kGumpOkButton = 2311;
constexpr u32 kGumpOkButtonPressed = 2312;
constexpr u32 kGumpOkButtonHover = 2313;
constexpr u32 kGumpThumb = 2117;
constexpr u32 kGumpThumbPressed = 2118;

// Adds the fixture pictures; the buttons are labelled with the fonts of `fontsMul`.
void AddFixtureGumpArt(GumpArtWriter& writer, const std::vector<u8>& fontsMul);

// Every file by name: fonts.mul, unifont.mul, unifont1.mul, unifont2.mul, gumpidx.mul,
// gumpart.mul. False with a message.
bool BuildFontAndGumpFiles(std::map<std::string, std::vector<u8>>& files, std::string* error);
// Writes them into the directory. False with a message.
bool WriteFontAndGumpFiles(const std::string& dir, std::string* error);
