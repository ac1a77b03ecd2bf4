#include "tools/content_builder/client_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/byte_order.h"
#include "tools/content_builder/anim_files.h"
#include "tools/content_builder/art_files.h"
#include "tools/content_builder/intro_movie_builder.h"
#include "tools/content_builder/multi_content.h"
#include "tools/content_builder/skill_names.h"
#include "tools/content_builder/sound_files.h"
#include "tools/content_builder/terrain.h"
#include "tools/content_builder/tile_set.h"
#include "tools/content_builder/world_view_files.h"

void WriteIndexedRecords(const std::vector<IndexedRecord>& records, std::vector<u8>& index,
                         std::vector<u8>& data) {
    index.clear();
    data.clear();
    for (const IndexedRecord& r : records) {
        if (!r.present) {
            AppendLe32(index, 0xFFFFFFFFu);
            AppendLe32(index, 0);
            AppendLe32(index, r.extra);
            continue;
        }
        AppendLe32(index, static_cast<u32>(data.size()));
        AppendLe32(index, static_cast<u32>(r.bytes.size()));
        AppendLe32(index, r.extra);
        data.insert(data.end(), r.bytes.begin(), r.bytes.end());
    }
}

std::vector<u8> WriteVerdataFile(const std::vector<VerdataPatch>& patches) {
    std::vector<u8> out;
    AppendLe32(out, static_cast<u32>(patches.size()));
    u32 offset = static_cast<u32>(4 + 20 * patches.size());
    for (const VerdataPatch& p : patches) {
        AppendLe32(out, p.file);
        AppendLe32(out, p.id);
        AppendLe32(out, offset);
        AppendLe32(out, static_cast<u32>(p.data.size()));
        AppendLe32(out, p.extra);
        offset += static_cast<u32>(p.data.size());
    }
    for (const VerdataPatch& p : patches)
        out.insert(out.end(), p.data.begin(), p.data.end());
    return out;
}

std::string WriteColourList(const std::vector<std::vector<Rgb>>& groups) {
    std::string out;
    char line[48];
    for (size_t g = 0; g < groups.size(); ++g) {
        if (g > 0) out += "(0,0,0)\n";
        for (const Rgb& c : groups[g]) {
            std::snprintf(line, sizeof line, "(%d,%d,%d)\n", c.r, c.g, c.b);
            out += line;
        }
    }
    return out;
}

namespace {

// Groups of `perGroup` shades from dark to light around each base colour.
std::vector<std::vector<Rgb>> Shades(const std::vector<Rgb>& bases, int perGroup) {
    std::vector<std::vector<Rgb>> groups;
    for (const Rgb& base : bases) {
        std::vector<Rgb> group;
        for (int i = 0; i < perGroup; ++i) {
            // 60 % to 130 % of the base, kept within 8..255 so no shade reads as a separator.
            const int percent = 60 + i * 70 / (perGroup - 1);
            auto channel = [&](int v) {
                const int s = v * percent / 100;
                return s < 8 ? 8 : (s > 255 ? 255 : s);
            };
            group.push_back({channel(base.r), channel(base.g), channel(base.b)});
        }
        groups.push_back(group);
    }
    return groups;
}

}  // namespace

std::vector<std::vector<Rgb>> DemoSkinColours() {
    return Shades({{232, 190, 160},
                   {220, 170, 130},
                   {200, 150, 110},
                   {170, 120, 85},
                   {140, 95, 65},
                   {110, 75, 50},
                   {80, 55, 40}},
                  8);
}

std::vector<std::vector<Rgb>> DemoHairColours() {
    return Shades({{40, 30, 25},
                   {110, 70, 40},
                   {170, 120, 60},
                   {220, 190, 120},
                   {150, 50, 30},
                   {160, 160, 160}},
                  8);
}

