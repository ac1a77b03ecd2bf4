#pragma once
// The one screen-wide manager of gumps: the top-level list (head = front-most), keyboard focus,
// the modal gump, the hover gump, the windows that exist at most once, Escape, the per-tick
// Tick walk, and the per-frame drawing of the gump tree over the world view.
//
// The screen buffer is the world view's 640 x 480 picture used as a ring: screen pixel (x, y)
// lives at index (y * 640 + x + ring offset) mod 307,200. The world view keeps its picture in it
// between frames, so the gumps leave nothing behind: before any gump draws, every gump saves
// the pixels under it into a second buffer, and after the frame is shown those rectangles are
// copied back.
#include <utility>
#include <vector>

#include "client/gumps/framework/gump.h"
#include "platform/types.h"

// A placement read from the desktop file that waits for its window (paperdoll, skill window).
struct PendingPlacement {
    u8 kind = 0;
    int minimised = 0;
    u16 width = 0;
    u16 height = 0;
    int x = 0;
    int y = 0;
};

class CGumpDesktop {
public:
    static constexpr int kScreenPixels = kScreenWidth * kScreenHeight;
    static constexpr int kMaxPendingPlacements = 50;

    CGumpDesktop();
    ~CGumpDesktop();
    CGumpDesktop(const CGumpDesktop&) = delete;
    CGumpDesktop& operator=(const CGumpDesktop&) = delete;

    // Deletes every top-level gump and forgets every slot (shutdown and tests).
    void DeleteAllGumps();

    // --- Owning gumps ------------------------------------------------------------------------
    // The desktop owns the top-level gumps and each gump its children: gumps are made here (or
    // by their parent, CGump::Add) and deleted only by Close.
    // A window of class T at the front of the top-level list.
    template <class T, class... Args>
    T* Open(Args&&... args) {
        T* gump = Make<T>(std::forward<Args>(args)...);
        gump->AttachTo(nullptr);
        return gump;
    }
    // A gump of class T linked nowhere yet (the window factory's answer, a list being filled,
    // a field a window keeps to itself): the caller links it (AttachTo) or closes it.
    template <class T, class... Args>
    T* Make(Args&&... args) {
        return new T(std::forward<Args>(args)...);
    }
    // Deletes the gump (nothing for null) and its children at once. Everything that points at
    // it lets go first (the tick and deletion walks move past it; capture, hover, focus, the
    // slots below and the waiting gumps' targets clear), so a handler may close any window,
    // its own included, while the desktop walks its list; a handler that ran a callback which
    // may have closed its own gump asks IsGumpAlive before it touches that gump again.
    void Close(CGump* gump);

    // --- Screen ----------------------------------------------------------------------------------
    // The buffer the gumps draw over (640 x 480, ring-addressed). Its ring offset is the world
    // view's (dirty_rects.h); the second form also places that ring (tests, benchmarks).
    void SetScreen(u16* pixels);
    void SetScreen(u16* pixels, u32 ringOffset);
    u16* Screen() const { return screen_; }
    u32 RingOffset() const;
    // While a piece of a frame is drawn: pixel (x, y) of that piece lives at base + y * 640 + x.
    u16* DrawBase() const { return drawBase_; }
    u16* SaveBase() const { return saveBase_; }

    // --- Per tick and per frame ------------------------------------------------------------------
    void Update();
    // Saves under and draws every gump inside the clip; with `present` the frame is shown and
    // the world pixels put back.
    void DrawGumps(const ClipRect& clip, bool present);
    // Appends a save-under entry and copies the rectangle (screen coordinates, already inside
    // the clip) into the save buffer.
    void SaveRect(const ClipRect& rect);
    // Puts the saved world pixels back, last entry first, and empties the list.
    void RestoreGumpSaveUnders();
    // Records the rectangle (clamped to the screen) as the present rectangle, steps the screen
    // effects and shows the screen buffer.
    void PresentScreenRect(const ClipRect& rect);
    const ClipRect& PresentRect() const { return presentRect_; }
    size_t SaveUnderCount() const { return saveUnders_.size(); }

