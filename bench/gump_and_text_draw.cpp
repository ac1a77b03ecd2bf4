// How fast gump art and text reach a 16-bit buffer: keyed copies of gump art (pixels per
// second; the generated hue-picker panel, whose grain makes short runs, and a button) and
// one-line text in the generated fonts (glyphs per second).
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "tools/content_builder/font_and_gump_files.h"

namespace {

struct Files {
    std::map<std::string, std::vector<u8>> bytes;
    Files() { BuildFontAndGumpFiles(bytes, nullptr); }
};

const Files& Built() {
    static Files files;
    return files;
}

// The built gumpidx/gumpart pair as the gump art source.
class BuiltGumpArt : public GumpArtServices {
public:
    BuiltGumpArt()
        : index_(Built().bytes.at("gumpidx.mul")), data_(Built().bytes.at("gumpart.mul")) {
        previous_ = SetGumpArtServices(this);
    }
    ~BuiltGumpArt() override { SetGumpArtServices(previous_); }
    bool FindGumpArt(u32 id, GumpArtRecord& out) override {
        if (index_.size() / 12 <= id) return false;
        const u8* e = &index_[12 * size_t{id}];
        const s32 offset = static_cast<s32>(e[0] | e[1] << 8 | e[2] << 16 | u32{e[3]} << 24);
        const u32 length = e[4] | e[5] << 8 | e[6] << 16 | u32{e[7]} << 24;
        const u32 extra = e[8] | e[9] << 8 | e[10] << 16 | u32{e[11]} << 24;
        if (offset < 0 || offset + u64{length} > data_.size()) return false;
        out = GumpArtRecord{data_.data() + offset, length, extra};
        return true;
    }

private:
    const std::vector<u8>& index_;
    const std::vector<u8>& data_;
    GumpArtServices* previous_;
};

void CopyGump(benchmark::State& state, u32 id) {
    BuiltGumpArt source;
    int w = 0, h = 0;
    GetGumpArtSize(id, w, h);
    std::vector<u16> screen(640 * 480, 0x1234);
    for (auto _ : state) {
        CopyGumpToBuf(SpanCopyKeyed, id, 100, 100, screen.data(), 640, 480);
        benchmark::DoNotOptimize(screen.data());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
    state.SetLabel("pixels");
}

void BM_CopyGumpToBufKeyedPanel(benchmark::State& state) {
    CopyGump(state, kGumpHuePanel);
}
BENCHMARK(BM_CopyGumpToBufKeyedPanel);

void BM_CopyGumpToBufKeyedButton(benchmark::State& state) {
    CopyGump(state, kGumpOkButton);
}
BENCHMARK(BM_CopyGumpToBufKeyedButton);

void BM_DrawText(benchmark::State& state) {
    CFontTable table;
    const std::vector<u8>& fonts = Built().bytes.at("fonts.mul");
    table.LoadBytes(fonts.data(), fonts.size());
    const int font = static_cast<int>(state.range(0)), hue = static_cast<int>(state.range(1));
    std::vector<u16> hues(3000 * 32);
    for (size_t i = 0; i < hues.size(); ++i)
        hues[i] = static_cast<u16>(i & 0x7FFF);
    SetBlitHueTable(hues.data(), 3000, 32);
    std::vector<u16> screen(640 * 480, 0);
    const TextTarget target{screen.data(), 640, 480};
    const ClipRect clip{0, 0, 640, 480};
    const char* text = "The quick brown fox jumps over the lazy dog";
    const int glyphs = static_cast<int>(std::string(text).size());
    for (auto _ : state) {
        table.DrawText(10, 200, font, hue, text, target, clip);
        benchmark::DoNotOptimize(screen.data());
    }
    SetBlitHueTable(nullptr, 0, 32);
    state.SetItemsProcessed(state.iterations() * glyphs);
    state.SetLabel("glyphs");
}
// Font 3 (speech) plain and hued in its greys, font 4 hued in every pixel.
BENCHMARK(BM_DrawText)->Args({3, 0})->Args({3, 1000})->Args({4, 1000});

}  // namespace
