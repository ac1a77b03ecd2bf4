#include "server/world/placement_record.h"

void PlacementRecord::Reset() {
    lastLocation.SetUnset();
    lastContainerLocation.SetUnset();
    lastContainer = 0;
    lastWearer = 0;
    lastLayer = 26;
    poolNext = nullptr;
}

PlacementRecord* PlacementPool::Acquire() {
    if (!free_) {
        // Blocks are kept for the life of the process.
        PlacementRecord* block = new PlacementRecord[kBlockSize];
        ++blockCount_;
        for (int i = kBlockSize - 1; i >= 1; --i) {
            block[i].poolNext = free_;
            free_ = &block[i];
            ++freeCount_;
        }
        block[0].Reset();
        return &block[0];
    }
    PlacementRecord* record = free_;
    free_ = record->poolNext;
    --freeCount_;
    record->Reset();
    return record;
}

void PlacementPool::Release(PlacementRecord* record) {
    if (!record) return;
    record->poolNext = free_;
    free_ = record;
    ++freeCount_;
}

PlacementPool& GetPlacementPool() {
    static PlacementPool pool;
    return pool;
}
