#include "client/gumps/ingame/paperdoll_gump.h"

#include <cstdlib>

#include "client/data/fonts.h"
#include "client/data/gump_art.h"
#include "client/data/pixel_spans.h"
#include "client/data/tile_data.h"
#include "client/gumps/framework/button_gump.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/framework/gump_host_services.h"
#include "client/gumps/framework/two_frame_window.h"
#include "client/gumps/ingame/ingame_requests.h"
#include "client/gumps/ingame/status_gump.h"
#include "client/gumps/ingame/window_not_built.h"
#include "client/gumps/windows/yes_no_gump.h"
#include "client/net/client_link.h"
#include "client/net/server_feature_flag.h"
#include "client/net/speech_line.h"
#include "client/net/target_cursor.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "client/world/mobile_draw.h"
#include "client/world/system_message.h"

namespace {

constexpr int kPictureX = 8;
constexpr int kPictureY = 19;
constexpr int kProfileX = 27;
constexpr int kProfileY = 196;
constexpr int kNameX = 39;
constexpr int kNameWidth = 186;
constexpr int kNameLineStep = 13;
constexpr int kNameFont = 1;
constexpr int kNameHue = 902;
constexpr size_t kTextLimit = 60;
constexpr int kMaleBodyArt = 12;
constexpr int kFemaleBodyArt = 13;
constexpr int kGhostView = 987;
constexpr int kGhostViewHue = 1002;
constexpr int kGhostOverlayArt = 50987;
constexpr int kBackpackLayer = 21;
constexpr int kHairLayer = 11;
constexpr int kBeardLayer = 16;
constexpr int kDragSlop = 4;
constexpr int kUsableWhileDead = 51;
constexpr u8 kPaperdollPlacement = 0;
constexpr u16 kBarkHue = 946;
constexpr u16 kBarkFont = 3;
constexpr int kChatFeatureBit = 1;

int HueIndex(u16 hue) {
    return (hue - 1) & 0x3FFF;
}

bool IsDeadBody(int body) {
    return body == 402 || body == 403;
}

bool PlayerIsDead() {
    const CClientPlayer* player = ThePlayer();
    return player != nullptr && IsDeadBody(player->graphic);
}

// The paperdoll number of a graphic (the tile's animation field).
int PaperdollNumber(int graphic) {
    return StaticTileOf(graphic).animation;
}

void CopyArt(Bitmap16& frame, BlitSpan span, int art, int x, int y) {
    CopyGumpToBuf(span, static_cast<u32>(art), x, y, frame.Pixels(), frame.Width(),
                  frame.Height());
}

void ToggleWar(CGump*) {
    SendWarModeToggle();
}

void OpenJournal(CGump*) {
    TheGumpDesktop().OpenGump(0, 7, nullptr, false);
}

void AskForSkills(CGump*) {
    const CClientPlayer* player = ThePlayer();
    if (player == nullptr) return;
    SendStatusRequest(5, player->serial);
    GetGumpHostServices().SetOpenSkillsOnList();
}

void OpenChat(CGump*) {
    // The chat window and its opening request belong to the chat.
    SayWindowPartNotBuilt("paperdoll", "chat window");
}

void OpenOptions(CGump*) {
    TheGumpDesktop().OpenGump(0, 5000, nullptr, false);
}

void AskForHelp(CGump*) {
    SendHelpRequest();
}

void AskToQuit(CGump*) {
    TheGumpDesktop().Open<CYesNoGump>(
        "Quit         Varnok Online?", [](CGump*) { GetGumpHostServices().PostQuit(); },
        [](CGump* question) { TheGumpDesktop().Close(question); }, 0);
}

void OpenStatusOfParent(CGump* gump) {
    if (gump != nullptr) OpenStatusWindowOf(gump->object);
}

}  // namespace

const u8 PaperdollLayerOrder[25] = {20, 5,  4,  3,  24, 13, 17, 8, 9, 14, 15, 19, 7,
                                    23, 22, 12, 10, 11, 16, 18, 6, 1, 2, 21, 25};

int PaperdollArtOf(const CClientItem& item, bool female) {
    const int number = AnimationBodyOf(item);
    if (female && GumpArtWidth(CPaperdollGump::kFemaleArtBase + number) != 0)
        return CPaperdollGump::kFemaleArtBase + number;
    return CPaperdollGump::kItemArtBase + number;
}

// --- Construction ------------------------------------------------------------------------------

