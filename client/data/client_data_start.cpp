#include "client/data/client_data_start.h"

#include "client/data/anim_data.h"
#include "client/data/client_settings.h"
#include "client/data/fonts.h"
#include "client/data/hue_table.h"
#include "client/data/pixel_spans.h"
#include "client/data/tile_data.h"

DataCacheSettings DataCacheSettingsFor(const ClientSettings& settings) {
    DataCacheSettings s;
    s.hdDir = settings.MakeHDPath("");
    s.cdDir = settings.MakeCDPath("");
    s.maximumInstall = settings.options.hdUsageMax;
    s.cacheSize = settings.options.cacheSize;
    s.useVerData = settings.options.useVerData;
    return s;
}

void LoadClientDataTables(const ClientSettings& settings) {
    LoadClientDataTablesFrom(settings.MakeHDPath(""), settings.options.highlightColors);
}

void LoadClientDataTablesFrom(const std::string& dir, const u32* highlightColours) {
    TheClientTileData().LoadTileData(dir + "tiledata.mul");
    TheAnimData().LoadAnimData(dir + "animdata.mul");
    LoadHues(TheHueTable(), dir, highlightColours);
    // The span routines recolour from these hues (hue patches change the entries in place).
    const HueTable& hues = TheHueTable();
    SetBlitHueTable(hues.entries.empty() ? nullptr : hues.entries[0].colours,
                    static_cast<int>(hues.entries.size()),
                    static_cast<int>(sizeof(HueEntry) / sizeof(u16)));
    GetFontTable().Load(dir + "fonts.mul");
}

void StartClientDataFrom(const std::string& dir) {
    DataCacheSettings s;
    s.hdDir = dir;
    s.maximumInstall = true;
    TheDataCache().Init(s);
    LoadClientDataTablesFrom(dir);
}

void InitDataCache(const ClientSettings& settings) {
    TheDataCache().Init(DataCacheSettingsFor(settings));
}

void LoadDataPatches() {
    TheDataCache().LoadPatches();
}
