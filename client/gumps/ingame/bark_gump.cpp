#include "client/gumps/ingame/bark_gump.h"

#include <algorithm>

#include "client/data/client_settings.h"
#include "client/data/fonts.h"
#include "client/data/pixel_format.h"
#include "client/data/pixel_spans.h"
#include "client/data/unicode_fonts.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/windows/map_gump.h"
#include "client/net/client_link.h"
#include "client/net/target_cursor.h"
#include "client/world/bark_views.h"
#include "client/world/cell_grid.h"
#include "client/world/client_object.h"
#include "client/world/client_world.h"
#include "client/world/system_message.h"
#include "platform/clock.h"

namespace {

constexpr int kLineHeight = 15;
constexpr u32 kLineTime = 4000;
constexpr int kSystemWrap = 320;
constexpr int kObjectWrap = 200;
constexpr int kSystemX = 0, kSystemY = 460;
// The near-black of the Unicode outline: not see-through.
constexpr u16 kOutlineKey = 1;

// Every live bubble, so a record finds its bubble and a chain its members.
std::vector<CBarkGump*>& LiveBubbles() {
    static std::vector<CBarkGump*> bubbles;
    return bubbles;
}

// Set while a chain is trimmed or an object's bubbles go with it: a dying bubble then does
// not lay its chain out again.
bool g_trimming = false;

// The point a bubble of the object hangs from (screen pixels).
void AnchorOf(const CClientObject& o, int& x, int& y) {
    x = (o.box.left + o.box.right) / 2 - ViewScrollX;
    y = o.box.top - ViewScrollY + 4;
}

void ClampToScreen(int& x, int& y, int w, int h) {
    if (x + w > kScreenWidth - 1) x = kScreenWidth - 1 - w;
    if (x < 0) x = 0;
    if (y + h > kScreenHeight - 1) y = kScreenHeight - 1 - h;
    if (y < 0) y = 0;
}

// Half of the bubble's pixel and half of the screen's, never 0 (a see-through pixel).
void SpanHalfBlend555(u16* dst, const u16* src, int count, int) {
    for (int i = 0; i < count; ++i)
        if (src[i] != 0) dst[i] = u16((((src[i] & 0x7BDE) + (dst[i] & 0x7BDE)) >> 1) | 1);
}
void SpanHalfBlend565(u16* dst, const u16* src, int count, int) {
    for (int i = 0; i < count; ++i)
        if (src[i] != 0) dst[i] = u16((((src[i] >> 1) & 0x7BEF) + ((dst[i] >> 1) & 0x7BEF)) | 1);
}

ClipRect ScreenRectOf(const CGump& g) {
    return ClipRect{g.x, g.y, g.x + g.width, g.y + g.height};
}

}  // namespace

u32 BarkLifetime(int height, int timeModifier, bool scaleTimes) {
    const u32 modifier = timeModifier > 0 ? u32(timeModifier) : 100u;
    // A text lower than one line would otherwise get no time at all and never be seen.
    const u32 lines = u32(std::max(1, height / kLineHeight));
    return (scaleTimes ? lines : 1u) * kLineTime * modifier / 100u;
}

void OutlineGlyphs(u16* pixels, int width, int height, u16 key) {
    static constexpr int kSteps[8][2] = {{0, -1}, {1, -1}, {1, 0},  {1, 1},
                                         {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}};
    for (int y = 1; y < height - 1; ++y)
        for (int x = 1; x < width - 1; ++x) {
            const u16 p = pixels[y * width + x];
            if (p == 0 || p == key) continue;
            for (const auto& s : kSteps) {
                u16& n = pixels[(y + s[1]) * width + x + s[0]];
                if (n == 0) n = key;
            }
        }
}

u16 UnicodeTextColour(int hue) {
    const u16* ramp = BlitHueColours(hue - 1);
    if (ramp != nullptr) return ramp[30];
    return Use565() ? Convert555To565(0x7FFF) : u16(0x7FFF);
}

// --- CBarkGump
// -------------------------------------------------------------------------------------

CBarkGump::CBarkGump(CClientObject* anchor, OverheadText& bark, CGump* ownerGump)
    : anchorObject(anchor), record(&bark), owner(ownerGump) {
    kindLabel = "bark gump";
    frames.resize(1);
    LiveBubbles().push_back(this);
}

CBarkGump::~CBarkGump() {
    auto& live = LiveBubbles();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    // At the client's end the world's objects may be gone before the gumps.
    if (g_clientTearDown) return;
    if (record != nullptr) DropBark(anchorObject, record);
    if (g_trimming || TheGumpDesktop().deletingGumps) return;
    const std::vector<CBarkGump*> chain = ChainOf(anchorObject);
    if (chain.empty()) return;
    for (CBarkGump* b : chain)
        b->FollowObject();
    LayOutStack(chain.front(), false);
}

