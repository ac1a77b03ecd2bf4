#include "client/gumps/framework/gump_desktop.h"

#include <algorithm>
#include <cstring>

#include "client/data/client_log.h"
#include "client/data/gump_art.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/render/dirty_rects.h"
#include "client/render/span_blit.h"
#include "platform/clock.h"

CGumpDesktop& TheGumpDesktop() {
    // Never destroyed: gumps still open at exit would otherwise reach the cursor manager and
    // the host after those are gone.
    static CGumpDesktop* desktop = new CGumpDesktop;
    return *desktop;
}

CGumpDesktop::CGumpDesktop() : save_(kScreenPixels, 0) {}

CGumpDesktop::~CGumpDesktop() {
    DeleteAllGumps();
}

void CGumpDesktop::DeleteAllGumps() {
    DeleteTopLevelWhere([](CGump*) { return true; });
    keyboardFocus = modalGump = hoverGump = nullptr;
    saveUnders_.clear();
    gumpDirtyRects_.clear();
    pending.clear();
    restoring = false;
    cascadeX = cascadeY = 16;
}

template <typename Test>
void CGumpDesktop::DeleteTopLevelWhere(Test test) {
    for (CGump* g = head; g != nullptr; g = deletionCursor) {
        deletionCursor = g->nextSibling;
        if (test(g)) Close(g);
    }
    deletionCursor = nullptr;
}

void CGumpDesktop::Close(CGump* gump) {
    delete gump;
}

void CGumpDesktop::SetScreen(u16* pixels) {
    screen_ = pixels;
}

void CGumpDesktop::SetScreen(u16* pixels, u32 ringOffset) {
    screen_ = pixels;
    SetRingOffset(static_cast<s32>(ringOffset % kScreenPixels));
}

u32 CGumpDesktop::RingOffset() const {
    // The world view's ring; its 307200 addresses the buffer like 0.
    return static_cast<u32>(::RingOffset) % kScreenPixels;
}

int CGumpDesktop::TopLevelCount() const {
    int n = 0;
    for (CGump* g = head; g != nullptr; g = g->nextSibling)
        ++n;
    return n;
}

// --- Rectangles ----------------------------------------------------------------------------------

void CGumpDesktop::UniteRects(ClipRect& a, const ClipRect& b) {
    if (a.left == 0 && a.top == 0 && a.right == 0 && a.bottom == 0) {
        a = b;
        return;
    }
    a.left = std::min(a.left, b.left);
    a.top = std::min(a.top, b.top);
    a.right = std::max(a.right, b.right);
    a.bottom = std::max(a.bottom, b.bottom);
}

bool CGumpDesktop::RectsOverlap(const ClipRect& a, const ClipRect& b) {
    return b.left < a.right && a.left < b.right && b.top < a.bottom && a.top < b.bottom;
}

// --- Drawing -------------------------------------------------------------------------------------

void CGumpDesktop::DrawGumps(const ClipRect& area, bool present) {
    const ClipRect clip = ClipToSize(area, kScreenWidth, kScreenHeight);
    if (clip.bottom <= clip.top || clip.right <= clip.left || screen_ == nullptr) {
        if (present) {
            PresentScreenRect(clip);
            RestoreGumpSaveUnders();
        }
        return;
    }
    const int wrap = kScreenPixels - static_cast<int>(RingOffset());
    const int start = clip.top * kScreenWidth + clip.left;
    const int end = (clip.bottom - 1) * kScreenWidth + clip.right - 1;
    if ((start < wrap) != (end < wrap)) {
        // The clip crosses the ring's wrap: draw it in pieces that each lie on one side.
        const int wr = wrap / kScreenWidth, wc = wrap % kScreenWidth;
        if (clip.left < wc && wc < clip.right) {
            DrawGumps({clip.left, clip.top, wc, wr + 1}, false);
            DrawGumps({wc, clip.top, clip.right, wr}, false);
            DrawGumps({wc, wr, clip.right, clip.bottom}, false);
            DrawGumps({clip.left, wr + 1, wc, clip.bottom}, present);
        } else {
            const int split = wc >= clip.right ? wr + 1 : wr;
            DrawGumps({clip.left, clip.top, clip.right, split}, false);
            DrawGumps({clip.left, split, clip.right, clip.bottom}, present);
        }
        return;
    }
    DrawPiece(clip, start < wrap);
    if (present) {
        PresentScreenRect(clip);
        RestoreGumpSaveUnders();
        gumpDirtyRects_.clear();
    }
}

