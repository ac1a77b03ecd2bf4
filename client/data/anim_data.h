#pragma once
// Animation data: for each of the 0x4000 static graphics, the frame offsets (added to the
// base graphic) and the timing of its in-place animation, from `animdata.mul` (0x4000 records
// of 68 bytes in blocks of 8, each block after a u32 header: 64 signed frame offsets, current
// frame, frame count, interval in ticks (0 = not animated), start offset).
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

struct AnimDataRecord {
    s8 frames[64] = {};
    u8 currentFrame = 0;
    u8 frameCount = 0;
    u8 interval = 8;
    u8 startOffset = 0;
    u32 lastTick = 0;  // the tick in which the record last advanced
};

constexpr int kAnimDataRecords = 0x4000;
constexpr int kAnimDataRecordBytes = 68;
constexpr int kAnimDataBlockRecords = 8;
constexpr int kAnimDataBlockBytes = 4 + kAnimDataBlockRecords * kAnimDataRecordBytes;

// An object of the client world's animated list, as the animation step sees it.
class AnimatedObject {
public:
    virtual ~AnimatedObject() = default;
    virtual bool IsShown() const = 0;
    virtual int AnimationGraphic() const = 0;  // its graphic: the record to use
    virtual void RemoveFromCell() = 0;
    virtual void SetAnimationOffset(s8 offset) = 0;
    virtual void PlaceInCell() = 0;  // back into its cell, re-sorted
};

class AnimDataTable {
public:
    AnimDataTable();

    // Defaults (every record zero with interval 8), then the file when it exists.
    void LoadAnimData(const std::string& path);
    void ReadImage(const u8* bytes, size_t size);
    // A block of 8 records from `verdata.mul` (after its 4-byte header); ignored outside the
    // table or when short.
    void ApplyPatchBlock(u32 block, const u8* data, size_t length);

    const AnimDataRecord& Record(int graphic) const;
    // The frame offset a record shows now (its frame kept below 64 and the frame count).
    static s8 CurrentOffset(const AnimDataRecord& record);

    // One animation step over the animated objects (the last step of the world update).
    void AnimateItems(
        const std::function<void(const std::function<void(AnimatedObject&)>&)>& forEachAnimated);
    u32 Tick() const { return tick_; }

private:
    std::vector<AnimDataRecord> records_;
    u32 tick_ = 0;
};

AnimDataTable& TheAnimData();