void CBarkGump::Measure(int wrapWidth, int& w, int& h) {
    const std::string& text = record->text;
    int widest = 0, height = 0, baseline = 0;
    if (GetFontTable().MeasureWrappedText(record->font, text.empty() ? " " : text.c_str(),
                                          wrapWidth, widest, height, baseline, 0)) {
        w = widest;
        h = height;
    }
}

void CBarkGump::RenderText(int hue) {
    Bitmap16* frame = Frame(0);
    if (frame == nullptr || width <= 0 || height <= 0) return;
    std::fill(frame->Pixels(), frame->Pixels() + width * height, u16(0));
    const TextTarget target{frame->Pixels(), width, height};
    GetFontTable().DrawWrappedText(0, 0, record->font, hue, record->text.c_str(), pitch, target,
                                   ClipRect{0, 0, width, height}, 0, 0);
}

void CBarkGump::Place() {
    int wrap = kObjectWrap;
    if (anchorObject == nullptr) {
        wrap = kSystemWrap;
        anchorX = x = kSystemX;
        anchorY = y = kSystemY;
    } else if (owner != nullptr) {
        int ox = 0, oy = 0;
        owner->LocalToScreen(ox, oy);
        anchorX = x = ox + owner->grabX;
        anchorY = y = oy + owner->grabY;
    } else {
        AnchorOf(*anchorObject, anchorX, anchorY);
        x = anchorX;
        y = anchorY;
        if (record->label && !anchorObject->IsCorpse()) {
            if (CMapGump* map = TheMapGump()) {
                x = map->grabX;
                y = map->grabY;
                map->LocalToScreen(x, y);
            }
        }
    }
    int w = 0, h = 0;
    Measure(wrap, w, h);
    if (anchorObject != nullptr) x -= w / 2;
    wantedX = x;
    y -= h;
    wantedY = y;
    ClampToScreen(x, y, w, h);
    width = pitch = w;
    height = h;
    frames[0] = std::make_unique<Bitmap16>(w, h);
    RenderText(record->hue);

    const std::vector<CBarkGump*> chain = ChainOf(anchorObject);
    for (CBarkGump* older : chain) {
        if (older == this) continue;
        older->wantedY -= h;
        older->y = older->wantedY;
        if (older->y < 0) older->y = 0;
        if (older->y + older->height > kScreenHeight) older->y = kScreenHeight - older->height;
    }
    LayOutStack(this);
    const ClientOptions& options = TheClientSettings().options;
    record->lifetime = BarkLifetime(h, options.barkTimeModifier, options.scaleBarkTimes);
}

std::vector<CBarkGump*> CBarkGump::ChainOf(CClientObject* anchor) {
    std::vector<CBarkGump*> chain;
    for (OverheadText* r = BarkChainOf(anchor); r != nullptr; r = r->older)
        if (CBarkGump* b = Showing(r)) chain.push_back(b);
    return chain;
}

CBarkGump* CBarkGump::Showing(const OverheadText* r) {
    for (CBarkGump* b : LiveBubbles())
        if (b->record == r) return b;
    return nullptr;
}

CBarkGump* CBarkGump::Live(CGump* gump) {
    for (CBarkGump* b : LiveBubbles())
        if (b == gump) return b;
    return nullptr;
}

void CBarkGump::CloseQuietly(CBarkGump* bubble) {
    const bool was = g_trimming;
    g_trimming = true;
    TheGumpDesktop().Close(bubble);
    g_trimming = was;
}

void CBarkGump::LayOutStack(CBarkGump* bubble, bool trim) {
    std::vector<CBarkGump*> chain = ChainOf(bubble->anchorObject);
    if (chain.empty()) return;
    int total = 0;
    for (CBarkGump* b : chain)
        total += b->height;
    while (trim && total >= kScreenHeight && chain.back() != bubble) {
        CBarkGump* oldest = chain.back();
        chain.pop_back();
        total -= oldest->height;
        CloseQuietly(oldest);
    }
    CBarkGump* oldest = chain.back();
    CBarkGump* newest = chain.front();
    if (oldest->wantedY < 0) {
        oldest->y = 0;
        for (size_t i = chain.size() - 1; i-- > 0;)
            chain[i]->y = chain[i + 1]->y + chain[i + 1]->height;
    } else if (newest->wantedY + newest->height > kScreenHeight) {
        newest->y = kScreenHeight - newest->height;
        for (size_t i = 1; i < chain.size(); ++i)
            chain[i]->y = chain[i - 1]->y - chain[i]->height;
    }
}

void CBarkGump::FollowObject() {
    ClipRect old = ScreenRectOf(*this);
    if (anchorObject == nullptr || anchorObject->IsPlayer()) return;
    if (anchorObject->IsServerObject() && static_cast<CClientItem*>(anchorObject)->holder) return;
    int ax = 0, ay = 0;
    AnchorOf(*anchorObject, ax, ay);
    wantedX += ax - anchorX;
    wantedY += ay - anchorY;
    anchorX = ax;
    anchorY = ay;
    x = wantedX;
    y = wantedY;
    ClampToScreen(x, y, width, height);
    CGumpDesktop::UniteRects(old, ScreenRectOf(*this));
    TheGumpDesktop().AddGumpDirtyRect(old);
}

