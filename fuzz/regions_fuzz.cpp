// Fuzz target: the region file reader over any bytes, as `regions.txt` comes from the data
// archive, then the place queries. Names and descriptions stay within their 40 bytes, and
// every region a place query finds holds the place.
//
// Input: the region file's bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/types.h"
#include "server/area/regions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegionManager regions;
    regions.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const CRegion* r : regions.AllRegions()) {
        if (strnlen(r->name, sizeof r->name) >= sizeof r->name) std::abort();
        if (strnlen(r->description, sizeof r->description) >= sizeof r->description) std::abort();
        RegionManager::FormatRegionLine(kRegionFileVersion, *r);
    }
    for (const Location& at : {Location(0, 0, 0), Location(100, 100, 0), Location(6143, 4095, 0),
                               Location(-1, 5, 0), Location(32767, 32767, 127)}) {
        std::vector<const CRegion*> found;
        regions.CollectRegionsAt(found, at);
        for (const CRegion* r : found) {
            if (!r->Holds(at)) std::abort();
        }
        std::string description;
        Location centre;
        regions.FindClosestArea(description, centre, "", at, 1);
        regions.IsHousingAllowed(at, 1);
        Location place;
        regions.GetLocalizedDescription(description, place, at, at);
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (const char* seed : {"version 64207\n1 0 0 10 10 -128 127 0 city_a 0 0 0 0 0 The market\n",
                             "1 0 0 0 0 0 0 0 0 1 2 3 NONE\n2 5 5 -1 3 0 0 0 inn_x 0 0 0 Rest\n"})
        emit(reinterpret_cast<const u8*>(seed), std::string(seed).size());
}
