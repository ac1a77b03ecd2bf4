#pragma once
// The cursor manager: the pointer's pictures (46 records over the 39 pointer arts), its
// position and shape, the routing of the mouse to gumps (the captured gump takes the matching
// drag, hover and release) and the drawing of the pointer into the back buffer.
//
// Two threads use it: the client thread (events, tick, presentation) and the software
// cursor's 25 ms timer. Only the client thread draws. The timer moves the pointer and picks
// its shape under the locks (outer, then position, shape, size) and asks the client thread to
// show the last frame again with the pointer moved.
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/types.h"

class CGump;

// One shape: a range of arts (only the first is shown; no record is animated), its hot spot
// and the largest size over its arts.
struct CursorRecord {
    int firstArt = -1;
    int lastArt = -1;
    u8 hotX = 0;
    u8 hotY = 0;
    u8 frameDelay = 0;
    int width = 0;
    int height = 0;
    int loaded = 0;
};

// A pointer art decoded once: width (made even) x height pixels, 0 see-through.
struct CursorImage {
    int width = 0;
    int height = 0;
    std::vector<u16> pixels;
};

class CursorManager {
public:
    static constexpr int kRecordCount = 46;
    static constexpr int kImageCount = 39;
    static constexpr int kFirstArt = 0x6053;
    static constexpr u16 kHotSpotMarker = 0x03E0;
    static constexpr int kPeaceOffset = 23;
    static constexpr int kShapeTarget = 19;
    static constexpr int kShapeWait = 20;
    static constexpr int kShapePointer = 17;

    CursorManager();
    CursorManager(const CursorManager&) = delete;
    CursorManager& operator=(const CursorManager&) = delete;

    // --- Pictures --------------------------------------------------------------------------------
    // Finds hot spots and sizes, decodes the 39 arts through the data cache (war-mode arts
    // tinted by a non-zero `combatHue`, 5-5-5 bit fields; converted to 565 with `use565`) and
    // sizes the save bitmap. Answers how many records were found.
    int LoadCursorArt(u32 combatHue, bool use565);
    const CursorRecord& Record(int index) const { return records_[index]; }
    const CursorImage& Image(int index) const { return images_[index]; }

    // --- Position and shape ----------------------------------------------------------------------
    // Draw position = mouse minus the current record's hot spot.
    void SetPosition(int x, int y);
    void GetHotSpotPos(int& x, int& y);
    // 0-7 from the screen centre (320, 240), 0 up, clockwise.
    int GetMouseDirection();
    static int DirectionFromCentre(int x, int y);
    // Inside the ellipse 9 dx^2 + 16 dy^2 < 409601 about the centre.
    bool IsNearCentre();
    static bool IsNearCentre(int x, int y);
    // Picks the record for the requested shape, direction and mode (war or peace).
    void UpdateShape();
    // SetPosition, then UpdateShape.
    void MoveTo(int x, int y);
    int CurrentRecord();
    int DrawX();
    int DrawY();
    // The mode of the player the shapes follow; set by the client thread, read by the timer.
    void SetPeace(bool peace) {
        if (peace_.exchange(peace) != peace) NoteChange();
    }

    // Outside the world always 17; 20 (wait) with a wait count of 0 raises it to 1; while the
    // wait count is positive the requested shape is 20. `forceInWorld` skips the in-world
    // test (the waiting gump's wait shape).
    void SetShape(int shape, bool forceInWorld = false);
    void BeginWait() { ++waitCount_; }
    void EndWait() {
        if (waitCount_ > 0) --waitCount_;
    }
    int WaitCount() const { return waitCount_; }
    int RequestedShape() const { return requestedShape_.load(); }
    // Every shape asked for, in order (most recent 2048 at least).
    const std::vector<int>& ShapeRequests() const { return shapeRequests_; }
    int HotSpotX();
    int HotSpotY();

    // --- Routing (client thread) -----------------------------------------------------------------
    void OnLeftDown(int x, int y);
    void OnLeftUp(int x, int y);
    void OnRightDown(int x, int y);
    void OnRightUp(int x, int y);
    void TickHover();
    // Clears the capture when it is this gump.
    void ReleaseGump(CGump* gump);
    CGump* Captured() const { return captured_; }
    void Capture(CGump* gump) { captured_ = gump; }