CPaperdollGump::CPaperdollGump(int px, int py, u32 mobile, const std::string& text, u8 warFlag) {
    kindLabel = "paperdoll gump";
    CGumpDesktop& desktop = TheGumpDesktop();
    PendingPlacement placement;
    // Without a placement of its own left in a restore, the paperdoll takes the place it was
    // given, as it does outside a restore.
    if (desktop.restoring && desktop.TakePendingPlacement(kPaperdollPlacement, placement)) {
        PlaceAt(placement.x, placement.y);
        normalX = px;
        normalY = py;
        minimised = placement.minimised == 1;
    } else {
        PlaceAt(px, py);
    }
    object = mobile;
    const CClientPlayer* player = ThePlayer();
    own_ = player != nullptr && player->serial == mobile;
    artId = kArt;
    GetGumpArtSize(kArt, width, height);
    pitch = width;
    MakeFrame(0);
    MakeMinimisedFrame(*this, kMinimisedArt);
    text_ = text.substr(0, kTextLimit);
    Redraw();
    AddButtons(warFlag);
}

CPaperdollGump::~CPaperdollGump() {
    // The labels this paperdoll showed go with it.
    CGumpDesktop& desktop = TheGumpDesktop();
    for (bool closed = true; closed;) {
        closed = false;
        for (CGump* g = desktop.head; g != nullptr; g = g->nextSibling)
            if (g != this && g->IsKind(GumpKind::kBark) && g->OwnerGump() == this) {
                desktop.Close(g);
                closed = true;
                break;
            }
    }
}

void CPaperdollGump::AddButtons(u8 warFlag) {
    auto button = [this](int bx, int by, int art, void (*action)(CGump*)) {
        auto* b = Add<CButtonGump>(bx, by, this, CButtonGump::kPush, 0, action, art, art + 1, 0);
        b->hoverArt = art + 2;
        return b;
    };
    button(185, 233, kStatusArt, &OpenStatusOfParent);
    if (!own_) return;
    warButton_ = button(185, 205, kPeaceArt, &ToggleWar);
    SetWarArts(warFlag != 0);
    button(185, 124, 2012, &OpenJournal);
    button(185, 151, 2015, &AskForSkills);
    chatButton_ = button(185, 179, 2018, &OpenChat);
    chatButton_->disabled = (GetServerFeatureFlag() & kChatFeatureBit) == 0;
    button(185, 71, 2006, &OpenOptions);
    button(185, 44, 2031, &AskForHelp);
    button(185, 98, 2009, &AskToQuit);
    Add<CButtonGump>(223, 258, 245, 280, this, CButtonGump::kPush, 0,
                     [](CGump* g) { g->Minimize(); }, 0);
}

void CPaperdollGump::SetWarArts(bool war) {
    if (warButton_ == nullptr) return;
    const int art = war ? kWarArt : kPeaceArt;
    warButton_->artId = art;
    warButton_->pressedArt = art + 1;
    warButton_->hoverArt = art + 2;
}

CClientMobile* CPaperdollGump::Mobile() const {
    CClientObject* o = TheClientWorld().FindBySerial(object);
    return o != nullptr && o->IsMobile() ? static_cast<CClientMobile*>(o) : nullptr;
}

// --- Composing ---------------------------------------------------------------------------------

void CPaperdollGump::Redraw() {
    Bitmap16& frame = MakeFrame(0);
    CopyArt(frame, SpanCopyKeyed, own_ ? kArt : kOtherArt, 0, 0);
    GetFontTable().DrawWrappedText(kNameX, own_ ? 264 : 263, kNameFont, kNameHue, text_.c_str(),
                                   kNameWidth, {frame.Pixels(), width, height},
                                   ClipRect{0, 0, width, height - 22}, 0, kNameLineStep);
    CClientMobile* mobile = Mobile();
    if (mobile == nullptr) return;
    CopyArt(frame, SpanCopyKeyed, kProfileArt, kProfileX, kProfileY);
    int bodyArt = -1;
    u16 bodyHue = mobile->hue;
    switch (mobile->graphic) {
        case 400:
        case 402:
            bodyArt = kMaleBodyArt;
            break;
        case 401:
        case 403:
            bodyArt = kFemaleBodyArt;
            break;
        case kGhostView:
            bodyArt = kMaleBodyArt;
            bodyHue = kGhostViewHue;
            break;
        default:
            break;
    }
    if (bodyArt >= 0) {
        // Only the grey pixels of the body take its hue.
        const BlitSpan span = mobile->hue != 0 ? BlitSpan(SpanHueGreyKeyed, HueIndex(bodyHue))
                                               : BlitSpan(SpanCopyKeyed);
        CopyArt(frame, span, bodyArt, kPictureX, kPictureY);
        if (mobile->graphic == kGhostView)
            CopyArt(frame,
                    mobile->hue != 0 ? BlitSpan(SpanHueGreyKeyed, HueIndex(mobile->hue))
                                     : BlitSpan(SpanCopyKeyed),
                    kGhostOverlayArt, kPictureX, kPictureY);
    }
    DrawLayers(*mobile, bodyArt >= 0);
    mobile->Invalidate();
}

