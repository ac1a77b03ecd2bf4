#include "client/data/client_data_start.h"

#include "client/app/client_app.h"
#include "client/data/anim_data.h"
#include "client/data/fonts.h"
#include "client/data/hue_table.h"
#include "client/data/tile_data.h"
#include "client/render/span_blit.h"

DataCacheSettings DataCacheSettingsFor(const CClientApp& app) {
    DataCacheSettings s;
    s.hdDir = app.MakeHDPath("");
    s.cdDir = app.MakeCDPath("");
    s.maximumInstall = app.options.hdUsageMax;
    s.cacheSize = app.options.cacheSize;
    s.useVerData = app.options.useVerData;
    return s;
}

void LoadClientDataTables(const CClientApp& app) {
    LoadClientDataTablesFrom(app.MakeHDPath(""), app.options.highlightColors);
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

void InitDataCache(const CClientApp& app) {
    TheDataCache().Init(DataCacheSettingsFor(app));
}

void LoadDataPatches() {
    TheDataCache().LoadPatches();
}
