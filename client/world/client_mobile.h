#pragma once
// Mobiles and the player: placement in the cell grid during steps, death and the hand-over to
// the corpse, action animations and their sequencer, step timing, the movement action shown,
// footsteps, notoriety, and the drawn height during a step.
#include <vector>

#include "client/world/action_sequencer.h"
#include "client/world/client_object.h"

class CClientMapCornerSource;

struct QueuedStep {
    ClientLocation loc;
    u16 body = 0;
    u8 direction = 0;  // bit 7: run
    u8 flags = 0;
};

struct ActionRecord {
    int active = 0;
    u16 id = 0, frameCount = 0, frameDelay = 0, delayCounter = 0;
    u16 repeatCount = 0, backward = 0, pingPong = 0, frame = 0, repsDone = 0;
};

constexpr int kLayerSlots = 30;
constexpr int kMountLayer = 25;

class CClientMobile : public CClientContainer {
public:
    CClientMobile();
    CClientMobile(u32 serial, int graphic, int increment);
    ~CClientMobile() override;

    void Destroy() override { delete this; }
    void UpdateScreenBox() override;
    void PlaceInCell() override;
    // Shadow, mount, body and worn items (client/render/mobile_draw.cpp).
    void Draw(const BlitTarget& target, const ScreenRect& clip) override;
    bool IsMobile() const override { return true; }
    bool IsHidden() const override;
    u32 GetTileFlags() const override { return 0; }
    bool IsMovable() const override { return false; }
    int GetHeight() const override { return 15; }
    int GetTileWord() const override { return 1; }
    ArtRecord GetArt() const override;
    int GetArtId() const override;
    void SetStatusFlags(u8 flags) override;
    virtual int GetActionFrame() const { return action.active ? action.frame : -1; }
    virtual void UpdateStep();
    virtual bool IsGhost() const { return graphic == 402 || graphic == 403; }
    virtual void PlayFootstep();
    virtual void SetNotoriety(int value);
    virtual bool AllowsTargetKind1() const { return GetNotorietyLevel() != 1; }
    virtual bool AllowsTargetKind2() const {
        const int l = GetNotorietyLevel();
        return l < 4 || l > 6;
    }
    int GetNotorietyLevel() const { return notoriety % 100; }

    void Die(u32 corpseSerial, int fallMode);
    void StartAction(int id, int frameCount, int frameDelay, int repeatCount, bool backward,
                     bool pingPong);
    void StopAction();
    void RegisterAction();
    void AdvanceAction();
    // True when the mobile was handed to the death completion (and may be gone).
    bool EndAction();
    // Frees the sequencer slot without redraw or hand-over (the destructor's end).
    void ReleaseActionSlot();
    int MovesPerTile() const;
    bool IsMounted() const { return graphic >= 400 && layers[kMountLayer] != nullptr; }

    CClientMobile* mobileNext = nullptr;
    CClientMobile* mobilePrev = nullptr;
    CClientItem* layers[kLayerSlots] = {};
    int stepProgress = 0;
    int animCounter = 0;
    int running = 0;
    int idle = 0;
    u32 lastActivity = 0;
    int warMode = 0;
    QueuedStep steps[4];
    ClientLocation stepStart;
    int queuedSteps = 0;
    int stepOffsetX = 0, stepOffsetY = 0, drawnZ = 0;
    int steepStep = 0, stepDrop = 0;
    ActionRecord action;
    int marked = 0;
    int sequencerSlot = -1;
    int notoriety = 0;

protected:
    // The start cell of the figure and whether a step offset applies.
    virtual void StartCell(int& column, int& row) const;
    void ComputeDrawnZ(int probeX, int probeY, int probeZ, int offset, int dir, bool falling,
                       int fallFrom, int fallTo, int frames, int m);
};

class CClientPlayer : public CClientMobile {
public:
    CClientPlayer();
    CClientPlayer(u32 serial, int graphic, int increment);
    ~CClientPlayer() override;

    bool IsPlayer() const override { return true; }
    bool IsHidden() const override { return !inCell; }
    void UpdateStep() override;
    void SetNotoriety(int value) override;
    bool AllowsTargetKind1() const override { return true; }
    bool AllowsTargetKind2() const override { return true; }

    int hits = 0, maxHits = 0, mana = 0, maxMana = 0, stamina = 0, maxStamina = 0;
    CClientObject* targetObject = nullptr;
    int following = 0;
    u32 followedSerial = 0;

protected:
    void StartCell(int& column, int& row) const override;
};

// The player object, or null.
CClientPlayer* ThePlayer();
// Hidden objects (status bit 0x80) show only to a player in body 987, in the ghost view.
bool PlayerSeesHidden();

// Pending corpses of dying mobiles.
struct DyingMobileEntry {
    u32 corpseSerial, markedSerial, direction, fallMode;
};
class DyingMobileTable {
public:
    void Add(u32 corpseSerial, u32 markedSerial, u32 direction, u32 fallMode);
    void Resolve(u32 corpseSerial, u32 markedSerial, bool keepMobile);
    CClientObject* FindCorpseOf(u32 markedSerial) const;
    bool IsPending(u32 corpseSerial, u32 markedSerial) const;
    void Clear() { entries.clear(); }
    std::vector<DyingMobileEntry> entries;
};
DyingMobileTable& TheDyingMobiles();

// The movement action and frame shown when no action runs (actionFrame -1), or the action's.
void ChooseMovementAction(int body, int counter, int actionFrame, int runningActionId, bool running,
                          bool mounted, bool idle, bool torch, int& outAction, int& outFrame);

// Frames per tile by body: {walk, run}; {4, 2} for bodies without an entry.
struct AnimInfoEntry {
    s8 walk = 4, run = 2;
};
AnimInfoEntry AnimInfoFor(int body);
// Reads `animinfo.mul` (1000 two-byte entries); a missing file keeps {4, 2}.
void LoadAnimInfo(const u8* bytes, size_t size);

// Ground height inside a cell: corners c[0..3], the diagonal through 0 and 2 when `main`.
int GetZVal(const s8 corners[4], bool main, int offset, int direction);
bool PrefersMainDiagonal(const s8 corners[4]);
int StairZ(int z, int h, int offset, int direction);
int FallZ(int startZ, int endZ, int frames, int m);