void CPaperdollGump::DrawLayers(CClientMobile& mobile, bool bodyDrawn) {
    Bitmap16& frame = *Frame(0);
    const bool female = mobile.graphic == 401;
    const CClientWorld& world = TheClientWorld();
    for (const u8 layer : PaperdollLayerOrder) {
        if (!bodyDrawn && layer != kBackpackLayer) continue;
        const CClientItem* item = mobile.layers[layer];
        if (item != nullptr && !IsEquipmentLayerHidden(layer, mobile.layers)) {
            BlitSpan span(SpanCopyKeyed);
            if (item->hue != 0)
                span = BlitSpan((item->Tile().flags & kClientTilePartialHue) != 0 ? SpanHueGreyKeyed
                                                                                 : SpanHueKeyed,
                                HueIndex(item->hue));
            CopyArt(frame, span, PaperdollArtOf(*item, female), kPictureX, kPictureY);
        } else if (layer == wearPreviewLayer && world.dragging) {
            // What the dragged object would look like worn here, three-quarters opaque.
            const DragRecord& drag = world.drag;
            const int graphic = drag.graphic + drag.increment;
            BlitSpan span(SpanBlendOverKeyed);
            if (drag.hue != 0)
                span = BlitSpan((StaticTileOf(graphic).flags & kClientTilePartialHue) != 0
                                    ? SpanHueGreyBlendOverKeyed
                                    : SpanHueBlendOverKeyed,
                                HueIndex(drag.hue));
            CopyArt(frame, span, kItemArtBase + PaperdollNumber(graphic), kPictureX, kPictureY);
        }
    }
}

// --- Hit testing and drawing -------------------------------------------------------------------

int CPaperdollGump::LayerAt(int px, int py, bool backpackAllowed) {
    if (minimised) return -1;
    CClientMobile* mobile = Mobile();
    if (mobile == nullptr) return -1;
    for (int i = static_cast<int>(sizeof PaperdollLayerOrder) - 1; i >= 0; --i) {
        const int layer = PaperdollLayerOrder[i];
        const CClientItem* item = mobile->layers[layer];
        if (item == nullptr || layer == kHairLayer || layer == kBeardLayer) continue;
        if (layer == kBackpackLayer && !backpackAllowed) continue;
        // Hidden layers still count: what covers them may not cover this point.
        const int number = AnimationBodyOf(*item);
        if (number != 0 && number < 0xFFF6 && px > kPictureX - 1 && py > kPictureY - 1 &&
            GetGumpArtPixel(static_cast<u32>(kItemArtBase + number), px - kPictureX,
                            py - kPictureY) != 0)
            return layer;
    }
    return -1;
}

void CPaperdollGump::Draw(const ClipRect& clip) {
    if (!visible) return;
    if (ShownFrameMeets(*this, clip)) DrawFrame(clip, SpanCopyKeyed, ShownFrameIndex(*this));
    DrawChildren(clip);
}

bool CPaperdollGump::ContainsPoint(int px, int py) {
    return FramePixelSet(px, py, ShownFrameIndex(*this));
}

// --- Mouse -------------------------------------------------------------------------------------

void CPaperdollGump::OnLeftDown(int px, int py) {
    pressed_ = true;
    grabX = px;
    grabY = py;
    BringToFront(false);
    click_.Press();
    wearPreviewLayer = LayerAt(px, py, false);
}

void CPaperdollGump::OnDrag(int px, int py) {
    if (pressed_ && click_.state != ClickState::kNone &&
        (std::abs(px - grabX) > kDragSlop || std::abs(py - grabY) > kDragSlop)) {
        dragStarted_ = true;
        click_.state = ClickState::kNone;
        TakeOff();
    }
    if (pressed_ && wearPreviewLayer == -1) MoveBy(px - grabX, py - grabY, true);
}

void CPaperdollGump::OnHover() {
    if (!click_.TimedOut()) return;
    if (!pressed_) {
        OnClick(grabX, grabY);
        return;
    }
    dragStarted_ = true;
    TakeOff();
}

