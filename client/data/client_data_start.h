#pragma once
// Start-up of the client's data layer: the tables that are in memory before anything else
// (tile data, animation data, hues, fonts), then the data-file cache and its patches, which
// overwrite what those loaders read.
#include <string>

#include "client/data/data_file_cache.h"

struct ClientSettings;

DataCacheSettings DataCacheSettingsFor(const ClientSettings& settings);
// Tile data, animation data, hues and fonts.mul from the install directory; the hues become
// the sprites' hue table.
void LoadClientDataTables(const ClientSettings& settings);
// The same from a directory ("" or ending in '/') with the given highlight colours.
void LoadClientDataTablesFrom(const std::string& dir, const u32* highlightColours = nullptr);
// The data cache over an install directory (every file read in place) and the tables from it:
// the client's data layer without the shell's settings, as tests and benchmarks run it.
void StartClientDataFrom(const std::string& dir);
// CDHDCache::Init and CDHDCache::LoadPatches with the client's options.
void InitDataCache(const ClientSettings& settings);
void LoadDataPatches();
