#pragma once
// The non-player characters by serial in 64 buckets, their spatial grid, and the sweeps of
// the world tick that run their heartbeats and states. A sweep keeps a cursor on the next
// NPC, and unlinking an NPC during a sweep moves the cursor past it, so a heartbeat may
// delete any NPC, itself included.
#include <memory>
#include <vector>

#include "core/location.h"
#include "core/spatial_grid.h"
#include "platform/types.h"

class CNPC;
class CMobile;

struct MobileCreationRecord {
    u16 type;
    u8 flags;
    Location at;
};

class MobileTable {
public:
    static constexpr int kBucketCount = 64;
    static constexpr int kGridShift = 6;

    MobileTable();
    ~MobileTable();

    void CreateGrid(int x0, int y0, int width, int height);
    // The NPC grid (cells of 64 tiles over the server rectangle): every NPC standing in the
    // world (CNPC files itself as it enters and leaves); null before CreateGrid. Its cells
    // are vectors, so a step across a cell edge allocates nothing once they have grown.
    using NpcGrid = SpatialGrid<CNPC, std::vector<CNPC*>>;
    NpcGrid* GetGrid() { return grid_.get(); }

    void Link(CNPC* npc);
    void Unlink(CNPC* npc);
    CNPC* FindMobileBySerial(u32 serial) const;
    CNPC* GetBucket(int index) const { return buckets_[index & 0x3F]; }

    // The wake queue: the NPC of the serial gets a heartbeat at the start of the next sweep.
    void QueueImmediateHeartbeat(u32 serial) { immediate_.push_back(serial); }
    void NpcHeartbeatSweep();
    void NpcStateSweep();
    void PlaceNewMobile(const MobileCreationRecord& record, CMobile* mobile);

    int GetRotor() const { return rotor_; }
    // The NPC whose heartbeat or state step is running (the sweeps set it; NPC code that
    // calls out checks afterwards that its NPC is still the current one).
    CNPC* GetCurrentNpc() const { return current_; }
    void SetCurrentNpc(CNPC* npc) { current_ = npc; }

private:
    CNPC* buckets_[kBucketCount];
    CNPC* cursor_;
    std::unique_ptr<NpcGrid> grid_;
    std::vector<u32> immediate_;
    std::vector<u32> wakeScratch_;
    int rotor_ = 0;
    CNPC* current_ = nullptr;
    // The state sweep's order: every linked NPC, bucket by bucket, made again after a link
    // or an unlink; an NPC unlinked during a sweep leaves a null behind.
    void MakeSweepOrder();
    std::vector<CNPC*> order_;
    bool orderStale_ = true;
    bool sweeping_ = false;
};

extern MobileTable g_mobileTable;
