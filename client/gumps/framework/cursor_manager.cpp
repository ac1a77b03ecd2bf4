#include "client/gumps/framework/cursor_manager.h"

#include <algorithm>
#include <cstring>

#include "client/data/client_log.h"
#include "client/data/client_settings.h"
#include "client/data/data_file_cache.h"
#include "client/data/pixel_format.h"
#include "client/gumps/framework/gump.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/net/local_link.h"
#include "client/render/span_blit.h"
#include "client/world/client_mobile.h"
#include "platform/window_backend.h"

namespace {

constexpr int kCentreX = 320;
constexpr int kCentreY = 240;
constexpr int kRingPixels = kScreenWidth * kScreenHeight;

// The art as a 16-bit picture of its own size; false when it is missing or malformed.
bool DecodeArt(int art, int& width, int& height, std::vector<u16>& pixels) {
    s32 length = 0;
    const u8* bytes = GetArtRecord(art, &length);
    if (bytes == nullptr || length < 8) return false;
    std::vector<u16> words(static_cast<size_t>(length) / 2);
    std::memcpy(words.data(), bytes, words.size() * 2);
    const ArtRecord record{words.data(), words.size()};
    if (!ArtRecordSize(record, width, height) || width <= 0 || height <= 0 || width > 256 ||
        height > 256) {
        return false;
    }
    pixels.assign(static_cast<size_t>(width) * height, 0);
    DrawArt(BlitTarget{pixels.data(), width, height}, SpanCopy, record, 0, 0);
    return true;
}

// Where screen pixel (x, y) lives in the ring-addressed buffer.
size_t RingIndex(int x, int y, u32 ringOffset) {
    size_t i = static_cast<size_t>(y) * kScreenWidth + static_cast<size_t>(x) + ringOffset;
    return i < static_cast<size_t>(kRingPixels) ? i : i - kRingPixels;
}

// Visits the pixels of a rectangle that lie on the 640 x 480 screen, row by row: the row and
// column inside the rectangle and the pixel's index in the ring-addressed buffer.
template <typename Visit>
void ForEachOnScreen(int left, int top, int width, int height, u32 ringOffset, Visit visit) {
    ringOffset %= kRingPixels;
    for (int row = 0; row < height; ++row) {
        const int y = top + row;
        if (y < 0 || y >= kScreenHeight) continue;
        for (int col = 0; col < width; ++col) {
            const int x = left + col;
            if (x >= 0 && x < kScreenWidth) visit(row, col, RingIndex(x, y, ringOffset));
        }
    }
}

}  // namespace

std::recursive_mutex& CursorOuterLock() {
    static std::recursive_mutex lock;
    return lock;
}

CursorManager& TheCursorManager() {
    // Never destroyed, like the desktop whose gumps it routes to.
    static CursorManager* manager = new CursorManager;
    return *manager;
}

CursorManager::CursorManager() {
    FillRecordRanges();
    save_.assign(static_cast<size_t>(saveWidth_) * saveHeight_, 0);
}

void CursorManager::FillRecordRanges() {
    // War mode first, the peace twins 23 records on with arts 0x17 on.
    for (int half = 0; half < 2; ++half) {
        const int r0 = half * kPeaceOffset;
        const int a0 = kFirstArt + half * 0x17;
        for (int d = 0; d < 8; ++d) {
            records_[r0 + d].firstArt = records_[r0 + d].lastArt = a0 + d;
            records_[r0 + 8 + d].firstArt = records_[r0 + 8 + d].lastArt = a0 + d;
        }
        records_[r0 + 16].firstArt = records_[r0 + 16].lastArt = a0 + 8;
        records_[r0 + 17].firstArt = a0 + 9;
        records_[r0 + 17].lastArt = a0 + 10;
        for (int i = 0; i < 5; ++i)
            records_[r0 + 18 + i].firstArt = records_[r0 + 18 + i].lastArt = a0 + 11 + i;
    }
}