void CGumpDesktop::AddGumpDirtyRect(const ClipRect& rect) {
    if (gumpDirtyRects_.size() >= kMaxGumpDirtyRects) {
        // Drawing goes on: the list starts again instead of stopping the frame for a box.
        LogClientError("gump desktop", "TOO MANY GUMP DIRTY RECTS!");
        gumpDirtyRects_.clear();
        return;
    }
    gumpDirtyRects_.push_back(rect);
}

void CGumpDesktop::DrawPiece(const ClipRect& clip, bool beforeWrap) {
    // Rebase both buffers so that pixel (x, y) of this piece is at base + y * 640 + x.
    const ptrdiff_t shift = beforeWrap ? static_cast<ptrdiff_t>(RingOffset())
                                       : static_cast<ptrdiff_t>(RingOffset()) - kScreenPixels;
    drawBase_ = screen_ + shift;
    saveBase_ = save_.data() + shift;
    // Every save-under is taken before any gump draws, so every saved pixel is a world pixel.
    for (CGump* g = tail; g != nullptr; g = g->prevSibling)
        g->SaveUnder(clip);
    for (CGump* g = tail; g != nullptr; g = g->prevSibling)
        g->Draw(clip);
    drawBase_ = saveBase_ = nullptr;
}

void CGumpDesktop::SaveRect(const ClipRect& rect) {
    const ptrdiff_t index =
        (drawBase_ - screen_) + static_cast<ptrdiff_t>(rect.top) * kScreenWidth + rect.left;
    // The list grows as needed: every saved rectangle is restored after the frame.
    saveUnders_.push_back({index, rect});
    const size_t w = static_cast<size_t>(rect.right - rect.left);
    for (int row = 0; row < rect.bottom - rect.top; ++row) {
        const ptrdiff_t at = index + static_cast<ptrdiff_t>(row) * kScreenWidth;
        std::memcpy(save_.data() + at, screen_ + at, w * sizeof(u16));
    }
}

void CGumpDesktop::RestoreGumpSaveUnders() {
    for (auto it = saveUnders_.rbegin(); it != saveUnders_.rend(); ++it) {
        const size_t w = static_cast<size_t>(it->rect.right - it->rect.left);
        for (int row = 0; row < it->rect.bottom - it->rect.top; ++row) {
            const ptrdiff_t at = it->screenIndex + static_cast<ptrdiff_t>(row) * kScreenWidth;
            std::memcpy(screen_ + at, save_.data() + at, w * sizeof(u16));
        }
    }
    saveUnders_.clear();
}

void CGumpDesktop::PresentScreenRect(const ClipRect& rect) {
    presentRect_ = {std::clamp(rect.left, 0, kScreenWidth), std::clamp(rect.top, 0, kScreenHeight),
                    std::clamp(rect.right, 0, kScreenWidth),
                    std::clamp(rect.bottom, 0, kScreenHeight)};
    GumpHostServices& host = GetGumpHostServices();
    // The mobiles' running actions advance once per presented frame.
    host.RunActionSequencer();
    host.StepScreenEffects();
    if (screen_ != nullptr) host.Present(screen_, RingOffset());
}

// --- Per tick ------------------------------------------------------------------------------------

void CGumpDesktop::ExpireBarks() {
    const u32 now = platform::NowMs();
    DeleteTopLevelWhere([now](CGump* g) { return g->IsKind(GumpKind::kBark) && g->Expired(now); });
}

void CGumpDesktop::Update() {
    ExpireBarks();
    for (CGump* g = head; g != nullptr; g = tickCursor) {
        tickCursor = g->nextSibling;
        g->Tick();
    }
    tickCursor = nullptr;
}

// --- Finding gumps -------------------------------------------------------------------------------

CGump* CGumpDesktop::GumpAt(int sx, int sy, CGump* skip, bool barkFilter) {
    if (modalGump != nullptr) {
        int lx = sx, ly = sy;
        modalGump->ScreenToLocal(lx, ly);
        return modalGump->ContainsPoint(lx, ly) ? modalGump->ChildAt(lx, ly, skip) : nullptr;
    }
    for (CGump* g = head; g != nullptr; g = g->nextSibling) {
        if (g == skip || !g->visible) continue;
        int lx = sx, ly = sy;
        g->ScreenToLocal(lx, ly);
        if (!g->ContainsPoint(lx, ly)) continue;
        if (g->IsKind(GumpKind::kBark) && barkFilter && !g->OwnerObjectClickable()) continue;
        return g->ChildAt(lx, ly, skip);
    }
    return nullptr;
}

