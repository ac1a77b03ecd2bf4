#pragma once
// The paperdoll: a mobile dressed. Its body in its hue and every worn item over it in a fixed
// layer order, its name and title underneath, composed once into the window's own picture and
// recomposed when the equipment or the wear preview changes. A click on a worn item names it,
// a double click uses it, pressing and pulling (or holding) takes it off the player; the
// player's own paperdoll carries the buttons to the other main windows and the quit question.
//
// The window knows its mobile by serial only: a mobile that left the world leaves a paperdoll
// that shows its background and name and hits nothing.
#include <string>

#include "client/gumps/framework/click_state.h"
#include "client/gumps/framework/gump.h"

class CButtonGump;
class CClientItem;
class CClientMobile;

// The layers a paperdoll draws, back to front; no other layer is ever drawn or hit.
extern const u8 PaperdollLayerOrder[25];

// The gump art of an item's paperdoll picture: 50000 + its tile's paperdoll number; on a
// female body the 60000 variant when that art exists.
int PaperdollArtOf(const CClientItem& item, bool female);

class CPaperdollGump : public CGump {
public:
    static constexpr GumpKind kKind = GumpKind::kPaperdoll;
    GumpKind Kind() const override { return kKind; }

    static constexpr int kArt = 2000;
    static constexpr int kOtherArt = 2001;
    static constexpr int kProfileArt = 2002;
    static constexpr int kMinimisedArt = 2030;
    static constexpr int kStatusArt = 2027;
    static constexpr int kWarArt = 2024;
    static constexpr int kPeaceArt = 2021;
    static constexpr int kItemArtBase = 50000;
    static constexpr int kFemaleArtBase = 60000;

    // At (x, y), or where a desktop restore placed the player's paperdoll last time; the caller
    // links it. `text` is the name and title (at most 60 characters are kept).
    CPaperdollGump(int x, int y, u32 mobile, const std::string& text, u8 warFlag);
    ~CPaperdollGump() override;

    // Recomposes the picture from the mobile's body and equipment and the wear preview.
    void Redraw();
    // The layer under a window point (top-most first), or -1.
    int LayerAt(int x, int y, bool backpackAllowed);
    // The war button shows war (true) or peace.
    void SetWarArts(bool war);

    void Draw(const ClipRect& clip) override;
    bool ContainsPoint(int x, int y) override;
    void OnLeftDown(int x, int y) override;
    void OnLeftUp(int x, int y) override;
    void OnRightUp(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnDrag(int x, int y) override;
    void OnHover() override;
    bool AcceptsDrop() override { return true; }

    bool Own() const { return own_; }
    const std::string& Text() const { return text_; }
    CButtonGump* WarButton() const { return warButton_; }
    CButtonGump* ChatButton() const { return chatButton_; }

    // The layer shown as a translucent preview of the dragged object, or the layer pressed
    // on; -1 for none. The drag picture sets it while it hovers over the paperdoll.
    int wearPreviewLayer = -1;

private:
    CClientMobile* Mobile() const;
    void DrawLayers(CClientMobile& mobile, bool bodyDrawn);
    void TakeOff();
    void OnClick(int x, int y);
    void ShowProfileLabel();
    void OnDoubleClick(int x, int y);
    void AddButtons(u8 warFlag);

    bool own_ = false;
    std::string text_;
    bool dragStarted_ = false;
    bool pressed_ = false;
    ClickState click_;
    CButtonGump* warButton_ = nullptr;
    CButtonGump* chatButton_ = nullptr;
};

// The paperdoll packet's window: an open paperdoll of the mobile is restored and raised;
// otherwise a new one at the right edge of the screen. Nothing unless the serial names a
// mobile of the client world.
CPaperdollGump* OpenPaperdoll(u32 mobile, const std::string& text, u8 warFlag);
// The open paperdoll of a mobile restored and raised; null when none is open.
CPaperdollGump* RaisePaperdoll(u32 mobile);
// The open paperdoll of a mobile, or null.
CPaperdollGump* FindPaperdoll(u32 mobile);