void CursorManager::Reset() {
    std::scoped_lock locks(positionLock_, shapeLock_, sizeLock_);
    drawX_ = drawY_ = 0;
    record_ = art_ = -1;
    animCounter_ = 0;
    width_ = height_ = 0;
    changed_.store(1);
    requestedShape_.store(0);
    drawEnabled_.store(false);
    peace_.store(true);
    represent_.store(false);
    saved_ = false;
    captured_ = nullptr;
    waitCount_ = 0;
    shapeRequests_.clear();
    NoteChange();
}

// --- Pictures
// -------------------------------------------------------------------------------------

int CursorManager::LoadCursorArt(u32 combatHue, bool use565) {
    int found = 0;
    std::vector<u16> pixels;
    for (CursorRecord& record : records_) {
        record.loaded = 0;
        record.width = record.height = 0;
        record.hotX = record.hotY = 0;
        for (int art = record.firstArt; art >= 0 && art <= record.lastArt; ++art) {
            int w = 0, h = 0;
            if (!DecodeArt(art, w, h, pixels)) continue;
            // The marker: pure green in the top row at the hot spot's column, and as the first
            // pixel of the hot spot's row.
            for (int x = 0; x < w; ++x) {
                if (pixels[static_cast<size_t>(x)] == kHotSpotMarker) {
                    record.hotX = static_cast<u8>(x);
                    break;
                }
            }
            for (int y = 0; y < h; ++y) {
                if (pixels[static_cast<size_t>(y) * w] == kHotSpotMarker) {
                    record.hotY = static_cast<u8>(y);
                    break;
                }
            }
            record.loaded = 1;
            record.width = std::max(record.width, w);
            record.height = std::max(record.height, h);
        }
        if (record.loaded) ++found;
    }

    int widest = 4, tallest = 4;
    for (int k = 0; k < kImageCount; ++k) {
        CursorImage& image = images_[k];
        image = CursorImage();
        int w = 0, h = 0;
        if (!DecodeArt(kFirstArt + k, w, h, pixels)) continue;
        image.width = w & ~1;
        image.height = h;
        image.pixels.assign(static_cast<size_t>(image.width) * h, 0);
        for (int y = 0; y < h; ++y)
            std::copy_n(pixels.begin() + static_cast<ptrdiff_t>(y) * w, image.width,
                        image.pixels.begin() + static_cast<ptrdiff_t>(y) * image.width);
        for (u16& p : image.pixels) {
            if (p == 0) continue;
            if (k < kPeaceOffset && combatHue != 0) {
                // The picture's red channel is its brightness; the combat colour tints it.
                const u32 level = (p >> 10) & 0x1F;
                const u32 r = ((combatHue >> 10) & 0x1F) * level / 32;
                const u32 g = ((combatHue >> 5) & 0x1F) * level / 32;
                const u32 b = (combatHue & 0x1F) * level / 32;
                p = static_cast<u16>(r << 10 | g << 5 | b);
            }
            if (use565) p = Convert555To565(p);
        }
        widest = std::max(widest, image.width);
        tallest = std::max(tallest, image.height);
    }
    saveWidth_ = (widest + 3) & ~3;
    saveHeight_ = tallest;
    save_.assign(static_cast<size_t>(saveWidth_) * saveHeight_, 0);
    saved_ = false;
    return found;
}

const CursorImage* CursorManager::ImageOfArt(int art) const {
    const int k = art - kFirstArt;
    if (k < 0 || k >= kImageCount || images_[k].pixels.empty()) return nullptr;
    return &images_[k];
}

// --- Position and shape
// ---------------------------------------------------------------------------

void CursorManager::CurrentHotSpot(int& hx, int& hy) {
    std::lock_guard<std::mutex> shape(shapeLock_);
    if (record_ >= 0 && records_[record_].loaded) {
        hx = records_[record_].hotX;
        hy = records_[record_].hotY;
    }
}

void CursorManager::SetPosition(int x, int y) {
    int hx = 0, hy = 0;
    CurrentHotSpot(hx, hy);
    std::lock_guard<std::mutex> position(positionLock_);
    if (drawX_ == x - hx && drawY_ == y - hy) return;
    drawX_ = x - hx;
    drawY_ = y - hy;
    NoteChange();
}

