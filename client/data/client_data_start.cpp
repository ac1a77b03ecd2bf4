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
    TheClientTileData().LoadTileData(app.MakeHDPath("tiledata.mul"));
    TheAnimData().LoadAnimData(app.MakeHDPath("animdata.mul"));
    LoadHues(TheHueTable(), app.MakeHDPath(""), app.options.highlightColors);
    // The span routines recolour from these hues (hue patches change the entries in place).
    const HueTable& hues = TheHueTable();
    SetBlitHueTable(hues.entries.empty() ? nullptr : hues.entries[0].colours,
                    static_cast<int>(hues.entries.size()),
                    static_cast<int>(sizeof(HueEntry) / sizeof(u16)));
    GetFontTable().Load(app.MakeHDPath("fonts.mul"));
}

void InitDataCache(const CClientApp& app) {
    TheDataCache().Init(DataCacheSettingsFor(app));
}

void LoadDataPatches() {
    TheDataCache().LoadPatches();
}
