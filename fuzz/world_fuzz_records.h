#pragma once
// What the world-save fuzz targets share: a world of one sector cell and the helpers that
// load a dynamic pair into it, save it back and empty it again.
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/trigger_services.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"
#include "server/world/world_init.h"
#include "server/world/world_load.h"
#include "server/world/world_save.h"
#include "server/world/world_script_link.h"
#include "world_fuzz_support.h"

namespace save_fuzz {

// A one-cell world at (0, 0) with the demo tile data.
inline void BuildOneCell() {
    world_fuzz::InstallDemoTileData();
    // Objects carry their variables and scripts through the world's own links.
    SetTriggerServices(&WorldScriptTriggerServices());
    SetScriptObjectServices(&WorldScriptObjectServices());
    g_sectorGrid.Build(0, 0, 8, 8);
    g_mobileTable.CreateGrid(0, 0, 8, 8);
}

// The pair of a one-cell world holding the record.
inline SectorPair PairOf(const std::string& record) {
    SectorPair pair;
    pair.index.resize(12);
    StoreLe32(pair.index.data(), record.empty() ? 0xFFFFFFFFu : 0);
    StoreLe32(pair.index.data() + 4, static_cast<u32>(record.size()));
    pair.data.assign(record.begin(), record.end());
    return pair;
}

// Loads the pair and answers what saving the world gives; the world is emptied after.
inline SectorPair LoadAndSave(const SectorPair& pair, bool* loaded = nullptr) {
    DynamicLoadReport report;
    const int result = LoadDynamicObjects(pair.index, pair.data, "fuzz", &report);
    if (loaded) *loaded = result == 0;
    SectorPair saved = BuildDynamicPair();
    DestroyWorldObjects();
    return saved;
}

// Records of every class for the seeds.
inline std::string SeedRecord() {
    const char* strings[] = {"@=C",
                             "id=1073741900",
                             "type=3701",
                             "hue=5",
                             "home=1 2 0",
                             "loc=1 1 0",
                             "wom_var=lis l 2 int 5 str a\\ b",
                             "wom_var=ust u 00410042",
                             "callback=2 4 9 0",
                             "",
                             "@=D",
                             "id=1073741901",
                             "type=3702",
                             "r=5 3 1 2 3",
                             "loc=2 2 0",
                             "cont=1073741900",
                             "",
                             "@=N",
                             "id=70",
                             "name=Brann",
                             "flags=131072",
                             "frag=greetings",
                             "job=smith",
                             "town=Millbrook",
                             "npcflee=30",
                             "desireLoc=6 7 0",
                             "lastDesireLoc=8 9 0",
                             "homeLoc=3 4 0",
                             "followObjs=71 0 3",
                             "npcInfo1=6 2 250 3",
                             "homeInfo=4 2 1073741900",
                             "npcInfo2=16 9",
                             "loiterInfo=3 3 0 1000",
                             "stateInfo=6 10 11 12",
                             "hp=40",
                             "curhp=20",
                             "movetype=0",
                             "attacking=71 20",
                             "loc=3 3 0",
                             "",
                             "@=D",
                             "id=1073741902",
                             "loc=0 0 0",
                             "cont=70",
                             "eqpos=11",
                             "",
                             "@=P",
                             "cct=1",
                             "pswd=pw",
                             "sid=3",
                             "frnd=9",
                             "acct=1 2",
                             "tsk=0 0",
                             "id=71",
                             "master=70",
                             "name=Wren",
                             "loc=4 4 0",
                             "",
                             "@=X",
                             "corpsetype=400",
                             "corpitem=3 1073741904",
                             "id=1073741903",
                             "loc=5 5 0",
                             "",
                             "@=D",
                             "id=1073741904",
                             "cont=1073741903",
                             "loc=1 1 0",
                             "",
                             "end"};
    std::string out;
    for (const char* s : strings) {
        out += s;
        out += '\0';
    }
    return out;
}

}  // namespace save_fuzz
