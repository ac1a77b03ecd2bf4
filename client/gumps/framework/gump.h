#pragma once
// The gump: every window of the client, from the login screen to a container, a button or a
// text field. A gump is a rectangle with frame bitmaps, a position relative to its parent and a
// place in the gump tree (parent, children, siblings; the first child is the front-most). The
// top-level gumps hang in the desktop's list (gump_desktop.h), which routes events to them,
// draws them and deletes them.
//
// Windows find one another only through their kinds (gump_kind.h); a gump never tests its class
// by any other means.
#include <memory>
#include <utility>
#include <vector>

#include "client/gumps/framework/gump_kind.h"
#include "client/render/bitmap16.h"
#include "client/render/span_blit.h"
#include "platform/types.h"

class CGump {
public:
    // Every field 0 but the art id (-1), the visible flag and the kind label; the subclass
    // fills position, size and frames.
    CGump();
    // A gump at (x, y) showing `object` (serial, 0 = none) with `frameCount` empty frames. The
    // parent is not stored: the desktop (Open) or the parent (Add) links the gump.
    CGump(int x, int y, CGump* parent, u32 object, int frameCount, int width, int height);
    CGump(const CGump&) = delete;
    CGump& operator=(const CGump&) = delete;
    virtual ~CGump();

    // --- Drawing and hit testing (clip in screen coordinates) ---------------------------------
    virtual void SaveUnder(const ClipRect& clip);
    virtual void Draw(const ClipRect& clip);
    virtual bool ContainsPoint(int x, int y);

    // --- Events (local coordinates) -------------------------------------------------------------
    virtual void OnLeftDown(int, int) {}
    virtual void OnLeftUp(int x, int y);
    virtual void OnRightDown(int, int) {}
    virtual void OnRightUp(int, int) {}
    virtual void OnMouseOver(int x, int y);
    virtual void OnMouseLeave();
    virtual void OnDrag(int, int) {}
    virtual void OnHover() {}
    virtual void OnSliderMoved(int, int, CGump*) {}
    virtual void OnSliderReleased(int, int, CGump*) {}
    virtual void OnResized(int, int, int) {}
    virtual void OnKey(u32) {}
    virtual void OnAnswers(const std::vector<int>&) {}
    virtual void OnControlChanged(CGump*) {}
    virtual void OnFieldTab() {}
    virtual void OnFieldEnter() {}
    virtual void OnFieldEscape() {}
    virtual void OnFieldClicked(CGump*) {}
    virtual void OnFieldReleased(CGump*) {}
    virtual void Tick() {}
    virtual void OnChooserClosed() {}
    virtual void OnChoiceFieldClicked(CGump*) {}
    virtual void OnIndexedButton(int) {}
    virtual bool AcceptsDrop() { return false; }

    // --- Kind ------------------------------------------------------------------------------------
    // The gump's kind (gump_kind.h); every window class answers its own.
    virtual GumpKind Kind() const { return GumpKind::kPlain; }
    // The gump counts as a gump of `wanted` kind (its own kind or a broader one).
    bool IsKind(GumpKind wanted) const { return IsKindOf(Kind(), wanted); }
    // The gump as its class T when it is of T's kind (T::kKind), else null.
    template <class T>
    T* As() {
        return IsKind(T::kKind) ? static_cast<T*>(this) : nullptr;
    }

    // Colour 0 of the frame is see-through for Draw and the hit test.
    virtual bool IsTransparent() { return true; }
    virtual bool ClosesOnEscape() { return true; }
    virtual bool ShowsObjectArt() { return false; }

    // A speech bubble answers the window it belongs to; every other gump none.
    virtual CGump* OwnerGump() { return nullptr; }
    // A speech bubble whose object is a mobile or a corpse can be clicked.
    virtual bool OwnerObjectClickable() { return false; }
    // A speech bubble past its lifetime at `now` (milliseconds).
    virtual bool Expired(u32) { return false; }
    // The focus left this gump: it ends its editing (text entry, renaming, a focused field).
    virtual void EndEditing() {}
    // A spell icon answers its spell index (0..63).
    virtual int SpellIndex() { return 0; }
    // A button answers its minimised-state tag (0 normal state, 1 minimised state).
    virtual int MinimisedStateTag() { return 0; }
    // The waiting gump drops its target when that gump goes.
    virtual void ForgetGump(CGump*) {}