void CursorManager::GetHotSpotPos(int& x, int& y) {
    int hx = 0, hy = 0;
    CurrentHotSpot(hx, hy);
    std::lock_guard<std::mutex> position(positionLock_);
    x = drawX_ + hx;
    y = drawY_ + hy;
}

int CursorManager::HotSpotX() {
    int x = 0, y = 0;
    GetHotSpotPos(x, y);
    return x;
}

int CursorManager::HotSpotY() {
    int x = 0, y = 0;
    GetHotSpotPos(x, y);
    return y;
}

int CursorManager::DirectionFromCentre(int x, int y) {
    const int dx = x - kCentreX;
    const int dy = y - kCentreY;
    if (dx > 0) {
        if (dy < -2 * dx) return 0;
        if (2 * dy < -dx) return 1;
        if (2 * dy < dx) return 2;
        if (dy < 2 * dx) return 3;
        return 4;
    }
    if (dy > -2 * dx) return 4;
    if (2 * dy > -dx) return 5;
    if (2 * dy > dx) return 6;
    if (dy > 2 * dx) return 7;
    return 0;
}

bool CursorManager::IsNearCentre(int x, int y) {
    const long long dx = x - kCentreX;
    const long long dy = y - kCentreY;
    return 9 * dx * dx + 16 * dy * dy < 409601;
}

int CursorManager::GetMouseDirection() {
    int x = 0, y = 0;
    GetHotSpotPos(x, y);
    return DirectionFromCentre(x, y);
}

bool CursorManager::IsNearCentre() {
    int x = 0, y = 0;
    GetHotSpotPos(x, y);
    return IsNearCentre(x, y);
}

void CursorManager::UpdateShape() {
    int x = 0, y = 0;
    GetHotSpotPos(x, y);
    const int direction = DirectionFromCentre(x, y);
    const bool near = IsNearCentre(x, y);
    std::lock_guard<std::mutex> shape(shapeLock_);
    int c = requestedShape_.load();
    if (c == 0) c = direction + (near ? 8 : 0);
    if (peace_.load()) c += kPeaceOffset;
    if (c < -1 || c >= kRecordCount || c == record_) return;
    changed_.exchange(1);
    NoteChange();
    {
        std::lock_guard<std::mutex> size(sizeLock_);
        width_ = c >= 0 ? records_[c].width : 0;
        height_ = c >= 0 ? records_[c].height : 0;
    }
    record_ = c;
    animCounter_ = 0;
    art_ = c >= 0 ? records_[c].firstArt : -1;
}

void CursorManager::MoveTo(int x, int y) {
    SetPosition(x, y);
    const int before = CurrentRecord();
    UpdateShape();
    // A new picture has its own hot spot: placed again, so that it points at the mouse now and
    // not only from the next move on.
    if (CurrentRecord() != before) SetPosition(x, y);
}

int CursorManager::CurrentRecord() {
    std::lock_guard<std::mutex> shape(shapeLock_);
    return record_;
}

int CursorManager::DrawX() {
    std::lock_guard<std::mutex> position(positionLock_);
    return drawX_;
}

int CursorManager::DrawY() {
    std::lock_guard<std::mutex> position(positionLock_);
    return drawY_;
}

void CursorManager::SetShape(int shape, bool forceInWorld) {
    const bool inWorld = forceInWorld || GetGumpHostServices().InGame();
    if (!inWorld) shape = kShapePointer;
    if (shape == kShapeWait && waitCount_ == 0) waitCount_ = 1;
    const int requested = waitCount_ > 0 ? kShapeWait : shape;
    if (requestedShape_.exchange(requested) != requested) NoteChange();
    shapeRequests_.push_back(requestedShape_.load());
    if (shapeRequests_.size() > 4096)
        shapeRequests_.erase(shapeRequests_.begin(), shapeRequests_.begin() + 2048);
}

// --- Routing
// --------------------------------------------------------------------------------------

