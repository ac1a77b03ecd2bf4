#include "server/world/sector_grid.h"

#include <algorithm>

#include "script/runtime/trigger_services.h"
#include "server/world/item.h"
#include "server/world/map_queries.h"
#include "server/world/player.h"
#include "server/world/mobile_table.h"
#include "server/world/object_manager.h"

CSectorGrid g_sectorGrid;

namespace {
// Cells beyond this count (a 16384 x 16384 tile world) are refused as a damaged size.
constexpr s64 kMaxCells = s64{1} << 22;

void FreeListeners(std::vector<SectorCell>& cells) {
    for (SectorCell& cell : cells) {
        while (RangeListener* node = cell.listeners) {
            cell.listeners = node->next;
            delete node;
        }
    }
}
}  // namespace

CSectorGrid::~CSectorGrid() {
    FreeListeners(cells_);
}

int CSectorGrid::Build(int x0, int y0, int width, int height) {
    const int columns = width / 8;
    const int rows = height / 8;
    if (columns <= 0 || rows <= 0 || static_cast<s64>(columns) * rows > kMaxCells) return -1;
    FreeListeners(cells_);
    x0_ = x0;
    y0_ = y0;
    width_ = width;
    height_ = height;
    columns_ = columns;
    rows_ = rows;
    cells_.assign(static_cast<size_t>(columns) * rows, SectorCell{});
    return 0;
}

int CSectorGrid::Create(int width, int height) {
    if (Build(x0_, y0_, width, height) != 0) return -1;
    g_mobileTable.CreateGrid(x0_, y0_, width, height);
    return 0;
}

int CSectorGrid::CellIndexAt(int x, int y) const {
    if (x < x0_ || y < y0_ || x >= x0_ + columns_ * 8 || y >= y0_ + rows_ * 8) return -1;
    return ((x - x0_) >> 3) * rows_ + ((y - y0_) >> 3);
}

void CSectorGrid::CellCorner(int cell, int& x, int& y) const {
    if (rows_ <= 0 || cell < 0) {
        x = x0_;
        y = y0_;
        return;
    }
    x = x0_ + (cell / rows_) * 8;
    y = y0_ + (cell % rows_) * 8;
}

SectorCell* CSectorGrid::GetCell(int cell) {
    return cell >= 0 && cell < static_cast<int>(cells_.size()) ? &cells_[cell] : nullptr;
}

const SectorCell* CSectorGrid::GetCell(int cell) const {
    return cell >= 0 && cell < static_cast<int>(cells_.size()) ? &cells_[cell] : nullptr;
}

TerrainEntry* CSectorGrid::TerrainAt(int x, int y) {
    SectorCell* cell = CellAt(x, y);
    return cell ? &cell->terrain[y & 7][x & 7] : nullptr;
}

const TerrainEntry* CSectorGrid::TerrainAt(int x, int y) const {
    const SectorCell* cell = GetCell(CellIndexAt(x, y));
    return cell ? &cell->terrain[y & 7][x & 7] : nullptr;
}

bool CSectorGrid::IsNearServerEdge(int x, int y) const {
    if (!Contains(x, y)) return false;
    if (edgeNorth && y - y0_ <= 18) return true;
    if (edgeWest && x - x0_ <= 18) return true;
    if (edgeSouth && y0_ + height_ - y <= 18) return true;
    if (edgeEast && x0_ + width_ - x <= 18) return true;
    return false;
}

int CSectorGrid::CellsInRange(const Location& at, int radius, int* out, int capacity) const {
    if (!out || capacity <= 0) return 0;
    int written = 0;
    const int firstRow = (at.y - radius - y0_) >> 3;
    const int lastRow = (at.y + radius - y0_) >> 3;
    const int firstColumn = (at.x - radius - x0_) >> 3;
    const int lastColumn = (at.x + radius - x0_) >> 3;
    for (int j = std::max(firstRow, 0); j <= lastRow && j < rows_; ++j) {
        for (int k = std::max(firstColumn, 0); k <= lastColumn && k < columns_; ++k) {
            if (written >= capacity - 1) {
                out[written] = -1;
                return written;
            }
            out[written++] = j + k * rows_;
        }
    }
    out[written] = -1;
    return written;
}

