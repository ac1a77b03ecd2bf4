#include "client/data/client_utils.h"

#include <cmath>
#include <new>

#include "platform/random.h"

void* TaggedNew(size_t size, const char*) {
    return ::operator new(size);
}

void TaggedDelete(void* block, const char*) {
    ::operator delete(block);
}

u16 GetArtPixel(const u16* record, size_t words, int x, int y) {
    if (!record || words < 4 || y < 0) return 0;
    size_t height = record[3];
    if (static_cast<size_t>(y) >= height || 4 + height > words) return 0;
    size_t at = 4 + height + record[4 + y];
    for (;;) {
        if (at + 2 > words) return 0;
        int skip = record[at];
        int run = record[at + 1];
        if (run == 0) return 0;
        x -= skip;
        if (x < 0) return 0;
        if (x < run) return at + 2 + static_cast<size_t>(x) < words ? record[at + 2 + x] : 0;
        x -= run;
        at += 2 + static_cast<size_t>(run);
    }
}

bool IsMarkerGraphic(u32 graphic) {
    return graphic == 1 || (graphic >= 8600 && graphic <= 8610);
}

int ClientRandomBelow(int n) {
    if (n < 1) return 0;
    return platform::Rand() % n;
}

void NormalizeVector3d(double& x, double& y, double& z) {
    double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return;
    x /= length;
    y /= length;
    z /= length;
}

u32 DataKeyBase(DataKeyKind kind) {
    static constexpr u32 kCounts[] = {299592, 65536, 1024, 2048, 128, 8192, 50, 4096, 0, 0};
    u32 base = 0;
    for (int i = 0; i < static_cast<int>(kind); ++i)
        base += kCounts[i];
    return base;
}

void NoteDataBlockUpdate(u32, u32) {}

bool IsTestServerName(std::string_view name) {
    return name.find("(test)") != name.npos;
}