    // --- Tree ------------------------------------------------------------------------------------
    // Makes a control or part of class T and links it in front of this gump's children; it goes
    // when this gump goes.
    template <class T, class... Args>
    T* Add(Args&&... args) {
        T* child = new T(std::forward<Args>(args)...);
        child->AttachTo(this);
        return child;
    }
    // Links the gump in front of the parent's children, or at the front of the desktop's list.
    void AttachTo(CGump* parent, int flag = 0);
    void BringToFront(bool keepFocus);
    void LocalToScreen(int& px, int& py) const;
    void ScreenToLocal(int& px, int& py) const;
    // The deepest gump under a local point, or null when the gump itself does not contain it.
    CGump* ChildAt(int px, int py, CGump* skip);
    void MoveBy(int dx, int dy, bool keepOnScreen);
    void Minimize();
    void Restore();
    // Frame `index` becomes a copy of `height` rows of `width` pixels, rows `srcPitch` apart.
    void SetFrame(int index, const u16* pixels, int srcPitch);
    // The frame bitmap of an index, or null.
    Bitmap16* Frame(int index);
    // A frame of the gump's size, cleared (made when missing).
    Bitmap16& MakeFrame(int index);
    // Releases the mouse capture when this gump holds it.
    void ReleaseCapture();
    // Puts the gump at (x, y), which also becomes its normal and minimised position.
    void PlaceAt(int px, int py);

    const char* kindLabel = "normal gump";
    int resultValue = 0;
    int frameIndex = 0;
    int pitch = 0;
    int width = 0;
    int height = 0;
    int minimisedWidth = 0;
    int minimisedHeight = 0;
    int x = 0;
    int y = 0;
    u32 object = 0;
    std::vector<std::unique_ptr<Bitmap16>> frames;
    CGump* nextSibling = nullptr;
    CGump* prevSibling = nullptr;
    CGump* firstChild = nullptr;
    CGump* parent = nullptr;
    CGump* lastChild = nullptr;
    int artId = -1;
    u8 page = 0;
    bool minimised = false;
    bool visible = true;
    int grabX = 0;
    int grabY = 0;
    int normalX = 0;
    int normalY = 0;
    int minimisedX = 0;
    int minimisedY = 0;
    int slotX = 0;
    int slotY = 0;

protected:
    // Gumps are made by the desktop (CGumpDesktop::Open, Make) or by their parent (Add), and
    // only the desktop deletes them (CGumpDesktop::Close; a gump's children go with it): a
    // `new` or `delete` of a gump anywhere else does not compile.
    static void operator delete(void* memory) { ::operator delete(memory); }
    friend class CGumpDesktop;

    // Copies the current frame (keyed when transparent) to the screen, clipped.
    void DrawFrame(const ClipRect& clip, BlitSpan span, int index);
    void DrawChildren(const ClipRect& clip);
    // The current frame's pixel at (px, py) is non-zero (false without a frame).
    bool FramePixelSet(int px, int py, int index);
};

// The registry of auto-arranged minimised positions: 36 slots, columns x = 16 .. 496 (step 96),
// rows y = 16 .. 336 (step 64).
// Takes the first free slot, column by column; false and (0, 0) when all are taken.
bool AllocateMinimizedSlot(int& slotX, int& slotY);
// Removes the first entry equal to (x, y); nothing when there is none.
void ReleaseMinimizedSlot(int slotX, int slotY);
// Empties the registry (tests and shutdown).
void ResetMinimizedSlots();

// True while the gump has not been deleted: a handler that ran a callback which may close
// windows asks before it touches its own gump again.
bool IsGumpAlive(const CGump* gump);

// The screen size every gump clamps to.
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