void CursorManager::ToCaptured(void (CGump::*handler)(int, int)) {
    if (captured_ == nullptr) return;
    int lx = 0, ly = 0;
    GetHotSpotPos(lx, ly);
    captured_->ScreenToLocal(lx, ly);
    (captured_->*handler)(lx, ly);
}

void CursorManager::OnLeftDown(int x, int y) {
    SetPosition(x, y);
    int hx = 0, hy = 0;
    GetHotSpotPos(hx, hy);
    if (captured_ == nullptr) captured_ = TheGumpDesktop().GumpAt(hx, hy, nullptr, true);
    ToCaptured(&CGump::OnLeftDown);
}

void CursorManager::OnLeftUp(int x, int y) {
    SetPosition(x, y);
    ToCaptured(&CGump::OnLeftUp);
}

void CursorManager::OnRightDown(int x, int y) {
    SetPosition(x, y);
    int hx = 0, hy = 0;
    GetHotSpotPos(hx, hy);
    if (captured_ == nullptr) captured_ = TheGumpDesktop().RightClickGumpAt(hx, hy);
    ToCaptured(&CGump::OnRightDown);
}

void CursorManager::OnRightUp(int x, int y) {
    SetPosition(x, y);
    ToCaptured(&CGump::OnRightUp);
}

void CursorManager::TickHover() {
    CGumpDesktop& desktop = TheGumpDesktop();
    int hx = 0, hy = 0;
    GetHotSpotPos(hx, hy);
    ToCaptured(&CGump::OnDrag);
    CGump* const over = desktop.GumpAt(hx, hy, nullptr, false);
    if (desktop.hoverGump != nullptr && desktop.hoverGump != over)
        desktop.hoverGump->OnMouseLeave();
    desktop.hoverGump = over;
    // Each handler may delete gumps; the desktop clears its hover slot and the capture when
    // they go, so both are read again after every call.
    if (desktop.hoverGump != nullptr) {
        int lx = hx, ly = hy;
        desktop.hoverGump->ScreenToLocal(lx, ly);
        desktop.hoverGump->OnMouseOver(lx, ly);
        if (desktop.hoverGump != nullptr) desktop.hoverGump->OnHover();
    }
    if (captured_ != nullptr) captured_->OnHover();
}

void CursorManager::ReleaseGump(CGump* gump) {
    if (captured_ == gump) captured_ = nullptr;
}

// --- Drawing
// --------------------------------------------------------------------------------------

CursorManager::Snapshot CursorManager::TakeSnapshot() {
    Snapshot s;
    {
        std::lock_guard<std::mutex> position(positionLock_);
        s.x = drawX_;
        s.y = drawY_;
    }
    {
        std::lock_guard<std::mutex> shape(shapeLock_);
        s.record = record_;
        s.art = art_;
    }
    {
        std::lock_guard<std::mutex> size(sizeLock_);
        s.width = width_;
        s.height = height_;
    }
    return s;
}

void CursorManager::DrawIntoBackBuffer(u16* buffer, u32 ringOffset) {
    if (!drawEnabled_.load() || buffer == nullptr) return;
    const Snapshot s = TakeSnapshot();
    const CursorImage* image = ImageOfArt(s.art);
    if (s.record < 0 || image == nullptr) return;
    // The saved rectangle never exceeds the save bitmap; the image never exceeds the rectangle.
    Snapshot r = s;
    r.width = std::min(s.width, saveWidth_);
    r.height = std::min(s.height, saveHeight_);
    const ClipRect pointer{r.x, r.y, r.x + r.width, r.y + r.height};
    if (!CGumpDesktop::RectsOverlap(pointer, {0, 0, kScreenWidth, kScreenHeight})) return;
    ForEachOnScreen(r.x, r.y, r.width, r.height, ringOffset, [&](int row, int col, size_t at) {
        save_[static_cast<size_t>(row) * saveWidth_ + col] = buffer[at];
        if (row < image->height && col < image->width) {
            const u16 p = image->pixels[static_cast<size_t>(row) * image->width + col];
            if (p != 0) buffer[at] = p;
        }
    });
    saved_ = true;
    savedRect_ = r;
}