bool CBarkGump::IsClickable() const {
    return anchorObject != nullptr && (anchorObject->IsMobile() || anchorObject->IsCorpse());
}

bool CBarkGump::OverlapsFrontBark() const {
    const ClipRect own = ScreenRectOf(*this);
    for (const CGump* g = prevSibling; g != nullptr; g = g->prevSibling)
        if (g->IsKind(kKind) && CGumpDesktop::RectsOverlap(own, ScreenRectOf(*g))) return true;
    return false;
}

bool CBarkGump::Expired(u32 now) {
    return record == nullptr || now - record->created > record->lifetime;
}

void CBarkGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    if (!OverlapsFrontBark()) return DrawFrame(clip, SpanCopyKeyed, 0);
    DrawFrame(clip, Use565() ? SpanHalfBlend565 : SpanHalfBlend555, 0);
}

void CBarkGump::OnMouseOver(int, int) {
    if (TheGumpDesktop().head != this) BringToFront(true);
    if (IsClickable()) RenderText(kLabelHoverHue);
}

void CBarkGump::OnMouseLeave() {
    if (IsClickable() && record != nullptr) RenderText(record->hue);
}

void CBarkGump::OnLeftDown(int px, int py) {
    pressed = true;
    grabX = px;
    grabY = py;
    click.Press();
}

void CBarkGump::OnHover() {
    if (!click.TimedOut()) return;
    if (!pressed)
        OnSingleClick();
    else
        held = true;
}

void CBarkGump::OnLeftUp(int, int) {
    pressed = false;
    if (held) {
        held = false;
        click.state = ClickState::kNone;
    } else if (click.state == ClickState::kSecondPress) {
        click.state = ClickState::kNone;
        OnDoubleClick();
        // The double click may have closed every bubble, this one too.
        if (!IsGumpAlive(this)) return;
    }
    ReleaseCapture();
}

void CBarkGump::OnSingleClick() {
    if (!IsClickable() || !TheClientWorld().targeting) return;
    if (ClientLink* link = TheClientLink()) link->Target().TargetPicked(anchorObject);
}

void CBarkGump::OnDoubleClick() {
    if (!IsClickable()) return;
    if (CMapGump* map = TheMapGump()) map->OnDoubleClickObject(anchorObject);
}

// --- CUnicodeBarkGump
// ------------------------------------------------------------------------------

namespace {

// Makes the bubbles' Unicode font current for a scope and puts the previous one back.
class UnicodeFontScope {
public:
    UnicodeFontScope() : previous_(GetUnicodeFont()) {
        SetUnicodeFont(TheClientSettings().options.barkFontNumber);
    }
    ~UnicodeFontScope() { SetUnicodeFont(previous_); }
    UnicodeFontScope(const UnicodeFontScope&) = delete;
    UnicodeFontScope& operator=(const UnicodeFontScope&) = delete;

private:
    int previous_;
};

}  // namespace

CUnicodeBarkGump::CUnicodeBarkGump(CClientObject* anchor, OverheadText& bark, CGump* ownerGump)
    : CBarkGump(anchor, bark, ownerGump) {
    kindLabel = "unicode bark gump";
}

void CUnicodeBarkGump::Measure(int wrapWidth, int& w, int& h) {
    UnicodeFontScope font;
    const std::u16string& text = record->wideText;
    int widest = 0, height = 0, baseline = 0;
    UnicodeMeasureWrappedText(text.empty() ? u" " : text.c_str(), wrapWidth, widest, height,
                              baseline);
    // Room for the outline.
    w = widest + 2;
    h = height + 2;
}

void CUnicodeBarkGump::RenderText(int hue) {
    Bitmap16* frame = Frame(0);
    if (frame == nullptr || width <= 0 || height <= 0) return;
    std::fill(frame->Pixels(), frame->Pixels() + width * height, u16(0));
    {
        UnicodeFontScope font;
        const TextTarget target{frame->Pixels(), width, height};
        UnicodeDrawWrappedText(target, pitch, record->wideText.c_str(), 1, 1,
                               UnicodeTextColour(hue), ClipRect{0, 0, width, height});
    }
    OutlineGlyphs(frame->Pixels(), width, height, kOutlineKey);
}

void ShowCentredSystemBubble(const std::string& text, int hue, int font) {
    ShowSystemMessage(hue, font, text);
    const std::vector<CBarkGump*> chain = CBarkGump::ChainOf(nullptr);
    if (chain.empty() || chain.front()->record->text != text) return;
    CBarkGump* b = chain.front();
    b->x = b->wantedX = kScreenWidth / 2 - b->width / 2;
    b->y = b->wantedY = kScreenHeight / 2 - b->height / 2;
}
