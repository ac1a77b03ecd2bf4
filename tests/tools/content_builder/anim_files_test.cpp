// The mobile animations read back from anim.idx / anim.mul through the data cache and
// decoded frame by frame in the layout the mobile drawing reads.
#include "tools/content_builder/anim_files.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tools/content_builder/file_checksum.h"
#include "tools/content_builder/scratch_install.h"
#include "tools/content_builder/tile_set.h"

namespace {

u32 Le32(const u8* p) {
    u32 v;
    std::memcpy(&v, p, 4);
    return v;
}
s16 Le16s(const u8* p) {
    s16 v;
    std::memcpy(&v, p, 2);
    return v;
}

struct DecodedFrame {
    int cx = 0, cy = 0, width = 0, height = 0;
    int pixels = 0;
};

// One frame, every run checked against the record and the frame's box.
bool DecodeFrame(const u8* record, s32 length, int frame, DecodedFrame& out) {
    if (length < 516 || frame >= static_cast<int>(Le32(record + 512))) return false;
    const size_t slot = 516 + 4 * static_cast<size_t>(frame);
    if (slot + 4 > static_cast<size_t>(length)) return false;
    size_t at = 512 + Le32(record + slot);
    if (at + 8 > static_cast<size_t>(length)) return false;
    out.cx = Le16s(record + at);
    out.cy = Le16s(record + at + 2);
    out.width = Le16s(record + at + 4);
    out.height = Le16s(record + at + 6);
    at += 8;
    for (;;) {
        if (at + 4 > static_cast<size_t>(length)) return false;
        const u32 header = Le32(record + at);
        at += 4;
        if (header == 0x7FFF7FFF) return true;
        const int count = static_cast<int>(header & 0xFFF);
        const int yo = static_cast<int>((header >> 12) & 0x3FF) - ((header >> 21) & 1 ? 1024 : 0);
        const int xo = static_cast<int>(header >> 22) - ((header >> 31) & 1 ? 1024 : 0);
        // Inside the box: left = -cx, top = -cy - height (relative to the anchor).
        if (xo < -out.cx || xo + count > out.width - out.cx) return false;
        if (yo < -out.cy - out.height || yo >= -out.cy) return false;
        if (at + static_cast<size_t>(count) > static_cast<size_t>(length)) return false;
        for (int i = 0; i < count; ++i)
            if (record[at + i] == 0) return false;  // palette entry 0 is never painted
        at += static_cast<size_t>(count);
        out.pixels += count;
    }
}

class AnimFilesTest : public ScratchInstallSuite<kFileAnimIndex, kFileAnim, &BuildDemoAnimations> {
};

TEST_F(AnimFilesTest, TheSameBytesOnEveryBuild) {
    std::vector<u8> index, data;
    WriteIndexedRecords(Records(), index, data);
    EXPECT_EQ(Fnv1a(index), 0x6055baa149bf3ef9ull) << std::hex << Fnv1a(index);
    EXPECT_EQ(Fnv1a(data), 0xa5b9843b2d151280ull) << std::hex << Fnv1a(data);
}

// Bodies 400 and 401 and every worn layer of the tile set: each action, five directions,
// every frame whole and inside its box.
TEST_F(AnimFilesTest, EveryBodyActionAndDirectionReadsBack) {
    std::vector<int> bodies = {400, 401};
    for (const WornAnimation& w : DemoWornAnimations())
        bodies.push_back(w.animation);
    for (int body : bodies) {
        for (int action : DemoHumanActions()) {
            for (int d = 0; d < 5; ++d) {
                SCOPED_TRACE(::testing::Message() << body << " " << action << " " << d);
                s32 length = 0;
                u32 extra = 0;
                const u8* record = TheDataCache().GetRecord(
                    kFileAnimIndex, kFileAnim, static_cast<s32>(HumanAnimationId(body, action, d)),
                    &length, &extra);
                ASSERT_NE(record, nullptr);
                ASSERT_EQ(static_cast<int>(Le32(record + 512)), DemoActionFrames(action));
                int painted = 0;
                for (int f = 0; f < DemoActionFrames(action); ++f) {
                    DecodedFrame frame;
                    ASSERT_TRUE(DecodeFrame(record, length, f, frame)) << f;
                    painted += frame.pixels;
                }
                EXPECT_GT(painted, 0);
            }
        }
    }
    // Directions 5-7 are drawn mirrored from 1-3; nothing is stored there, nor for actions
    // the demo has no pictures for.
    s32 length = 0;
    u32 extra = 0;
    EXPECT_EQ(TheDataCache().GetRecord(kFileAnimIndex, kFileAnim,
                                       static_cast<s32>(HumanAnimationId(400, 4, 0) + 5 * 30),
                                       &length, &extra),
              nullptr);
}

TEST_F(AnimFilesTest, CreaturesWalkStandAndDie) {
    for (const DemoCreature& c : DemoCreatures()) {
        for (const auto& [action, frames] : c.actions) {
            for (int d = 0; d < 5; ++d) {
                SCOPED_TRACE(::testing::Message() << c.body << " " << action << " " << d);
                s32 length = 0;
                u32 extra = 0;
                const u8* record = TheDataCache().GetRecord(
                    kFileAnimIndex, kFileAnim, static_cast<s32>(AnimationId(c.body, action, d)),
                    &length, &extra);
                ASSERT_NE(record, nullptr);
                ASSERT_EQ(static_cast<int>(Le32(record + 512)), frames);
                for (int f = 0; f < frames; ++f) {
                    DecodedFrame frame;
                    ASSERT_TRUE(DecodeFrame(record, length, f, frame)) << f;
                    EXPECT_GT(frame.pixels, 0) << f;
                }
            }
        }
    }
    // One creature of each band of gestures: below 150, 150-199 and 200-399.
    EXPECT_LT(DemoCreatures()[0].body, 150);
    EXPECT_GE(DemoCreatures()[1].body, 150);
    EXPECT_LT(DemoCreatures()[1].body, 200);
    EXPECT_GE(DemoCreatures()[2].body, 200);
    EXPECT_LT(DemoCreatures()[2].body, 400);
}

// Every gesture and fight action a demo body makes (action and frame count as the server sends
// them in 0x6E) has its pictures: people, the sparrow, the deer and the wolf.
TEST_F(AnimFilesTest, EveryGestureOfTheDemoBodiesHasItsFrames) {
    struct Gesture {
        int body, action, frames;
    };
    const Gesture gestures[] = {
        {400, 5, 5},
        {400, 6, 5},
        {400, 33, 5},
        {401, 5, 5},
        {401, 6, 5},
        {401, 33, 5},
        {6, 11, 5},
        {6, 17, 5},
        {6, 18, 5},
        {kDemoDeerBody, 3, 15},
        {kDemoDeerBody, 4, 20},
        {kDemoDeerBody, 5, 5},
        {225, 3, 5},
        {225, 9, 5},
        // The fight: blows on foot and mounted, being hit and dodging for people; the wolf's
        // and the deer's blows and hurts (the deer's 5 is also its gesture).
        {400, 9, 7},
        {400, 10, 7},
        {400, 11, 7},
        {400, 12, 7},
        {400, 13, 7},
        {400, 14, 7},
        {400, 18, 7},
        {400, 31, 7},
        {400, 26, 5},
        {400, 27, 5},
        {400, 29, 5},
        {400, 20, 5},
        {400, 30, 5},
        {401, 9, 7},
        {401, 20, 5},
        {401, 30, 5},
        {225, 5, 5},
        {225, 6, 5},
        {225, 7, 5},
        {kDemoDeerBody, 6, 20},
        {kDemoDeerBody, 7, 5},
    };
    for (const Gesture& g : gestures) {
        for (int d = 0; d < 5; ++d) {
            SCOPED_TRACE(::testing::Message() << g.body << " " << g.action << " " << d);
            s32 length = 0;
            u32 extra = 0;
            const u8* record = TheDataCache().GetRecord(
                kFileAnimIndex, kFileAnim, static_cast<s32>(AnimationId(g.body, g.action, d)),
                &length, &extra);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(static_cast<int>(Le32(record + 512)), g.frames);
        }
    }
}

// Walking moves the legs: two frames of a walk differ, the standing frames of a direction
// stay alike in size.
TEST_F(AnimFilesTest, WalkingFramesDiffer) {
    const IndexedRecord& walk = (Records())[HumanAnimationId(400, 0, 2)];
    DecodedFrame a, b;
    ASSERT_TRUE(DecodeFrame(walk.bytes.data(), static_cast<s32>(walk.bytes.size()), 0, a));
    ASSERT_TRUE(DecodeFrame(walk.bytes.data(), static_cast<s32>(walk.bytes.size()), 2, b));
    const u32 offsetA = Le32(walk.bytes.data() + 516), offsetB = Le32(walk.bytes.data() + 524);
    const u32 end = Le32(walk.bytes.data() + 520);
    EXPECT_FALSE(std::equal(walk.bytes.begin() + 512 + offsetA, walk.bytes.begin() + 512 + end,
                            walk.bytes.begin() + 512 + offsetB));
}

}  // namespace
