#pragma once
// The player's walk by prediction: a step is tested on the client's own copy of the terrain
// (`CanStandAt`), queued with a sequence number, handed to the link to send as 0x02 and shown
// at once; the server's
// acknowledgement (0x22) moves the map centre, its refusal (0x21) throws the queue away and
// puts the player back. Also the per-tick step animation of the player (`StepTick`) and of
// the other mobiles (`MobilesTick`), idle animations and the turn toward a fought mobile.
//
// Directions: 0 north (y - 1) clockwise to 7 north-west; bit 0x80 of a sent direction runs.
#include <functional>
#include <vector>

#include "platform/types.h"

class CDisplayObject;
class CClientMobile;

// Step tables, with directions 0 and 1 repeated so that index 8 means direction 0.
extern const int kWalkDx[10];
extern const int kWalkDy[10];
// The direction (0 to 7) of a one-cell step (dx, dy); -1 when it is not one.
int WalkDirectionOf(int dx, int dy);

// One thing in a cell that matters for standing.
struct WalkSurface {
    enum Kind : s16 { kBlocks = 1, kStandOn = 2, kClimb = 4 };
    s16 kind = 0, z = 0, top = 0, height = 0;
    const CDisplayObject* object = nullptr;
    void Set(int k, int nz, int ntop, int nheight, const CDisplayObject* o) {
        kind = s16(k);
        z = s16(nz);
        top = s16(ntop);
        height = s16(nheight);
        object = o;
    }
};

// Surface collection modes: the living player, a dead one, and one that ignores blocking.
enum class WalkMode { kLiving = 0, kDead = 1, kIgnoreBlocking = 2 };
constexpr size_t kMaxWalkSurfaces = 256;

// The surfaces of cell (x, y): land and world objects of its grid cell (newest first), then
// the mobiles standing there. At most 255, leaving room for the sentinel.
void CollectSurfaces(int x, int y, WalkMode mode, std::vector<WalkSurface>& out);
// The height range a mobile at `z` can reach leaving the cell it comes from when it steps in
// `direction` into (x, y).
void GetStartZ(int x, int y, int z, int direction, WalkMode mode, int& low, int& high);
// Whether a mobile at height z can step in `direction` into cell (x, y); `out` the height it
// would stand at.
bool CanStandAt(int x, int y, int z, int direction, int& out);

struct WalkEntry {
    u8 direction = 0;
    u8 facing = 0;  // the direction before this entry
    u8 sequence = 0;
    int acknowledged = 0;
    u8 run = 0;
    u8 fall = 0;
    u32 sendTime = 0;
    s8 expectedZ = 0;
    bool IsMove() const { return direction == facing; }
};

// What the queue asks the server for: a step (0x02: direction, 0x80 added for running, and
// its sequence number) or a resync of the walk (0x22 with sequence 0).
struct WalkRequest {
    enum class Kind { kStep, kResync };
    Kind kind = Kind::kStep;
    u8 direction = 0;
    u8 sequence = 0;
};

// The link the queue's requests go through: the queue decides what to ask, the link (in
// client/net) builds the packet and sends it.
class WalkRequestLink {
public:
    virtual ~WalkRequestLink() = default;
    // Whether requests can go out now (a connection is open).
    virtual bool WalkRequestsOpen() = 0;
    virtual void SendWalkRequest(const WalkRequest& request) = 0;
};
// The running client's link for the queue (the client link names itself), or null.
WalkRequestLink* RunningWalkRequestLink();
void SetRunningWalkRequestLink(WalkRequestLink* link);

// What the walk state keeps beside the queue.
struct WalkState {
    int pendingRequests = 0;
    u32 lastRequestSeconds = 0;
    bool everRequested = false;
    bool falling = false;
    int fallStartZ = 0, fallEndZ = 0;
    int framesPerTile = 1;
    int offsetX = 0, offsetY = 0;  // the pixel offsets of the player's current step
    u32 averageResponseMs = 0;
};
WalkState& TheWalkState();

class CWalkQueue {
public:
    static constexpr int kCapacity = 4;

    CWalkQueue() { Clear(); }
    virtual ~CWalkQueue() = default;

    void Clear();
    // The keyboard's entry: a direction index counted from north-west (0 NW, 1 N, ... 7 W).
    // `flags` bit 0x40000000 (an auto-repeated key) steps only when nothing is outstanding.
    void Walk(int index, u32 flags, bool ctrlHeld);
    void WalkIfIdle(int index, int run);
    // The player's step request; `run` -1 lets the pointer's distance from the view centre
    // decide.
    void RequestWalk(int index, int run);
    void Acknowledge(int sequence);
    // The server's refusal (sequence, x, y, z) or its player update (-1 for all four).
    void Reset(int sequence, int x, int y, int z);
    // The server moved the player one step (0x97): queued and acknowledged locally.
    void ServerStep(int direction);
    void RequestResync();
    // The player's step animation, once per client tick.
    void StepTick();
    // The test of a new request, with diagonal deflection; `d` may change to a side step.
    bool CheckWalk(int& d, int& z);

    int count = 0;
    int executed = 0;
    int nextSequence = 0;
    int stepFrames = 0;
    int animCounter = 0;
    int resyncPending = 0;
    int following = 0;
    int runFlag = 0;
    WalkEntry entries[kCapacity];

    // The link the requests go through; null uses the running client's.
    WalkRequestLink* link = nullptr;

private:
    WalkRequestLink* Link() const { return link ? link : RunningWalkRequestLink(); }
    bool Connected();
    void Send(const WalkRequest& request);
    void FillEntry(int d, int z, int run);
    void AcknowledgeEntry(int i, bool sample);
    void RemoveEntry(int i);
};

CWalkQueue& TheWalkQueue();

// Whether the pointer is far enough from the view centre to run (the cursor manager decides;
// until it is installed the answer is "walk", said once in the client log).
void SetRunByPointer(std::function<bool()> decide);
bool RunByPointer();

// The other mobiles' step animation, idle animations and the player's idle frames.
void MobilesTick();
bool HasIdleFrames(const CClientMobile& mobile);
void PlayIdleAnimation(CClientMobile& mobile);
void FaceCombatTarget();
// The frames per tile of a body, below 1 counted as 1.
int WalkFramesPerTile(int body, bool run);
