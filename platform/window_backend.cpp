#include "platform/window_backend.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/headless/headless_backend.h"
#include "platform/sdl/sdl_backend.h"

namespace platform {
namespace {

// Never destroyed at exit: the client thread may still be using the back end while the
// process ends, and SDL must only be called from that thread.
WindowBackend*& Slot() {
    static WindowBackend* backend = nullptr;
    return backend;
}

bool g_cursorShown = true;
std::atomic<MessageBoxCancelCheck> g_boxCancelCheck{nullptr};

bool DisplayAvailable() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

}  // namespace

bool HeadlessRequested() {
    const char* v = std::getenv("ZQ_HEADLESS");
    return v && *v && std::strcmp(v, "0") != 0;
}

WindowBackend& Backend() {
    auto& slot = Slot();
    if (!slot) {
        if (HeadlessRequested()) {
            slot = new HeadlessBackend;
        } else if (!DisplayAvailable()) {
            std::fprintf(stderr, "zqdemo: no display; the client runs without a window\n");
            slot = new HeadlessBackend;
        } else {
            slot = new SdlBackend;
        }
    }
    return *slot;
}

std::unique_ptr<WindowBackend> InstallBackend(std::unique_ptr<WindowBackend> backend) {
    std::unique_ptr<WindowBackend> old(Slot());
    Slot() = backend.release();
    g_cursorShown = true;
    return old;
}

void SetMessageBoxCancelCheck(MessageBoxCancelCheck check) {
    g_boxCancelCheck.store(check);
}

bool MessageBoxCancelled() {
    MessageBoxCancelCheck check = g_boxCancelCheck.load();
    return check != nullptr && check();
}

void ShowSystemCursor(bool show) {
    if (show == g_cursorShown) return;
    g_cursorShown = show;
    Backend().SetSystemCursorVisible(show);
}

bool IsSystemCursorShown() {
    return g_cursorShown;
}
void ResetSystemCursorCache() {
    g_cursorShown = true;
}

void CopyRingFrame(const u16* src, u32 ringOffset, u16* dst, u32 dstPitch, bool to565) {
    u32 o = ringOffset % kFramePixels;
    u32 s = o;
    for (int y = 0; y < kClientHeight; ++y) {
        u16* row = dst + static_cast<size_t>(y) * dstPitch;
        int x = 0;
        while (x < kClientWidth) {
            // Copy up to the end of the row or the end of the ring, whichever comes first.
            u32 run = std::min<u32>(kClientWidth - x, kFramePixels - s);
            if (to565) {
                for (u32 i = 0; i < run; ++i)
                    row[x + i] = Pixel555To565(src[s + i]);
            } else {
                std::memcpy(row + x, src + s, run * sizeof(u16));
            }
            x += static_cast<int>(run);
            s += run;
            if (s == kFramePixels) s = 0;
        }
    }
}

}  // namespace platform
