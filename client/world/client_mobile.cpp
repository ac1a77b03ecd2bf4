#include "client/world/client_mobile.h"

#include <array>
#include <cstdlib>

#include "client/world/cell_grid.h"
#include "client/world/client_map.h"
#include "client/world/client_world.h"
#include "client/world/land_objects.h"
#include "client/world/roof_hiding.h"
#include "client/world/walk_queue.h"
#include "platform/clock.h"

namespace {

CClientPlayer* g_player = nullptr;
DyingMobileTable g_dying;
std::array<AnimInfoEntry, 1000> g_animInfo{};

struct StatuetteArt {
    int body, art;
};
constexpr StatuetteArt kStatuettes[] = {{5, 24861},   {6, 24858},   {200, 24863}, {201, 24859},
                                        {204, 24868}, {205, 24869}, {211, 24856}, {212, 24862},
                                        {214, 24857}, {217, 24860}, {225, 24866}, {226, 24864},
                                        {228, 24865}, {238, 24867}, {291, 24870}, {292, 24871}};

// Start-cell offsets (column, row) by direction while a step is shown.
constexpr int kMobileStepOffset[8][2] = {{0, 1}, {0, 1}, {0, 0}, {0, 0},
                                         {0, 0}, {1, 0}, {1, 0}, {1, 1}};
constexpr int kPlayerStepOffset[8][2] = {{0, 0}, {1, 0}, {1, 0}, {1, 1},
                                         {0, 1}, {0, 1}, {0, 0}, {0, 0}};

}  // namespace

CClientPlayer* ThePlayer() {
    return g_player;
}

bool PlayerSeesHidden() {
    return g_player != nullptr && g_player->graphic == 987;
}

DyingMobileTable& TheDyingMobiles() {
    return g_dying;
}

// --- construction -------------------------------------------------------------------------------

CClientMobile::CClientMobile() {
    direction = 0;
    lastActivity = platform::NowMs();
    CClientWorld& w = TheClientWorld();
    mobileNext = w.mobileHead;
    if (mobileNext) mobileNext->mobilePrev = this;
    w.mobileHead = this;
    ++w.mobileCount;
}

CClientMobile::CClientMobile(u32 s, int g, int inc) : CClientMobile() {
    SetSerial(s);
    graphic = u16(g & 0x3FFF);
    increment = s8(inc);
}

CClientMobile::~CClientMobile() {
    g_dying.Resolve(0, serial, true);
    if (inCell) RemoveFromCell();
    if (!g_clientTearDown) ReleaseActionSlot();
    TheWorldHooks().MobileGone(serial);
    if (g_player && g_player != this && g_player->following && g_player->followedSerial == serial) {
        g_player->following = 0;
    }
    if (!detached) RemoveFromWorld();
    for (CClientItem*& item : layers) {
        if (item) item->Destroy();
        item = nullptr;
    }
    CClientWorld& w = TheClientWorld();
    if (mobilePrev)
        mobilePrev->mobileNext = mobileNext;
    else if (w.mobileHead == this)
        w.mobileHead = mobileNext;
    if (mobileNext) mobileNext->mobilePrev = mobilePrev;
    --w.mobileCount;
}

CClientPlayer::CClientPlayer() {
    g_player = this;
}

CClientPlayer::CClientPlayer(u32 s, int g, int inc) : CClientMobile(s, g, inc) {
    g_player = this;
}

CClientPlayer::~CClientPlayer() {
    if (g_player == this) g_player = nullptr;
}

// --- cells
// ----------------------------------------------------------------------------------------

void CClientMobile::StartCell(int& column, int& row) const {
    column = loc.x;
    row = loc.y;
    if (stepProgress != 0) {
        column += kMobileStepOffset[direction & 7][0];
        row += kMobileStepOffset[direction & 7][1];
    }
}

void CClientPlayer::StartCell(int& column, int& row) const {
    column = loc.x;
    row = loc.y;
    if (TheWorldHooks().PlayerStepFrames() != 0) {
        column += kPlayerStepOffset[direction & 7][0];
        row += kPlayerStepOffset[direction & 7][1];
    }
}

void CClientMobile::UpdateScreenBox() {
    UpdateFigureBox(IsPlayer() ? 0 : -stepOffsetX, drawnZ);
}

void CClientMobile::PlaceInCell() {
    if (inCell) RemoveFromCell();
    SetKeys(loc.z + 1);
    int column, row;
    StartCell(column, row);
    UpdateScreenBox();
    InsertFigure(column, row, graphic < 400);
    PlayFootstep();
}

