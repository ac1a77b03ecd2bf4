#pragma once
// The client's 3000 hues: ramps of 32 colours (5-5-5) that replace the grey levels of a
// picture. Read from `hues.mul` (375 blocks: a u32 header and 8 records of 88 bytes), then
// filled further from the colour lists (skin, hair and twelve colour groups), each list
// confined to its own range of hue numbers.
#include <string>
#include <vector>

#include "platform/types.h"

struct HueEntry {
    u16 colours[32] = {};
    u16 start = 0;
    u16 end = 0;
    char name[20] = {};
};

constexpr int kClientHueCount = 3000;
constexpr int kHueEntryBytes = 88;
constexpr int kHueBlockEntries = 8;
constexpr int kHueBlockBytes = 4 + kHueBlockEntries * kHueEntryBytes;  // 708
constexpr int kSkinHueFirst = 1001;
constexpr int kHairHueFirst = 1101;

// One colour list and the hue numbers it fills.
struct ColourListInfo {
    const char* file;
    int firstHue;
    const char* group;  // name word of the twelve lists; null for skin and hair
};
const std::vector<ColourListInfo>& ColourLists();

// Groups of the skin or hair list: the offset of each group's first hue from the list's first.
struct HueGroups {
    std::vector<int> starts;
    int hueCount = 0;  // hues the list filled
};

class HueTable {
public:
    HueTable();

    // Hue number 1..3000; null outside.
    const HueEntry* Hue(int number) const;
    HueEntry* MutableHue(int number);

    std::vector<HueEntry> entries;  // record h - 1 is hue h
    HueGroups skinGroups;
    HueGroups hairGroups;
    std::vector<u16> skinColours;  // the line colour of each skin hue, packed
    u16 highlightHues[8] = {0, 0x59, 0x3F, 0x3B2, 0x3B2, 0x90, 0x22, 0};
};

// 8-bit channels to a 5-5-5 pixel.
u16 PackRgb555(int red, int green, int blue);

// Builds the whole table from `dir` (install directory, "" or ending in '/'): hues.mul
// (created with "Blank Color" hues when missing), the colour lists, the final colour fix and
// the highlight hues for the given colours (0x00RRGGBB; entries 1-6, 0 = not given).
void LoadHues(HueTable& table, const std::string& dir, const u32* highlightColours = nullptr);
// Reads a hues.mul image; a short image fills what it holds.
void ReadHuesImage(HueTable& table, const u8* bytes, size_t size);
// Reads one colour list's text into its hue range; answers the hues filled.
int ReadColourList(HueTable& table, const ColourListInfo& list, const std::string& text,
                   HueGroups* groups);

void SetHueRamp(HueTable& table, int hue, u16 startColour, u16 endColour, const char* name);
int FindNearestHue(const HueTable& table, u32 colour);
void RgbToHsl(int red, int green, int blue, double& hue, double& lightness, double& saturation);
void HslToRgb(double& red, double& green, double hue, double lightness, double saturation,
              double& blue);

HueTable& TheHueTable();
