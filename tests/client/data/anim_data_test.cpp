#include "client/data/anim_data.h"

#include <gtest/gtest.h>

#include "tools/content_builder/map_files.h"

namespace {

class FakeObject : public AnimatedObject {
public:
    FakeObject(int graphic, bool shown = true) : graphic_(graphic), shown_(shown) {}
    bool IsShown() const override { return shown_; }
    int AnimationGraphic() const override { return graphic_; }
    void RemoveFromCell() override { ++removals; }
    void SetAnimationOffset(s8 offset) override { offsets.push_back(offset); }
    void PlaceInCell() override { ++placements; }
    int removals = 0, placements = 0;
    std::vector<int> offsets;

private:
    int graphic_;
    bool shown_;
};

void Step(AnimDataTable& table, std::vector<FakeObject*> objects, int ticks = 1) {
    for (int i = 0; i < ticks; ++i) {
        table.AnimateItems([&](const std::function<void(AnimatedObject&)>& visit) {
            for (FakeObject* o : objects)
                visit(*o);
        });
    }
}

AnimDataTable TableWith(int graphic, AnimRecord record) {
    std::vector<AnimRecord> records(0x4000);
    records[graphic] = record;
    const std::vector<u8> file = WriteAnimDataFile(records);
    AnimDataTable table;
    table.ReadImage(file.data(), file.size());
    return table;
}

TEST(AnimData, WithoutTheFileObjectsAreReplacedEveryEighthTickAtOffsetZero) {
    AnimDataTable table;
    table.LoadAnimData("/nonexistent/animdata.mul");
    FakeObject o(100);
    Step(table, {&o}, 16);
    EXPECT_EQ(o.removals, 2);
    EXPECT_EQ(o.placements, 2);
    EXPECT_EQ(o.offsets, (std::vector<int>{0, 0}));
}

TEST(AnimData, FramesAdvanceByIntervalAndStartOffset) {
    struct Case {
        const char* name;
        u8 startFrame, frameCount, interval, startOffset;
        int ticks;
        std::vector<int> offsets;  // frames hold offsets 10, 11, 12, ...
    } cases[] = {
        {"interval 3 start 1: ticks 2, 5, 8", 0, 3, 3, 1, 8, {11, 12, 10}},
        {"no frames stays on frame 0", 0, 0, 1, 0, 3, {10, 10, 10}},
        {"not animated", 0, 3, 0, 0, 5, {}},
        {"a start frame past the count starts over", 200, 2, 1, 0, 2, {10, 11}},
        {"the count is kept below 64", 62, 250, 1, 0, 3, {73, 10, 11}},
    };
    for (const Case& c : cases) {
        AnimRecord r{};
        for (int i = 0; i < 64; ++i)
            r.frames[i] = static_cast<s8>(10 + i);
        r.startFrame = c.startFrame;
        r.frameCount = c.frameCount;
        r.interval = c.interval;
        r.startOffset = c.startOffset;
        AnimDataTable table = TableWith(7, r);
        FakeObject o(7);
        Step(table, {&o}, c.ticks);
        EXPECT_EQ(o.offsets, c.offsets) << c.name;
    }
}

TEST(AnimData, ObjectsOfOneGraphicShowTheSameFrame) {
    AnimRecord r{};
    r.frames[1] = 1;
    r.frames[2] = 2;
    r.frameCount = 3;
    r.interval = 1;
    AnimDataTable table = TableWith(9, r);
    FakeObject a(9), b(9), hidden(9, false);
    Step(table, {&a, &b, &hidden}, 4);
    EXPECT_EQ(a.offsets, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(b.offsets, a.offsets);
    EXPECT_TRUE(hidden.offsets.empty());
    EXPECT_EQ(hidden.removals, 0);
}

}  // namespace