bool CClientMobile::IsHidden() const {
    if (!inCell) return true;
    const LevelRecord& lv = TheLevels();
    if (loc.z >= lv.roofLevel) return true;
    if (lv.cutOn) {
        for (const CDisplayObject* o = cellPrev; o; o = o->cellPrev) {
            if (o->IsLand() && o->loc.z > lv.cutLevel) return true;
        }
    }
    const int x = loc.x, y = loc.y, h = loc.z + 20;
    return HasCoverAt(x, y, h) && HasCoverAt(x + 1, y + 1, h) && HasCoverAt(x + 1, y, h) &&
           HasCoverAt(x, y + 1, h) && HasCoverAt(x + 2, y + 2, h);
}

int CClientMobile::GetArtId() const {
    for (const StatuetteArt& s : kStatuettes) {
        if (s.body == graphic) return s.art;
    }
    return 0;
}

ArtRecord CClientMobile::GetArt() const {
    return GetArtId() ? CClientObject::GetArt() : ArtRecord{};
}

void CClientMobile::SetStatusFlags(u8 flags) {
    if (!IsPlayer() && (flags & 0x80) && !(statusFlags & 0x80)) {
        TheWorldHooks().DeleteGumpsOf(serial);
    }
    warMode = (flags & 0x40) && !IsGhost() ? 1 : 0;
    statusFlags = flags;
}

void CClientMobile::SetNotoriety(int value) {
    notoriety = value;
    Invalidate();
}

void CClientPlayer::SetNotoriety(int value) {
    notoriety = value;
    for (CClientMobile* m = TheClientWorld().mobileHead; m; m = m->mobileNext)
        m->Invalidate();
}

// --- death
// ----------------------------------------------------------------------------------------

void CClientMobile::Die(u32 corpseSerial, int fallMode) {
    SetSerial(serial | 0x80000000u);
    if (corpseSerial) g_dying.Add(corpseSerial, serial, direction, u32(fallMode));
    int id;
    int frames = 5;
    if (graphic < 150) {
        id = fallMode ? 130 : 131;
    } else if (graphic < 200) {
        id = 136;
        frames = 15;
    } else if (graphic < 400) {
        id = fallMode ? 136 : 140;
    } else {
        id = fallMode ? 149 : 150;
    }
    StartAction(id, frames, 0, 1, false, false);
}

void DyingMobileTable::Add(u32 corpseSerial, u32 markedSerial, u32 dir, u32 fallMode) {
    for (const DyingMobileEntry& e : entries) {
        if (e.corpseSerial == corpseSerial) return;
    }
    entries.push_back({corpseSerial, markedSerial, dir, fallMode});
}

void DyingMobileTable::Resolve(u32 corpseSerial, u32 markedSerial, bool keepMobile) {
    u32 victim = markedSerial;
    for (size_t i = 0; i < entries.size();) {
        const DyingMobileEntry e = entries[i];
        if ((corpseSerial && e.corpseSerial == corpseSerial) || e.markedSerial == markedSerial) {
            victim = e.markedSerial;
            entries.erase(entries.begin() + long(i));
            if (CClientObject* corpse = TheClientWorld().FindBySerial(e.corpseSerial)) {
                corpse->direction = u8((e.direction & 7) | (e.fallMode == 0 ? 0x80 : 0));
                if (corpse->inCell) {
                    corpse->RemoveFromCell();
                    corpse->PlaceInCell();
                }
            }
            continue;
        }
        ++i;
    }
    if (keepMobile) return;
    if (CClientObject* mobile = TheClientWorld().FindBySerial(victim)) mobile->Destroy();
}

CClientObject* DyingMobileTable::FindCorpseOf(u32 markedSerial) const {
    for (const DyingMobileEntry& e : entries) {
        if (e.markedSerial == markedSerial) return TheClientWorld().FindBySerial(e.corpseSerial);
    }
    return nullptr;
}

bool DyingMobileTable::IsPending(u32 corpseSerial, u32 markedSerial) const {
    for (const DyingMobileEntry& e : entries) {
        if (e.corpseSerial == corpseSerial || e.markedSerial == markedSerial) return true;
    }
    return false;
}

// --- actions
// --------------------------------------------------------------------------------------

void CClientMobile::StartAction(int id, int frameCount, int frameDelay, int repeatCount,
                                bool backward, bool pingPong) {
    lastActivity = platform::NowMs();
    const bool wasInCell = inCell != 0;
    if (wasInCell) RemoveFromCell();
    action.active = 1;
    action.id = u16(id);
    action.frameCount = u16(frameCount);
    action.frameDelay = u16(frameDelay);
    action.repeatCount = u16(repeatCount);
    action.backward = backward ? 1 : 0;
    action.pingPong = pingPong ? 1 : 0;
    action.delayCounter = 0;
    if (backward) {
        action.frame = u16(frameCount - 1);
        action.repsDone = u16(repeatCount - 1);
    } else {
        action.frame = 0;
        action.repsDone = 0;
    }
    RegisterAction();
    if (wasInCell) PlaceInCell();
}

