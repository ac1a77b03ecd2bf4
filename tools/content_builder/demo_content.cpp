#include "tools/content_builder/demo_content.h"

#include <cstdio>
#include <cstdlib>

#include "core/archive_builder.h"
#include "core/file_layer.h"
#include "server/world/resource_tables.h"
#include "server/world/world_data_files.h"
#include "tools/content_builder/economy_content.h"
#include "tools/content_builder/map_files.h"
#include "tools/content_builder/mobile_content.h"
#include "tools/content_builder/book_content.h"
#include "tools/content_builder/multi_content.h"
#include "tools/content_builder/terrain.h"
#include "tools/content_builder/tile_set.h"

namespace {
std::vector<u8> Text(const std::string& text) {
    return std::vector<u8>(text.begin(), text.end());
}
}  // namespace

DataMembers BuildServerDataMembers(const std::string& world, int x0, int y0, int width,
                                   int height) {
    DataMembers members;
    const DemoWorld demo = BuildDemoWorld(x0, y0, width, height);
    members[WorldDataPath(world, "map0.mul")] = WriteMapFile(demo.terrain);
    std::vector<u8> index, data;
    WriteStaticsFiles(demo.terrain, demo.statics, index, data);
    members[WorldDataPath(world, "staidx0.mul")] = std::move(index);
    members[WorldDataPath(world, "statics0.mul")] = std::move(data);
    const TileSet& tiles = DemoTileSet();
    members[kTileDataPath] = WriteTileDataFile(tiles);
    members[kHuesPath] = WriteHuesFile(DemoHues());
    members[kAnimDataPath] = WriteAnimDataFile(DemoAnimData());
    members[kArtDimPath] = WriteArtDimensionsFile(DemoArtSizes());
    members[kResourceTypesPath] = DemoResourceTypesFile();
    members[kItemResourcesPath] = DemoItemResourcesFile();
    members[kTimePath] = WriteTimeFile(9);  // the demo starts in the morning
    members[DataFilePath(kMultiTextFileId)->path] = Text(FormatMultiText(DemoMultiDefinitions()));
    std::vector<u8> bookIndex, bookData;
    WriteBookFiles(DemoReadOnlyBooks(), bookIndex, bookData);
    members[kBooksIndexPath] = std::move(bookIndex);
    members[kBooksDataPath] = std::move(bookData);
    // The graphics whose objects get a type script (the class named by the number).
    members[kTypeScriptListPath] = Text(std::to_string(demo_tiles::kBlood) + "\n");
    std::string regions;
    for (const DemoRegion& r : demo.resourceRegions) {
        char buffer[160];
        std::snprintf(buffer, sizeof buffer, "Region Name: %s\nRegion Rect: %d %d %d %d\n",
                      r.name.c_str(), r.left, r.top, r.right, r.bottom);
        regions += buffer;
    }
    members[WorldDataPath(world, "resregions.txt")] = Text(regions);
    AddMobileDataMembers(members);
    return members;
}

WorldRect WorldRectFromServerTxt(const std::string& text) {
    WorldRect rect;
    size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string::npos) {
        const size_t end = text.find('>', pos);
        if (end == std::string::npos) break;
        std::string entry = text.substr(pos + 1, end - pos - 1);
        pos = end + 1;
        for (char& c : entry) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        const size_t space = entry.find(' ');
        if (space == std::string::npos) continue;
        const std::string key = entry.substr(0, space);
        const int value = std::atoi(entry.c_str() + space + 1);
        if (key == "x") rect.x = value;
        if (key == "y") rect.y = value;
        if (key == "width") rect.width = value;
        if (key == "height") rect.height = value;
    }
    return rect;
}

bool AddWorldData(ArchiveBuilder& builder, const std::string& serverTxt, const std::string& world,
                  std::string* error) {
    const WorldRect rect = WorldRectFromServerTxt(serverTxt);
    if (rect.width < 256 || rect.height < 256 || rect.width % 8 || rect.height % 8 ||
        rect.width > 8192 || rect.height > 8192) {
        *error = "the world size in server.txt must be whole cells of 8 tiles, 256 to 8192";
        return false;
    }
    for (const auto& [path, bytes] :
         BuildServerDataMembers(world, rect.x, rect.y, rect.width, rect.height)) {
        if (!builder.Add(path, bytes)) {
            *error = "cannot add " + path + ": " + builder.Error();
            return false;
        }
    }
    return true;
}