CGump* CGumpDesktop::RightClickGumpAt(int sx, int sy) {
    if (modalGump != nullptr) {
        int lx = sx, ly = sy;
        modalGump->ScreenToLocal(lx, ly);
        return modalGump->ContainsPoint(lx, ly) ? modalGump->ChildAt(lx, ly, nullptr) : nullptr;
    }
    for (CGump* g = head; g != nullptr; g = g->nextSibling) {
        if (!g->visible || g->IsKind(GumpKind::kBark)) continue;
        int lx = sx, ly = sy;
        g->ScreenToLocal(lx, ly);
        if (g->ContainsPoint(lx, ly)) return g->ChildAt(lx, ly, nullptr);
    }
    return nullptr;
}

CGump* CGumpDesktop::FindGumpForObject(u32 obj, bool paperdoll, bool shop, CGump* first) {
    GumpHostServices& host = GetGumpHostServices();
    for (CGump* g = first; g != nullptr; g = g->nextSibling) {
        if (g->object == obj && obj != 0) {
            if (g->IsKind(GumpKind::kCourse) || g->IsKind(GumpKind::kStack)) return g;
            if (!paperdoll && !shop && g->IsKind(GumpKind::kContainer) &&
                host.ObjectIsContainer(obj))
                return g;
            if (host.ObjectIsMobile(obj)) {
                if (paperdoll && g->IsKind(GumpKind::kPaperdoll)) return g;
                if (shop && g->IsKind(GumpKind::kShop)) return g;
                if (!paperdoll && !shop && !g->IsKind(GumpKind::kPaperdoll) &&
                    !g->IsKind(GumpKind::kShop))
                    return g;
            }
        }
        if (g->firstChild != nullptr)
            if (CGump* found = FindGumpForObject(obj, paperdoll, shop, g->firstChild)) return found;
    }
    return nullptr;
}

CGump* CGumpDesktop::OpenGump(u32 obj, int artId, CGump* parentGump, bool container) {
    GumpHostServices& host = GetGumpHostServices();
    auto raise = [](CGump* g) {
        g->BringToFront(false);
        if (g->minimised) g->Restore();
        return g;
    };
    if (obj != 0)
        if (CGump* open = FindGumpForObject(obj, artId == 10, artId == 48, head))
            return raise(open);
    if (artId == 5000 && optionsGump != nullptr) return raise(optionsGump);
    if (artId == 7)
        for (CGump* g = head; g != nullptr; g = g->nextSibling)
            if (g->IsKind(GumpKind::kText)) return raise(g);
    if ((artId == 5010 || artId == 5011) && radarGump != nullptr) {
        Close(radarGump);
        return OpenGump(0, 5011, nullptr, false);
    }
    if (artId == 48) DeleteTopLevelWhere([](CGump* g) { return g->IsKind(GumpKind::kShop); });
    int w = 0, h = 0;
    GetGumpArtSize(static_cast<u32>(artId), w, h);
    CGump* made = nullptr;
    const bool ownClass = artId == 5000 || artId == 5010 || artId == 5011 || artId == 49 ||
                          artId == 48 || artId == 7 || artId == 8 || artId == 10;
    if (artId == 5000) {
        int w1 = 0, h1 = 0;
        GetGumpArtSize(5001, w1, h1);
        if (w == 0 || w1 == 0) {
            host.ShowMessageBox("Missing ClientCfg GUMP art!", "Error");
            return nullptr;
        }
    }
    if (ownClass) {
        made = host.MakeWindow(artId, obj, w, h, false);
        if (made != nullptr && artId == 5000) optionsGump = made;
        if (made != nullptr && (artId == 5010 || artId == 5011)) radarGump = made;
    } else if (container) {
        int cx = kScreenWidth - w - 10, cy = 10;
        if (host.OffsetGumps()) {
            cascadeX += 16;
            cascadeY += 16;
            if (cascadeX + w >= 624) cascadeX = 16;
            if (cascadeY + h >= 464) cascadeY = 16;
            cx = cascadeX;
            cy = cascadeY;
        }
        made = host.MakeWindow(artId, obj, w, h, true);
        if (made != nullptr) {
            made->x = cx;
            made->y = cy;
        }
    } else {
        // A plain gump showing the art itself.
        made = Make<CGump>(kScreenWidth - w, 0, parentGump, obj, 1, w, h);
        made->artId = artId;
        made->pitch = w;
        Bitmap16& frame = made->MakeFrame(0);
        CopyGumpToBuf(SpanCopyKeyed, static_cast<u32>(artId), 0, 0, frame.Pixels(), w, h);
    }
    if (made != nullptr) made->AttachTo(parentGump);
    return made;
}

