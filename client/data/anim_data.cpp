#include "client/data/anim_data.h"

#include <cstring>
#include <string>

#include "client/data/client_file_read.h"

namespace {

void DecodeRecord(const u8* p, AnimDataRecord& r) {
    std::memcpy(r.frames, p, 64);
    r.currentFrame = p[64];
    r.frameCount = p[65];
    r.interval = p[66];
    r.startOffset = p[67];
}

// Frames run from 0 to below both the frame count and the 64 stored offsets; a record
// without frames stays on frame 0.
int FrameLimit(const AnimDataRecord& r) {
    const int limit = r.frameCount < 64 ? r.frameCount : 64;
    return limit < 1 ? 1 : limit;
}

}  // namespace

AnimDataTable::AnimDataTable() : records_(kAnimDataRecords) {}

void AnimDataTable::LoadAnimData(const std::string& path) {
    records_.assign(kAnimDataRecords, AnimDataRecord{});
    constexpr size_t kFileBytes =
        static_cast<size_t>(kAnimDataRecords / kAnimDataBlockRecords) * kAnimDataBlockBytes;
    std::string bytes;
    if (ReadClientFile(path, kFileBytes, true, bytes, "no static art is animated") !=
        ClientFileRead::kRead) {
        return;
    }
    ReadImage(reinterpret_cast<const u8*>(bytes.data()), bytes.size());
    if (bytes.size() < kFileBytes) {
        ReportShortClientFile(path, bytes.size(), kFileBytes,
                              "the art past its end is not animated");
    }
}

void AnimDataTable::ReadImage(const u8* bytes, size_t size) {
    size_t at = 0;
    for (int i = 0; i < kAnimDataRecords; ++i) {
        if (i % kAnimDataBlockRecords == 0) at += 4;
        if (at + kAnimDataRecordBytes > size) return;
        DecodeRecord(bytes + at, records_[i]);
        at += kAnimDataRecordBytes;
    }
}

void AnimDataTable::ApplyPatchBlock(u32 block, const u8* data, size_t length) {
    if (block >= static_cast<u32>(kAnimDataRecords / kAnimDataBlockRecords)) return;
    if (length < static_cast<size_t>(kAnimDataBlockBytes)) return;
    for (int i = 0; i < kAnimDataBlockRecords; ++i)
        DecodeRecord(data + 4 + i * kAnimDataRecordBytes,
                     records_[block * kAnimDataBlockRecords + i]);
}

const AnimDataRecord& AnimDataTable::Record(int graphic) const {
    static const AnimDataRecord none{};
    return graphic >= 0 && graphic < kAnimDataRecords ? records_[graphic] : none;
}

s8 AnimDataTable::CurrentOffset(const AnimDataRecord& r) {
    const int frame = r.currentFrame < FrameLimit(r) ? r.currentFrame : 0;
    return r.frames[frame];
}

void AnimDataTable::AnimateItems(
    const std::function<void(const std::function<void(AnimatedObject&)>&)>& forEachAnimated) {
    ++tick_;
    forEachAnimated([this](AnimatedObject& object) {
        if (!object.IsShown()) return;
        const int graphic = object.AnimationGraphic();
        if (graphic < 0 || graphic >= kAnimDataRecords) return;
        AnimDataRecord& r = records_[graphic];
        if (r.interval == 0 || (r.startOffset + tick_) % r.interval != 0) return;
        object.RemoveFromCell();
        // One advance per graphic per tick, however many objects show it.
        if (r.lastTick != tick_) {
            int next = r.currentFrame + 1;
            if (next >= FrameLimit(r)) next = 0;
            r.currentFrame = static_cast<u8>(next);
            r.lastTick = tick_;
        }
        object.SetAnimationOffset(CurrentOffset(r));
        object.PlaceInCell();
    });
}

AnimDataTable& TheAnimData() {
    static AnimDataTable table;
    return table;
}
