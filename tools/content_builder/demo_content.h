#pragma once
// The world data files of the demo: every member that the server's map and tile-data loaders
// read, by the path the server opens it under (the archive packer turns each path into its
// member name). The client's copies of the same files come from the same generators.
#include <map>
#include <string>
#include <vector>

#include "platform/types.h"

using DataMembers = std::map<std::string, std::vector<u8>>;

class ArchiveBuilder;

// The world rectangle that a `server.txt` text gives (entries <x>, <y>, <width>, <height>;
// the server's defaults 0, 0, 1024, 1024 for those it lacks).
struct WorldRect {
    int x = 0;
    int y = 0;
    int width = 1024;
    int height = 1024;
};
WorldRect WorldRectFromServerTxt(const std::string& text);

// Adds every member of BuildServerDataMembers for the world rectangle of the text of the
// world's `server.txt`. False with a message.
bool AddWorldData(ArchiveBuilder& builder, const std::string& serverTxt, const std::string& world,
                  std::string* error);

// The terrain, statics, tile data, hues, animation data, art sizes, starting hour, type-script
// list and resource regions of the demo world over the rectangle (x0, y0, width, height).
DataMembers BuildServerDataMembers(const std::string& world, int x0, int y0, int width, int height);