namespace {
enum class ZFilter { kAny, kAtOrAbove, kAtOrBelow };

void Collect(CSectorGrid& grid, std::vector<CItem*>& out, const Location& at, ZFilter filter) {
    SectorCell* cell = grid.CellAt(at.x, at.y);
    if (!cell) return;
    for (CItem* item = cell->objects; item; item = item->GetNextSibling()) {
        const Location& l = item->GetLocation();
        if (l.x != at.x || l.y != at.y) continue;
        if (filter == ZFilter::kAtOrAbove && l.z < at.z) continue;
        if (filter == ZFilter::kAtOrBelow && l.z > at.z) continue;
        out.push_back(item);
    }
}
}  // namespace

void CSectorGrid::CollectObjectsAt(std::vector<CItem*>& out, const Location& at) {
    Collect(*this, out, at, ZFilter::kAny);
}
void CSectorGrid::CollectObjectsAtOrAbove(std::vector<CItem*>& out, const Location& at) {
    Collect(*this, out, at, ZFilter::kAtOrAbove);
}
void CSectorGrid::CollectObjectsAtOrBelow(std::vector<CItem*>& out, const Location& at) {
    Collect(*this, out, at, ZFilter::kAtOrBelow);
}

// ---------------------------------------------------------------- range listeners

void AddRangeListeners(CItem* object) {
    if (!object) return;
    if (!GetTriggerServices().HasAttachedScript(object) && !object->IsMobile()) return;
    const Location at = object->GetWorldLocation();
    SectorCell* cell = g_sectorGrid.CellAt(at.x, at.y);
    if (!cell) return;
    for (int trigger : {kTriggerEnterRange, kTriggerLeaveRange}) {
        std::vector<int> ranges;
        GetTriggerServices().GetHandlerRanges(object, trigger, ranges);
        for (int range : ranges) {
            cell->listeners = new RangeListener{object, range, trigger, cell->listeners};
        }
    }
}

void RemoveRangeListeners(CItem* object) {
    if (!object) return;
    const Location at = object->GetWorldLocation();
    SectorCell* cell = g_sectorGrid.CellAt(at.x, at.y);
    if (!cell) return;
    RangeListener** link = &cell->listeners;
    while (*link) {
        RangeListener* node = *link;
        if (node->object == object) {
            *link = node->next;
            delete node;
        } else {
            link = &node->next;
        }
    }
}

int FireRangeTriggers(CItem* mover, const Location& from, const Location& to) {
    if (!mover) return 0;
    struct Heard {
        int range;
        u32 serial;
        CItem* object;
        int trigger;
    };
    const u32 moverSerial = mover->GetSerial();
    std::vector<Heard> heard;
    std::vector<int> cells(CSectorGrid::kListenerCapacity);
    g_sectorGrid.CellsInRange(from, 7, cells.data(), CSectorGrid::kListenerCapacity);
    for (int i = 0; cells[i] != -1; ++i) {
        const SectorCell* cell = g_sectorGrid.GetCell(cells[i]);
        for (RangeListener* node = cell->listeners; node; node = node->next) {
            if (node->object == mover) continue;
            if (static_cast<int>(heard.size()) >= CSectorGrid::kListenerCapacity) break;
            heard.push_back({node->range, node->object->GetSerial(), node->object, node->trigger});
        }
    }
    auto moverAlive = [&]() {
        CItem* found = g_objectManager.FindBySerial(moverSerial);
        return found == mover && found->IsMobile();
    };
    int result = 1;
    for (const Heard& entry : heard) {
        if (!moverAlive()) return 0;
        CItem* listener = g_objectManager.FindBySerial(entry.serial);
        if (!listener || listener != entry.object) continue;
        TriggerArgs args;
        args.value = entry.range;
        args.serial = moverSerial;
        args.a = from;
        args.b = to;
        if (GetTriggerServices().SendTrigger(listener, entry.trigger, args) == 0) {
            result = 0;
            break;
        }
    }
    return moverAlive() ? result : 0;
}

// ---------------------------------------------------------------- settling

void CSectorGrid::SendToSafety(CPlayer* player) {
    Location target = player->GetLastValidTerrain();
    if (target.IsUnset()) target.Set(x0_, y0_, 0);
    if (!Contains(target.x, target.y)) return;
    const u32 serial = player->GetSerial();
    if (!player->IsDetached()) player->RemoveFromWorld();
    if (!IsObjectAlive(serial, player)) return;
    player->PlaceInWorld(target);
}

void CSectorGrid::GiveUp(CItem* object) {
    if (CPlayer* player = object->AsPlayer()) {
        SendToSafety(player);
        return;
    }
    // The decay removal (with its contents) stands in for an object with nowhere to stand.
    object->DeleteSelf();
}

