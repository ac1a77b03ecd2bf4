#pragma once
// Start-up of the client's data layer: the tables that are in memory before anything else
// (tile data, animation data, hues, fonts), then the data-file cache and its patches, which
// overwrite what those loaders read.
#include "client/data/data_file_cache.h"

class CClientApp;

DataCacheSettings DataCacheSettingsFor(const CClientApp& app);
// Tile data, animation data, hues and fonts.mul from the install directory.
void LoadClientDataTables(const CClientApp& app);
// CDHDCache::Init and CDHDCache::LoadPatches with the client's options.
void InitDataCache(const CClientApp& app);
void LoadDataPatches();