void CClientMobile::StopAction() {
    if (!action.active) return;
    action.active = 0;
    EndAction();
}

// --- steps and movement -------------------------------------------------------------------------

void LoadAnimInfo(const u8* bytes, size_t size) {
    for (size_t i = 0; i < g_animInfo.size(); ++i) {
        if (2 * i + 1 < size) {
            g_animInfo[i].walk = s8(bytes[2 * i]);
            g_animInfo[i].run = s8(bytes[2 * i + 1]);
        } else {
            g_animInfo[i] = AnimInfoEntry{};
        }
    }
}

AnimInfoEntry AnimInfoFor(int body) {
    if (body < 0 || body >= int(g_animInfo.size())) return AnimInfoEntry{};
    return g_animInfo[size_t(body)];
}

int CClientMobile::MovesPerTile() const {
    const AnimInfoEntry e = AnimInfoFor(graphic);
    const int m = steepStep ? e.walk + (stepDrop / 11) * 2 : running ? e.run : e.walk;
    if (m >= 1) return m;
    // A bad animinfo entry: said once, and counted as one frame (every step divides by it).
    static bool said = false;
    if (!said) {
        said = true;
        TheWorldHooks().ShowMessage("MovesPerTile()==0", "UpdateMovement:");
    }
    return 1;
}

void ChooseMovementAction(int body, int counter, int actionFrame, int runningActionId, bool running,
                          bool mounted, bool idle, bool torch, int& outAction, int& outFrame) {
    int act = 7, frames = 1;
    if (body < 200) {
        act = 0;
        frames = 10;
        if (running) {
            static constexpr int kRunners[] = {4, 5, 6, 9, 10, 12, 30, 39, 59, 60, 61};
            for (int b : kRunners) {
                if (b == body) act = 19;
            }
        }
    } else if (body < 400) {
        act = running ? 1 : 0;
        frames = 5;
    } else if (!idle || mounted) {
        if (mounted) {
            act = running ? 24 : 23;
            frames = 5;
        } else {
            act = running ? (torch ? 6 : 4) : (torch ? 2 : 0);
            frames = 10;
        }
    }
    if (actionFrame == -1) {
        outAction = act;
        outFrame = frames == 1 ? 0 : counter % (frames - 1);
    } else {
        outAction = runningActionId & 0x7F;
        outFrame = actionFrame;
    }
}

void CClientMobile::PlayFootstep() {
    if (graphic >= 1000 || IsGhost() || idle || (statusFlags & 0x80)) return;
    const bool mounted = IsMounted();
    int act = 0, frame = 0;
    if (IsPlayer()) {
        const CClientItem* lit = layers[1];
        const bool torch = lit && (lit->GetTileFlags() & 0x800000);
        ChooseMovementAction(graphic, 0, GetActionFrame(), action.id, false, mounted, idle != 0,
                             torch, act, frame);
    } else {
        ChooseMovementAction(graphic, animCounter, GetActionFrame(), action.id + action.repsDone,
                             running != 0, mounted, false, false, act, frame);
    }
    if (graphic < 400 || !TheWorldHooks().FootstepsOn()) return;
    int sound = 0;
    if ((act >= 0 && act <= 7) || act == 23) {
        sound = frame == 1 ? 299 : frame == 6 ? 300 : 0;
    } else if (act == 24) {
        sound = frame == 1 ? 297 : frame == 3 ? 298 : 0;
    }
    if (!sound) return;
    TheWorldHooks().PlaySound(sound, !IsPlayer(), loc.x, loc.y, loc.z);
}

bool PrefersMainDiagonal(const s8 c[4]) {
    return std::abs(c[0] - c[2]) <= std::abs(c[1] - c[3]);
}

int GetZVal(const s8 c[4], bool main, int offset, int dir) {
    const int centre = main ? (c[0] + c[2]) >> 1 : (c[1] + c[3]) >> 1;
    if (offset == 0) return centre;
    if (offset != 1 && offset != 2) {
        static bool said = false;
        if (!said) {
            said = true;
            TheWorldHooks().ShowMessage(
                "Someone tried to call GetZVal with theOffset not between 0 and 2", "Bugger");
        }
        return centre;
    }
    if (dir < 0 || dir > 7) {
        TheWorldHooks().ShowMessage("Someone tried to call GetZVal with theDir not between 0 and 7",
                                    "Bugger");
        return centre;
    }
    int edge = 0;
    switch (dir) {
        case 0:
            edge = (c[1] + c[0]) >> 1;
            break;
        case 1:
            edge = c[1];
            break;
        case 2:
            edge = (c[1] + c[2]) >> 1;
            break;
        case 3:
            edge = c[2];
            break;
        case 4:
            edge = (c[2] + c[3]) >> 1;
            break;
        case 5:
            edge = c[3];
            break;
        case 6:
            edge = (c[3] + c[0]) >> 1;
            break;
        default:
            edge = c[0];
            break;
    }
    return offset == 2 ? edge : (centre + edge) >> 1;
}