// --- Focus, Escape, deletion ---------------------------------------------------------------------

void CGumpDesktop::SetKeyboardFocus(CGump* gump) {
    if (keyboardFocus == gump) return;
    ClearKeyboardFocus();
    keyboardFocus = gump;
    GetGumpHostServices().RefreshSpeechLineBark();
}

void CGumpDesktop::ClearKeyboardFocus() {
    if (keyboardFocus == nullptr) return;
    CGump* const former = keyboardFocus;
    keyboardFocus = nullptr;
    if (!deletingGumps) former->EndEditing();
    GetGumpHostServices().RefreshSpeechLineBark();
}

void CGumpDesktop::CloseOnEscape() {
    DeleteTopLevelWhere([](CGump* g) { return g->ClosesOnEscape(); });
}

void CGumpDesktop::DeleteNonWorldGumps() {
    DeleteTopLevelWhere(
        [](CGump* g) { return !g->IsKind(GumpKind::kMap) && !g->IsKind(GumpKind::kInput); });
}

void CGumpDesktop::DeleteMissileGumps() {
    DeleteTopLevelWhere([](CGump* g) { return g->IsKind(GumpKind::kMissile); });
}

void CGumpDesktop::ShiftMissileGumps(int dx, int dy) {
    for (CGump* g = head; g != nullptr; g = g->nextSibling)
        if (g->IsKind(GumpKind::kMissile)) g->MoveBy(dx, dy, false);
}

void CGumpDesktop::TypedCharacter(u32 character) {
    GumpHostServices& host = GetGumpHostServices();
    if (character == 9) {
        if (keyboardFocus != nullptr) keyboardFocus->OnKey(9);
        return;
    }
    if (character == 27) {
        if (host.CancelPromptOrTarget()) return;
        if (keyboardFocus != nullptr)
            keyboardFocus->OnKey(27);
        else
            CloseOnEscape();
        return;
    }
    if (keyboardFocus != nullptr)
        keyboardFocus->OnKey(character);
    else
        host.SpeechLineCharacter(character);
}

void CGumpDesktop::ForgetGump(CGump* gump) {
    // The bubbles attached to a window go with it.
    for (CGump* g = head; g != nullptr;) {
        CGump* const next = g->nextSibling;
        if (g != gump && g->IsKind(GumpKind::kBark) && g->OwnerGump() == gump) Close(g);
        g = next;
    }
    if (deletionCursor == gump) deletionCursor = gump->nextSibling;
    if (tickCursor == gump) tickCursor = gump->nextSibling;
    if (hoverGump == gump) hoverGump = nullptr;
    if (keyboardFocus == gump) {
        keyboardFocus = nullptr;
        GetGumpHostServices().RefreshSpeechLineBark();
    }
    for (CGump** slot : {&modalGump, &optionsGump, &radarGump, &loginGump, &accountLoginGump,
                         &mainMenuGump, &charCreationGump, &charStatGump, &initialSkillGump,
                         &cityChoiceGump, &skillGump, &fightingGump, &chatGump, &progressGump,
                         &connectionGump, &noticeGump, &bankContainerGump})
        if (*slot == gump) *slot = nullptr;
    for (CGump* g = head; g != nullptr; g = g->nextSibling)
        if (g != gump && g->IsKind(GumpKind::kWaiting)) g->ForgetGump(gump);
}

bool CGumpDesktop::TakePendingPlacement(u8 kind, PendingPlacement& out) {
    if (!restoring) return false;
    auto it = std::find_if(pending.begin(), pending.end(),
                           [kind](const PendingPlacement& p) { return p.kind == kind; });
    if (it == pending.end()) return false;
    out = *it;
    pending.erase(it);
    if (pending.empty()) restoring = false;
    return true;
}
