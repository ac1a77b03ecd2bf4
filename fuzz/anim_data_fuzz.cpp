// Fuzz target: `animdata.mul` images, then animation steps over objects of every graphic the
// image animates: the frame shown must stay among the record's 64 offsets.
#include <cstdint>

#include "client/data/anim_data.h"
#include "fuzz/client_fuzz_support.h"
#include "tools/content_builder/tile_set.h"

namespace {

class Probe : public AnimatedObject {
public:
    explicit Probe(int graphic) : graphic_(graphic) {}
    bool IsShown() const override { return true; }
    int AnimationGraphic() const override { return graphic_; }
    void RemoveFromCell() override {}
    void SetAnimationOffset(s8) override {}
    void PlaceInCell() override {}

private:
    int graphic_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AnimDataTable table;
    table.ReadImage(data, size);
    table.ApplyPatchBlock(size > 0 ? data[0] : 0, data, size);
    std::vector<Probe> probes;
    for (int g = 0; g < 64; ++g)
        probes.emplace_back(g);
    probes.emplace_back(-1);
    probes.emplace_back(0x4000);
    for (int tick = 0; tick < 70; ++tick) {
        table.AnimateItems([&](const std::function<void(AnimatedObject&)>& visit) {
            for (Probe& p : probes)
                visit(p);
        });
    }
    for (int g = 0; g < 64; ++g) {
        const AnimDataRecord& r = table.Record(g);
        // A record that advanced shows a frame below both 64 and its count.
        const int limit = r.frameCount == 0 ? 1 : (r.frameCount < 64 ? r.frameCount : 64);
        if (r.lastTick != 0 && r.currentFrame >= limit) __builtin_trap();
    }
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    std::vector<AnimRecord> records(64);
    records[5].frameCount = 4;
    records[5].interval = 1;
    records[6].frameCount = 70;
    records[6].startFrame = 66;
    records[6].interval = 2;
    const std::vector<u8> image = WriteAnimDataFile(records);
    emit(image.data(), 8 * (4 + 8 * 68));
}
