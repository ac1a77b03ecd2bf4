#include "server/net/world_packet_values.h"

#include "server/world/item.h"
#include "server/world/tile_data.h"

namespace {
class WorldItemPacketValues : public ItemPacketValues {
public:
    int ResourceUnits(const CItem& item) const override { return item.CountResourceUnits(); }
    int SpellbookEntry(const CItem& item) const override {
        return static_cast<int>(GetTileData().Static(item.GetType()).value & 0xFFFF);
    }
    // Multis are not built: no item is the master of one.
    int MultiType(const CItem&) const override { return -1; }
};
}  // namespace

const ItemPacketValues& GetWorldItemPacketValues() {
    static const WorldItemPacketValues values;
    return values;
}
