#pragma once
// Where an item was before it was taken away, so that it can be put back: held by the item
// only while it is away from a place. Records come from a pool that grows 4096 records at a
// time and never shrinks.
#include "core/location.h"
#include "platform/types.h"

struct PlacementRecord {
    Location lastLocation;           // world location when removed
    Location lastContainerLocation;  // position inside the container; unset when none
    u32 lastContainer = 0;           // serial, 0 when none
    u32 lastWearer = 0;              // serial, 0 when none
    u16 lastLayer = 26;              // 0-29; 26 = none
    PlacementRecord* poolNext = nullptr;

    void Reset();
};

class PlacementPool {
public:
    static constexpr int kBlockSize = 4096;
    PlacementRecord* Acquire();
    void Release(PlacementRecord* record);
    int GetFreeCount() const { return freeCount_; }
    int GetBlockCount() const { return blockCount_; }

private:
    PlacementRecord* free_ = nullptr;
    int freeCount_ = 0;
    int blockCount_ = 0;
};

PlacementPool& GetPlacementPool();