    // --- Finding gumps ---------------------------------------------------------------------------
    // The gump under a screen point for the left button and the hover.
    CGump* GumpAt(int sx, int sy, CGump* skip, bool barkFilter);
    // The gump a right press goes to.
    CGump* RightClickGumpAt(int sx, int sy);
    CGump* FindGumpForObject(u32 object, bool paperdoll, bool shop, CGump* first);
    // Opens or raises the window of an object or an art id.
    CGump* OpenGump(u32 object, int artId, CGump* parentGump, bool container);

    // --- Focus, Escape, deletion walks -----------------------------------------------------------
    void SetKeyboardFocus(CGump* gump);
    void ClearKeyboardFocus();
    void CloseOnEscape();
    void DeleteNonWorldGumps();
    void DeleteMissileGumps();
    void ShiftMissileGumps(int dx, int dy);
    void ExpireBarks();
    // A typed character: Tab, Escape and the others go to the focus gump; without one Escape
    // closes what closes on Escape and the others go to the speech line.
    void TypedCharacter(u32 character);

    // A gump is going: cursors and slots that point at it move on or clear.
    void ForgetGump(CGump* gump);
    // Counts the top-level gumps.
    int TopLevelCount() const;

    // --- Desktop layout file (desktop_file.h) ----------------------------------------------------
    void SaveDesktop();
    void RestoreDesktop();
    // Takes the first pending placement of a kind while a restore is in progress.
    bool TakePendingPlacement(u8 kind, PendingPlacement& out);

    // --- Moved bubbles
    // A rectangle a speech bubble moved over; the list empties after every presented frame.
    // More than kMaxGumpDirtyRects between two frames: one log line and the list restarts.
    static constexpr size_t kMaxGumpDirtyRects = 1000;
    void AddGumpDirtyRect(const ClipRect& rect);
    size_t GumpDirtyRectCount() const { return gumpDirtyRects_.size(); }

    // --- Rectangles
    // --------------------------------------------------------------------------------
    static void UniteRects(ClipRect& a, const ClipRect& b);
    static bool RectsOverlap(const ClipRect& a, const ClipRect& b);

    CGump* head = nullptr;
    CGump* tail = nullptr;
    CGump* keyboardFocus = nullptr;
    CGump* modalGump = nullptr;
    CGump* hoverGump = nullptr;
    CGump* optionsGump = nullptr;
    CGump* radarGump = nullptr;
    CGump* loginGump = nullptr;
    CGump* accountLoginGump = nullptr;
    CGump* mainMenuGump = nullptr;
    CGump* charCreationGump = nullptr;
    CGump* charStatGump = nullptr;
    CGump* initialSkillGump = nullptr;
    CGump* cityChoiceGump = nullptr;
    CGump* skillGump = nullptr;
    CGump* fightingGump = nullptr;
    CGump* chatGump = nullptr;
    CGump* progressGump = nullptr;
    CGump* connectionGump = nullptr;
    CGump* noticeGump = nullptr;
    CGump* bankContainerGump = nullptr;
    bool restoring = false;
    std::vector<PendingPlacement> pending;
    CGump* deletionCursor = nullptr;
    CGump* tickCursor = nullptr;
    bool deletingGumps = false;
    int cascadeX = 16;
    int cascadeY = 16;

private:
    struct SaveUnderEntry {
        ptrdiff_t screenIndex;  // of the rectangle's top-left pixel, in both buffers
        ClipRect rect;
    };
    // Deletes every top-level gump the test selects, walking with the deletion cursor.
    template <typename Test>
    void DeleteTopLevelWhere(Test test);
    void DrawPiece(const ClipRect& clip, bool present);

    u16* screen_ = nullptr;
    std::vector<u16> save_;
    u16* drawBase_ = nullptr;
    u16* saveBase_ = nullptr;
    std::vector<SaveUnderEntry> saveUnders_;
    ClipRect presentRect_{};
    std::vector<ClipRect> gumpDirtyRects_;
};

// The client's one desktop.
CGumpDesktop& TheGumpDesktop();