    // --- Drawing (client thread) -----------------------------------------------------------------
    void SetDrawEnabled(bool on) {
        if (drawEnabled_.exchange(on) != on) NoteChange();
    }
    bool DrawEnabled() const { return drawEnabled_.load(); }
    // Saves the ring-addressed 640 x 480 buffer's pixels under the pointer and draws it there
    // (skipping see-through pixels), clipped to the screen.
    void DrawIntoBackBuffer(u16* buffer, u32 ringOffset);
    // Puts the saved pixels back.
    void RestoreBackBuffer(u16* buffer, u32 ringOffset);
    bool Changed() const { return changed_.load() != 0; }

    // --- The timer -------------------------------------------------------------------------------
    // One 25 ms step at the pointer position: true when the pointer moved or changed shape,
    // and the frame should be shown again with it.
    bool TimerStep(int x, int y);
    // Takes the request to show the frame again.
    bool TakeRepresentRequest() { return represent_.exchange(false); }
    // Called, from either thread and possibly under the manager's locks, whenever something a
    // timer step reads changes (position, shape, mode, drawing): a timer that sleeps while its
    // steps find nothing to do wakes. It must not block.
    void SetChangeListener(void (*listener)()) { changeListener_.store(listener); }

    // Back to the start state, pictures kept (tests).
    void Reset();

private:
    struct Snapshot {
        int x = 0, y = 0, width = 0, height = 0, record = -1, art = -1;
    };
    // The captured gump, if any, gets the event at the hot spot in its local coordinates.
    void ToCaptured(void (CGump::*handler)(int, int));
    Snapshot TakeSnapshot();
    // The current record's hot spot (under the shape lock; 0, 0 when none is loaded).
    void CurrentHotSpot(int& hx, int& hy);
    const CursorImage* ImageOfArt(int art) const;
    void FillRecordRanges();
    void NoteChange() {
        if (auto* listener = changeListener_.load()) listener();
    }

    CursorRecord records_[kRecordCount];
    CursorImage images_[kImageCount];
    int saveWidth_ = 4;
    int saveHeight_ = 4;
    std::vector<u16> save_;
    bool saved_ = false;
    Snapshot savedRect_;

    // Guarded by the locks (see the order above).
    std::mutex positionLock_;
    std::mutex shapeLock_;
    std::mutex sizeLock_;
    int drawX_ = 0;        // position lock
    int drawY_ = 0;        // position lock
    int record_ = -1;      // shape lock
    int art_ = -1;         // shape lock
    int animCounter_ = 0;  // shape lock
    int width_ = 0;        // size lock
    int height_ = 0;       // size lock

    std::atomic<int> changed_{1};
    std::atomic<int> requestedShape_{0};
    std::atomic<bool> drawEnabled_{false};
    std::atomic<bool> peace_{true};
    std::atomic<bool> represent_{false};
    std::atomic<void (*)()> changeListener_{nullptr};

    CGump* captured_ = nullptr;
    int waitCount_ = 0;
    std::vector<int> shapeRequests_;
};

CursorManager& TheCursorManager();
// The cursor manager's outer lock: held by the presentation of a frame, around full-screen
// switches and around the killing of the software-cursor timer.
std::recursive_mutex& CursorOuterLock();

// The shell's cursor entry points over the one cursor manager and the desktop's screen (the
// back buffer and its ring offset are read through CursorScreen and CursorRingOffset only).
u16* CursorScreen();
u32 CursorRingOffset();
void CursorShellLoadArt();
void CursorShellDrawIntoBackBuffer();
void CursorShellRemoveFromBackBuffer();
// The timer's step; wakes the client thread when the pointer should be shown moved, and
// answers whether it should.
bool CursorShellTimerStep(int x, int y);
// On the client thread: shows the last presented frame again with the pointer where it is now,
// when the timer asked for it. Answers whether it did.
bool CursorShellRepresent();