std::vector<u8> WriteClientMapFile(const TerrainGrid& terrain) {
    std::vector<u8> out;
    out.reserve(static_cast<size_t>(kClientMapBlockColumns) * kClientMapBlockRows * 196);
    for (int column = 0; column < kClientMapBlockColumns; ++column) {
        for (int row = 0; row < kClientMapBlockRows; ++row) {
            AppendLe32(out, 0);
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    const int wx = column * 8 + x, wy = row * 8 + y;
                    TerrainGrid::Cell cell{static_cast<u16>(demo_tiles::kWater + ((wx + wy) & 3)),
                                           -5};
                    if (terrain.Contains(wx, wy)) cell = terrain.At(wx, wy);
                    AppendLe16(out, cell.tile);
                    out.push_back(static_cast<u8>(cell.z));
                }
            }
        }
    }
    return out;
}

void WriteClientStaticsFiles(const std::vector<StaticEntry>& statics, std::vector<u8>& index,
                             std::vector<u8>& data) {
    // Only the rectangle of the grid is used: the whole client map.
    TerrainGrid area;
    area.width = kClientMapBlockColumns * 8;
    area.height = kClientMapBlockRows * 8;
    WriteStaticsFiles(area, statics, index, data);
}

namespace {
constexpr const char* kClientConfigFile = "zq.cfg";
// The main menu waits for the login button and the account's character list for a choice:
// no login and no character played without the player.
constexpr const char* kShippedClientConfig =
    "HdUsage=max\nShowIntroAnim=on\nChestOpening=off\nautoLogIn=off\n";
// What earlier builds wrote: a file still holding exactly that was never edited by the
// player and is replaced; any other is the player's own and kept.
constexpr const char* kEarlierShippedClientConfigs[] = {"HdUsage=max\nShowIntroAnim=on\n"};

bool IsEarlierShippedConfig(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* earlier : kEarlierShippedClientConfigs)
        if (text == earlier) return true;
    return false;
}
}  // namespace

bool BuildClientFiles(int x0, int y0, int width, int height, ClientFiles& files,
                      std::string* error) {
    files.clear();
    const DemoWorld world = BuildDemoWorld(x0, y0, width, height);
    files["map0.mul"] = WriteClientMapFile(world.terrain);
    WriteClientStaticsFiles(world.statics, files["staidx0.mul"], files["statics0.mul"]);
    const TileSet& tiles = DemoTileSet();
    files["tiledata.mul"] = WriteTileDataFile(tiles);
    files["animdata.mul"] = WriteAnimDataFile(DemoAnimData());
    files["hues.mul"] = WriteHuesFile(DemoHues(), kClientHueFileCount);
    const std::string skin = WriteColourList(DemoSkinColours());
    const std::string hair = WriteColourList(DemoHairColours());
    files["skinhue.txt"] = std::vector<u8>(skin.begin(), skin.end());
    files["hairhue.txt"] = std::vector<u8>(hair.begin(), hair.end());
    const std::vector<IndexedRecord> art = BuildDemoArt();
    WriteIndexedRecords(art, files["artidx.mul"], files["art.mul"]);
    files.merge(BuildWorldViewFiles(art));
    WriteIndexedRecords(BuildDemoAnimations(), files["anim.idx"], files["anim.mul"]);
    WriteIndexedRecords(BuildDemoSounds(), files["soundidx.mul"], files["sound.mul"]);
    WriteIndexedRecords(BuildDemoSkillRecords(), files["skills.idx"], files["skills.mul"]);
    // Gump art comes with the fonts (font_and_gump_files.h). The multis from the server's table.
    BuildDemoMultiFiles(files["multi.idx"], files["multi.mul"]);
    if (!intro_movie::BuildIntroMovieFile(world.terrain, files["music/intro.wve"], error))
        return false;
    const std::string cfg = kShippedClientConfig;
    files[kClientConfigFile] = std::vector<u8>(cfg.begin(), cfg.end());
    return true;
}

bool WriteClientFiles(const std::string& dir, const ClientFiles& files, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const auto& [name, bytes] : files) {
        const std::string path = dir + "/" + name;
        if (name == kClientConfigFile && std::filesystem::exists(path, ec) &&
            !IsEarlierShippedConfig(path))
            continue;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            *error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