void CursorManager::RestoreBackBuffer(u16* buffer, u32 ringOffset) {
    if (saved_ && buffer != nullptr) {
        const Snapshot& r = savedRect_;
        ForEachOnScreen(r.x, r.y, r.width, r.height, ringOffset, [&](int row, int col, size_t at) {
            buffer[at] = save_[static_cast<size_t>(row) * saveWidth_ + col];
        });
    }
    // The saved pixels belong to the frame just shown: a later frame that draws no pointer
    // (it left the screen) must not get them back.
    saved_ = false;
    changed_.exchange(0);
}

// --- The timer
// ------------------------------------------------------------------------------------

bool CursorManager::TimerStep(int x, int y) {
    if (x < 0 || y < 0) return false;
    UpdateShape();
    int hx = 0, hy = 0;
    GetHotSpotPos(hx, hy);
    if (hx == x && hy == y && changed_.load() == 0) return false;
    MoveTo(x, y);
    if (!drawEnabled_.load() || CurrentRecord() < 0) return false;
    if (GetGumpHostServices().Quitting()) return false;
    represent_.store(true);
    return true;
}

// --- The shell's entry points
// ---------------------------------------------------------------------

namespace {

// The last frame shown, kept while the software cursor's timer runs, so that the pointer can
// move between frames.
std::vector<u16> g_lastFrame;
u32 g_lastRingOffset = 0;
std::atomic<bool> g_timerRuns{false};

}  // namespace

u16* CursorScreen() {
    return TheGumpDesktop().Screen();
}

u32 CursorRingOffset() {
    return TheGumpDesktop().RingOffset();
}

void CursorShellLoadArt() {
    const ClientOptions& options = TheClientSettings().options;
    const u32 hue = options.combatHueColor;
    const bool use565 = options.use565;
    const int found = TheCursorManager().LoadCursorArt(hue, use565);
    if (found < CursorManager::kRecordCount)
        LogClientError("cursor", "pointer arts 0x6053-0x6079 missing: some shapes draw nothing");
}

void CursorShellDrawIntoBackBuffer() {
    CursorManager& cursor = TheCursorManager();
    u16* const screen = CursorScreen();
    if (!cursor.DrawEnabled() || screen == nullptr) return;
    std::lock_guard<std::recursive_mutex> outer(CursorOuterLock());
    // A frame shows the pointer where it is now: the timer's request is answered.
    cursor.TakeRepresentRequest();
    int px = -1, py = -1;
    platform::Backend().PointerPosition(px, py);
    int hx = 0, hy = 0;
    cursor.GetHotSpotPos(hx, hy);
    if (px >= 0 && py >= 0 && (px != hx || py != hy)) cursor.MoveTo(px, py);
    const u32 ring = CursorRingOffset();
    if (g_timerRuns.load()) {
        g_lastFrame.assign(screen, screen + kRingPixels);
        g_lastRingOffset = ring;
    }
    cursor.DrawIntoBackBuffer(screen, ring);
}

void CursorShellRemoveFromBackBuffer() {
    std::lock_guard<std::recursive_mutex> outer(CursorOuterLock());
    TheCursorManager().RestoreBackBuffer(CursorScreen(), CursorRingOffset());
}

bool CursorShellTimerStep(int x, int y) {
    g_timerRuns.store(true);
    if (!TheCursorManager().TimerStep(x, y)) return false;
    WakeClientLoop();
    return true;
}

bool CursorShellRepresent() {
    CursorManager& cursor = TheCursorManager();
    if (!cursor.TakeRepresentRequest()) return false;
    std::lock_guard<std::recursive_mutex> outer(CursorOuterLock());
    if (g_lastFrame.empty() || !cursor.DrawEnabled()) return false;
    cursor.DrawIntoBackBuffer(g_lastFrame.data(), g_lastRingOffset);
    platform::Backend().Present(
        g_lastFrame.data(), g_lastRingOffset,
        Use565() ? platform::PixelFormat::k565 : platform::PixelFormat::k555);
    cursor.RestoreBackBuffer(g_lastFrame.data(), g_lastRingOffset);
    return true;
}