void CPaperdollGump::OnLeftUp(int px, int py) {
    pressed_ = false;
    wearPreviewLayer = -1;
    ReleaseCapture();
    if (dragStarted_) {
        dragStarted_ = false;
        click_.state = ClickState::kNone;
    } else if (click_.state == ClickState::kSecondPress) {
        click_.state = ClickState::kNone;
        OnDoubleClick(px, py);
    }
}

void CPaperdollGump::OnRightUp(int, int) {
    ReleaseCapture();
    TheGumpDesktop().Close(this);
}

void CPaperdollGump::OnMouseOver(int, int) {
    if (TheClientWorld().targeting)
        TheCursorManager().SetShape(CursorManager::kShapeTarget);
    else
        GetGumpHostServices().SetCursorMode(0);
}

// --- Actions -----------------------------------------------------------------------------------

void CPaperdollGump::TakeOff() {
    const int layer = wearPreviewLayer;
    CClientMobile* mobile = Mobile();
    if (layer < 0 || mobile == nullptr || mobile->layers[layer] == nullptr) return;
    // Only the living player undresses, and only themself.
    if (!own_ || PlayerIsDead()) return;
    CClientWorld& world = TheClientWorld();
    if (world.PickUpObject(mobile->layers[layer], 0)) {
        SendPickUpRequest(world.pickedSerial, world.pickedAmount);
        SayWindowPartNotBuilt("paperdoll", "drag picture of a taken-off item");
    }
    Redraw();
    pressed_ = false;
    dragStarted_ = false;
    click_.state = ClickState::kNone;
}

// The "Character Profile" label floats over the player's own backpack (layer 21), whose
// bubbles are placed on the player's paperdoll and close with it; without a backpack it is a
// line of the system corner.
void CPaperdollGump::ShowProfileLabel() {
    static const char kText[] = "Character Profile";
    CClientPlayer* player = ThePlayer();
    CClientItem* pack = player != nullptr ? player->layers[kBackpackLayer] : nullptr;
    if (pack != nullptr)
        pack->AddBark(kText, kBarkHue, kBarkFont, 0);
    else
        ShowSystemMessage(kBarkHue, kBarkFont, kText);
}

void CPaperdollGump::OnClick(int px, int py) {
    const int layer = LayerAt(px, py, true);
    CClientMobile* mobile = Mobile();
    if (layer < 0 || mobile == nullptr) {
        const int w = GumpArtWidth(kProfileArt), h = GumpArtHeight(kProfileArt);
        if (px >= kProfileX && py >= kProfileY && px <= kProfileX + w && py <= kProfileY + h)
            ShowProfileLabel();
        return;
    }
    CClientItem* item = mobile->layers[layer];
    ClientLink* link = TheClientLink();
    if (TheClientWorld().targeting && link != nullptr) {
        link->Target().TargetPicked(item);
        return;
    }
    SendLookAtRequest(item->serial);
}

void CPaperdollGump::OnDoubleClick(int px, int py) {
    if (TheClientWorld().targeting) return;
    if (minimised) {
        Restore();
        return;
    }
    const int layer = LayerAt(px, py, true);
    CClientMobile* mobile = Mobile();
    if (layer < 0 || mobile == nullptr || mobile->layers[layer] == nullptr) return;
    CClientItem* item = mobile->layers[layer];
    if (PlayerIsDead() && item->graphic != kUsableWhileDead) {
        ThePlayer()->AddBark("I am dead and cannot do that.", kBarkHue, kBarkFont, 0);
        return;
    }
    if (item->IsServerObject()) TheClientWorld().UseObject(item);
}

// --- Opening -----------------------------------------------------------------------------------

CPaperdollGump* FindPaperdoll(u32 mobile) {
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
        if (CPaperdollGump* doll = g->As<CPaperdollGump>(); doll != nullptr && doll->object == mobile)
            return doll;
    return nullptr;
}

CPaperdollGump* RaisePaperdoll(u32 mobile) {
    CPaperdollGump* open = FindPaperdoll(mobile);
    if (open == nullptr) return nullptr;
    if (open->minimised) open->Restore();
    open->BringToFront(false);
    return open;
}

CPaperdollGump* OpenPaperdoll(u32 mobile, const std::string& text, u8 warFlag) {
    CClientObject* o = TheClientWorld().FindBySerial(mobile);
    if (o == nullptr || !o->IsMobile()) return nullptr;
    if (CPaperdollGump* open = RaisePaperdoll(mobile)) return open;
    const int x = kScreenWidth - GumpArtWidth(o->IsPlayer() ? 10 : 11);
    return TheGumpDesktop().Open<CPaperdollGump>(x, 0, mobile, text, warFlag);
}