void CSectorGrid::SettleObjects(const std::vector<u32>& serials) {
    bool decided = false;
    bool givenUp = false;
    int difference = 0;
    for (u32 serial : serials) {
        CItem* object = g_objectManager.FindBySerial(serial);
        if (!object || object->IsContained()) continue;
        int z = -128;
        if (g_worldMap.SettleObjectZ(object, z, object->GetHeight())) {
            difference = z - object->GetLocation().z;
        } else {
            givenUp = true;
        }
        decided = true;
        break;
    }
    if (!decided) return;
    for (u32 serial : serials) {
        CItem* object = g_objectManager.FindBySerial(serial);
        if (!object || object->IsContained()) continue;
        if (givenUp) {
            GiveUp(object);
        } else if (difference != 0) {
            Location at = object->GetWorldLocation();
            at.z = static_cast<s16>(at.z + difference);
            object->RemoveFromWorld();
            if (!IsObjectAlive(serial, object)) continue;
            object->PlaceInWorld(at);
        }
    }
}

bool CSectorGrid::SettleObject(CItem* object) {
    if (object->IsContained()) return false;
    int z = -128;
    if (g_worldMap.SettleObjectZ(object, z, object->GetHeight())) {
        Location at = object->GetWorldLocation();
        at.z = static_cast<s16>(z);
        const u32 serial = object->GetSerial();
        object->RemoveFromWorld();
        if (IsObjectAlive(serial, object)) object->PlaceInWorld(at);
        return true;
    }
    GiveUp(object);
    return false;
}

void CSectorGrid::SettleEach(const std::vector<u32>& serials) {
    // Each object's place is looked up once, before the sort.
    struct Keyed {
        u32 serial;
        bool found;
        Location at;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(serials.size());
    for (u32 serial : serials) {
        CItem* object = g_objectManager.FindBySerial(serial);
        keyed.push_back({serial, object != nullptr, object ? object->GetLocation() : Location()});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        // Serials without an object go last (they settle nothing).
        if (!a.found || !b.found) return a.found && !b.found;
        if (a.at.x != b.at.x) return a.at.x < b.at.x;
        if (a.at.y != b.at.y) return a.at.y < b.at.y;
        return a.at.z < b.at.z;
    });
    for (const Keyed& k : keyed) {
        CItem* object = g_objectManager.FindBySerial(k.serial);
        if (object) SettleObject(object);
    }
}

void CSectorGrid::SettleEachByPosition(const std::vector<CItem*>& objects) {
    std::vector<u32> serials;
    for (CItem* object : objects) {
        if (object) serials.push_back(object->GetSerial());
    }
    SettleEach(serials);
}

// ---------------------------------------------------------------- ambience

void CSectorGrid::ApplyRegionAmbience(const std::vector<AmbienceRegion>& regions) {
    auto counts = [](u16 v) { return v != 0 && v != 0xFFFF; };
    auto hasSound = [&](const AmbienceRegion& r) { return counts(r.music) || counts(r.daySound); };
    auto area = [](const AmbienceRegion& r) { return static_cast<s64>(r.width) * r.height; };
    std::vector<const AmbienceRegion*> order;
    size_t silent = 0;  // regions without music or sound stand before this index
    for (const AmbienceRegion& r : regions) {
        if (!hasSound(r)) {
            order.insert(order.begin(), &r);
            ++silent;
            continue;
        }
        auto at = order.begin() + static_cast<std::ptrdiff_t>(silent);
        while (at != order.end() && area(**at) >= area(r))
            ++at;
        order.insert(at, &r);
    }
    for (const AmbienceRegion* r : order) {
        const int firstColumn = (r->x - x0_) / 8;
        const int lastColumn = (r->x + r->width - x0_) / 8;
        const int firstRow = (r->y - y0_) / 8;
        const int lastRow = (r->y + r->height - y0_) / 8;
        for (int column = std::max(firstColumn, 0); column <= lastColumn && column < columns_;
             ++column) {
            for (int row = std::max(firstRow, 0); row <= lastRow && row < rows_; ++row) {
                SectorCell& cell = cells_[static_cast<size_t>(column) * rows_ + row];
                cell.music = r->music == 0 ? 0xFFFF : r->music;
                cell.daySound = r->daySound;
                cell.nightSound = r->nightSound;
                cell.light = r->light;
            }
        }
    }
}
