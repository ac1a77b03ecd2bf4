#pragma once
// The cursor manager's routing of the mouse to gumps: the captured gump (the one that took the
// last button press and gets the matching drag, hover and release), the per-tick drag and
// hover, the wait count and the shape requests. The pointer's pictures, drawing and timer are
// not built yet (the system cursor stays visible); the shapes asked for are recorded.
#include <vector>

#include "platform/types.h"

class CGump;

class CursorManager {
public:
    // Button events and the per-tick drag and hover, in client coordinates.
    void OnLeftDown(int x, int y);
    void OnLeftUp(int x, int y);
    void OnRightDown(int x, int y);
    void OnRightUp(int x, int y);
    void MoveTo(int x, int y);
    void TickHover();
    // Clears the capture when it is this gump.
    void ReleaseGump(CGump* gump);
    CGump* Captured() const { return captured_; }
    void Capture(CGump* gump) { captured_ = gump; }

    // Outside the world always 17; 20 (wait) with a wait count of 0 raises it to 1; while the
    // wait count is positive the requested shape is 20. `forceInWorld` skips the in-world
    // test (the waiting gump's wait shape).
    void SetShape(int shape, bool forceInWorld = false);
    void BeginWait() { ++waitCount_; }
    void EndWait() {
        if (waitCount_ > 0) --waitCount_;
    }
    int WaitCount() const { return waitCount_; }
    int RequestedShape() const { return requestedShape_; }
    // Every shape asked for, in order (the drawing is not built yet).
    const std::vector<int>& ShapeRequests() const { return shapeRequests_; }
    int HotSpotX() const { return x_; }
    int HotSpotY() const { return y_; }
    // Back to the start state (tests).
    void Reset();

private:
    // The captured gump, if any, gets the event at the hot spot in its local coordinates.
    void ToCaptured(void (CGump::*handler)(int, int));

    CGump* captured_ = nullptr;
    int x_ = 0;
    int y_ = 0;
    int waitCount_ = 0;
    int requestedShape_ = 0;
    std::vector<int> shapeRequests_;
};

CursorManager& TheCursorManager();