int StairZ(int z, int h, int offset, int dir) {
    if (dir == 0 || dir == 1 || dir == 7) {
        if (offset == 1) return z + h - (h >> 2);
        if (offset == 2) return z + h;
    } else if (dir >= 3 && dir <= 5) {
        if (offset == 1) return z + (h >> 2);
        if (offset == 2) return z;
    }
    return z + (h >> 1);
}

int FallZ(int startZ, int endZ, int frames, int m) {
    if (frames <= 1) return startZ;
    // Two frames per tile or fewer leave no frames to fall through: land at once.
    if (m - 2 <= 0) return endZ;
    return startZ + (frames - 2) * (endZ - startZ) / (m - 2);
}

void CClientMobile::ComputeDrawnZ(int px, int py, int pz, int offset, int dir, bool falling,
                                  int fallFrom, int fallTo, int frames, int m) {
    const int fall = falling ? FallZ(fallFrom, fallTo, frames, m) : pz;
    CDisplayObject* surface = nullptr;
    for (CDisplayObject* o = CellHead(px, py); o; o = o->cellNext) {
        if (o->loc.x != px || o->loc.y != py) continue;
        if (!o->IsLand() && (!o->IsWorldObject() || o->IsMobile())) continue;
        if (o->GetStandZ() == pz) {
            surface = o;
            break;
        }
    }
    if (!surface) {
        drawnZ = fall;
    } else if (surface->IsLand()) {
        if (falling) {
            drawnZ = fall;
        } else {
            const s8* c = TheClientMap().GetCornerHeights(px, py);
            drawnZ = GetZVal(c, PrefersMainDiagonal(c), offset, dir);
        }
    } else {
        const u32 flags = surface->GetTileFlags();
        if (flags & 0x400) {
            static constexpr int kTurn[4] = {0, 6, 2, 4};
            const int turned = (dir + kTurn[flags >> 30]) & 7;
            drawnZ = StairZ(surface->loc.z, static_cast<CClientObject*>(surface)->GetHeight(),
                            offset, turned);
        } else {
            drawnZ = falling ? fall : surface->GetStandZ();
        }
    }
}

void CClientMobile::UpdateStep() {
    const int m = MovesPerTile();
    const int d = direction & 7;
    const bool falling = steepStep != 0;
    const int from = loc.z + stepDrop, to = loc.z, done = m - stepProgress;
    if (stepProgress == 0) {
        ComputeDrawnZ(loc.x, loc.y, loc.z, 0, d, false, from, to, done, m);
    } else if ((m >> 1) < stepProgress) {
        ComputeDrawnZ(stepStart.x, stepStart.y, stepStart.z, m - stepProgress, d, falling, from, to,
                      done, m);
    } else {
        ComputeDrawnZ(loc.x, loc.y, loc.z, stepProgress, (d + 4) & 7, falling, from, to, done, m);
    }
}

void CClientPlayer::UpdateStep() {
    const CWalkQueue& q = TheWalkQueue();
    const WalkState& ws = TheWalkState();
    const int f = q.stepFrames, m = ws.framesPerTile, d = direction & 7;
    if (f < 3 || q.executed >= q.count) {
        ComputeDrawnZ(loc.x, loc.y, loc.z, f < 3 ? f : 0, d, ws.falling, ws.fallStartZ, ws.fallEndZ,
                      f, m);
    } else {
        // Past the middle of the step the height comes from the next cell; a long fall has more
        // frames than the cell has offsets, and those stay at its centre.
        const WalkEntry& e = q.entries[q.executed];
        const int offset = f > 4 ? 0 : 4 - f;
        ComputeDrawnZ(loc.x + kWalkDx[e.direction], loc.y + kWalkDy[e.direction], e.expectedZ,
                      offset, (d + 4) & 7, ws.falling, ws.fallStartZ, ws.fallEndZ, f, m);
    }
    ViewScrollX = (loc.x + kViewColumnConstant - loc.y) * 22 + ws.offsetX - 319;
    ViewScrollY = (loc.x + loc.y) * 22 + ws.offsetY - drawnZ * 4 - 217;
}
