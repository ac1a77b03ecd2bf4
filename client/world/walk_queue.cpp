#include "client/world/walk_queue.h"

#include <algorithm>
#include <cstdlib>

#include "client/data/client_log.h"
#include "client/data/client_utils.h"
#include "client/data/tile_data.h"
#include "client/render/dirty_rects.h"
#include "client/world/cell_grid.h"
#include "client/world/client_map.h"
#include "client/world/client_world.h"
#include "client/world/land_objects.h"
#include "client/world/roof_hiding.h"
#include "client/world/world_effects.h"
#include "core/move_trace.h"
#include "platform/clock.h"
#include "platform/random.h"

const int kWalkDx[10] = {0, 1, 1, 1, 0, -1, -1, -1, 0, 1};
const int kWalkDy[10] = {-1, -1, 0, 1, 1, 1, 0, -1, -1, -1};

int WalkDirectionOf(int dx, int dy) {
    for (int d = 0; d < 8; ++d)
        if (kWalkDx[d] == dx && kWalkDy[d] == dy) return d;
    return -1;
}

namespace {

WalkState g_walkState;
std::function<bool()> g_runByPointer;

// Land tiles that are never stood on nor block (the void and the no-draw tiles).
bool IsVoidLand(int tile) {
    return tile == 2 || (tile >= 430 && tile <= 437) || tile == 475;
}

int LandGraphicOf(const CDisplayObject& o) {
    if (o.IsTexturedLand()) return static_cast<const TexturedLandTile&>(o).landGraphic;
    return static_cast<const LandTile&>(o).landGraphic;
}

// Graphics a ghost walks through.
bool GhostPassable(int graphic) {
    return graphic == 1682 || graphic == 1781 || graphic == 1782 || graphic == 2118 ||
           graphic == 2163;
}

WalkMode PlayerWalkMode() {
    const CClientPlayer* p = ThePlayer();
    if (p && (p->IsGhost() || (p->graphic == 987 && !IsPrivilegedClient()))) return WalkMode::kDead;
    return WalkMode::kLiving;
}

u32 NowSeconds() {
    return platform::NowMs() / 1000;
}

int SignOf(int v) {
    return v > 0 ? 1 : v < 0 ? -1 : 0;
}

}  // namespace

WalkState& TheWalkState() {
    return g_walkState;
}

CWalkQueue& TheWalkQueue() {
    static CWalkQueue queue;
    return queue;
}

int WalkFramesPerTile(int body, bool run) {
    const AnimInfoEntry e = AnimInfoFor(body);
    const int m = run ? e.run : e.walk;
    return m < 1 ? 1 : m;
}

void SetRunByPointer(std::function<bool()> decide) {
    g_runByPointer = std::move(decide);
}

bool RunByPointer() {
    if (g_runByPointer) return g_runByPointer();
    static bool said = false;
    if (!said) {
        said = true;
        LogClientError("walk", "cursor manager: not built yet (mouse steps walk)");
    }
    return false;
}

// --- surfaces -----------------------------------------------------------------------------------

void CollectSurfaces(int x, int y, WalkMode mode, std::vector<WalkSurface>& out) {
    out.clear();
    const size_t room = kMaxWalkSurfaces - 1;  // the sentinel's place
    CDisplayObject* last = nullptr;
    for (CDisplayObject* o = CellHead(x, y); o; o = o->cellNext)
        last = o;
    for (CDisplayObject* o = last; o && out.size() < room; o = o->cellPrev) {
        if (o->IsEffect() || o->loc.x != x || o->loc.y != y) continue;
        WalkSurface s;
        if (o->IsLand()) {
            const int tile = LandGraphicOf(*o);
            if (IsVoidLand(tile)) continue;
            int kind = 6;
            if (mode != WalkMode::kIgnoreBlocking) {
                kind = 1;
                if (!(TheClientTileData().Land(tile).flags & kClientTileImpassable)) kind += 6;
            }
            const int top = o->GetStandZ(), low = o->GetLowZ();
            s.Set(kind, low, top, top - low, o);
        } else if (o->IsWorldObject() && !o->IsMobile()) {
            const auto* obj = static_cast<const CClientObject*>(o);
            const u32 f = obj->GetTileFlags();
            int kind = 6;
            if (mode != WalkMode::kIgnoreBlocking) {
                kind = (f & (kClientTileImpassable | kClientTileSurface)) ? 1 : 0;
                if (!(f & kClientTileImpassable)) {
                    if (f & kClientTileSurface) kind += 2;
                    if (f & kClientTileClimbable) kind |= 4;
                }
                if (mode == WalkMode::kDead &&
                    (GhostPassable(obj->graphic) || (obj->IsServerObject() && obj->IsMovable()) ||
                     (f & 0x20000000))) {
                    kind &= ~1;
                }
            }
            if (kind == 0) continue;
            s.Set(kind, obj->loc.z, obj->GetStandZ(), obj->GetHeight(), obj);
        } else {
            continue;
        }
        out.push_back(s);
    }
    if (mode != WalkMode::kLiving) return;
    const CClientPlayer* player = ThePlayer();
    if (player && player->stamina == player->maxStamina) return;
    for (CClientMobile* m = TheClientWorld().mobileHead; m && out.size() < room;
         m = m->mobileNext) {
        // The player never blocks itself (its position lags behind the steps it shows).
        if (m == player || m->detached || m->loc.x != x || m->loc.y != y) continue;
        WalkSurface s;
        s.Set(WalkSurface::kBlocks, m->loc.z, m->loc.z + 16, 16, nullptr);
        out.push_back(s);
    }
}

void GetStartZ(int x, int y, int z, int direction, WalkMode mode, int& low, int& high) {
    const int d = direction & 7;
    const int sx = x + kWalkDx[d ^ 4], sy = y + kWalkDy[d ^ 4];
    low = -128;
    high = z;
    std::vector<WalkSurface> surfaces;
    CollectSurfaces(sx, sy, mode, surfaces);
    for (const WalkSurface& s : surfaces) {
        const int t = s.top;
        if (s.object && s.object->IsLand() && t <= z) {
            const int e = s.object->GetEdgeZ(d);
            low = std::max(low, e);
            high = std::max(high, e);
            continue;
        }
        if ((s.kind & WalkSurface::kBlocks) && t <= z) low = std::max(low, t);
        if ((s.kind & WalkSurface::kClimb) && t == z) {
            high = std::max(high, s.z + s.height);
            low = std::min(low, int(s.z));
        }
    }
    high += 2;
}

bool CanStandAt(int x, int y, int z, int direction, int& out) {
    const WalkMode mode = PlayerWalkMode();
    int low = 0, high = 0;
    GetStartZ(x, y, z, direction, mode, low, high);
    std::vector<WalkSurface> list;
    CollectSurfaces(x, y, mode, list);
    std::stable_sort(list.begin(), list.end(), [](const WalkSurface& a, const WalkSurface& b) {
        return a.z != b.z ? a.z < b.z : a.height < b.height;
    });
    WalkSurface sentinel;
    sentinel.Set(WalkSurface::kBlocks, 128, 128, 128, nullptr);
    list.push_back(sentinel);
    z = std::max(z, low);
    out = -128;
    int best = 1000000, reach = low, ceiling = -128;
    for (size_t i = 0; i < list.size(); ++i) {
        const WalkSurface& e = list[i];
        if (!(e.kind & WalkSurface::kBlocks)) continue;
        if (e.z - reach >= 16) {
            for (size_t j = i; j-- > 0;) {
                const WalkSurface& f = list[j];
                const int t = f.top;
                const bool stand = (f.kind & WalkSurface::kStandOn) != 0;
                const bool climb = (f.kind & WalkSurface::kClimb) != 0;
                if (!stand && !climb) continue;
                if (t < ceiling || e.z - t < 16) continue;
                if (!((t <= high && stand) || (climb && f.z <= high))) continue;
                if (std::abs(z - t) < best) {
                    out = t;
                    best = std::abs(z - t);
                }
            }
        }
        reach = std::max(reach, int(e.top));
        ceiling = std::max(ceiling, int(e.top));
    }
    return out != -128;
}

namespace {

// The client's half of the movement trace, with the map centre.
void TraceStep(const char* event, int sequence, int direction) {
    if (!move_trace::Enabled()) return;
    const CClientMap& map = TheClientMap();
    move_trace::Write("client", event, sequence, direction, map.centreX, map.centreY, map.centreZ);
}

}  // namespace

// --- the queue ----------------------------------------------------------------------------------

namespace {
WalkRequestLink* g_runningWalkLink = nullptr;
}  // namespace

WalkRequestLink* RunningWalkRequestLink() {
    return g_runningWalkLink;
}

void SetRunningWalkRequestLink(WalkRequestLink* link) {
    g_runningWalkLink = link;
}

void CWalkQueue::Clear() {
    count = executed = nextSequence = stepFrames = animCounter = 0;
    resyncPending = following = runFlag = 0;
    g_walkState.pendingRequests = 0;
}

bool CWalkQueue::Connected() {
    WalkRequestLink* l = Link();
    return l && l->WalkRequestsOpen();
}

void CWalkQueue::Send(const WalkRequest& request) {
    if (WalkRequestLink* l = Link()) l->SendWalkRequest(request);
}

void CWalkQueue::Walk(int index, u32 flags, bool ctrlHeld) {
    if (flags & 0x40000000u)
        WalkIfIdle(index, ctrlHeld ? 1 : 0);
    else
        RequestWalk(index, ctrlHeld ? 1 : 0);
}

void CWalkQueue::WalkIfIdle(int index, int run) {
    if (resyncPending || executed != count) return;
    RequestWalk(index, run);
}

bool CWalkQueue::CheckWalk(int& d, int& z) {
    const CClientPlayer* player = ThePlayer();
    const int facing = count > 0 ? entries[count - 1].direction
                       : player  ? player->direction & 7
                                 : 0;
    const CClientMap& map = TheClientMap();
    int x = map.centreX, y = map.centreY;
    z = map.centreZ;
    for (int i = 0; i < count; ++i) {
        const WalkEntry& e = entries[i];
        if (e.acknowledged || !e.IsMove()) continue;
        x += kWalkDx[e.direction];
        y += kWalkDy[e.direction];
        z = e.expectedZ;
    }
    const bool wrap = map.centreX < kClientSurfaceWidth;
    auto test = [&](int dir, int stepDir, int& out) {
        int nx = x + kWalkDx[dir], ny = y + kWalkDy[dir];
        if (wrap) {
            if (nx < 0) nx += kClientSurfaceWidth;
            if (nx >= kClientSurfaceWidth) nx -= kClientSurfaceWidth;
            if (ny < 0) ny += kClientSurfaceHeight;
            if (ny >= kClientSurfaceHeight) ny -= kClientSurfaceHeight;
        }
        return CanStandAt(nx, ny, z, stepDir, out);
    };
    int out = z;
    if ((d & 1) == 0) {
        if (test(d, d, out)) {
            z = out;
            return true;
        }
        return d != facing;
    }
    int zd = 0, zl = 0, zr = 0;
    const bool diag = test(d, d, zd);
    const bool left = test(d - 1, d - 1, zl);
    const bool right = test(d + 1, (d + 1) & 7, zr);
    if (diag && left && right) {
        z = zd;
        return true;
    }
    if (right) {
        d = (d + 1) & 7;
        z = zr;
        return true;
    }
    if (left) {
        d = d - 1;
        z = zl;
        return true;
    }
    return d != facing;
}

void CWalkQueue::FillEntry(int d, int z, int run) {
    const CClientPlayer* player = ThePlayer();
    WalkEntry& e = entries[count];
    e.sequence = u8(nextSequence);
    e.acknowledged = 0;
    e.run = u8(run == -1 ? (RunByPointer() ? 1 : 0) : (run ? 1 : 0));
    e.facing = u8(count > 0 ? entries[count - 1].direction : player ? player->direction & 7 : 0);
    e.sendTime = platform::NowMs();
    e.expectedZ = s8(z);
    e.direction = u8(d);
    e.fall = u8(e.IsMove() && player && player->loc.z - z >= 11 ? 1 : 0);
    ++count;
}

void CWalkQueue::RequestWalk(int index, int run) {
    g_walkState.lastRequestSeconds = NowSeconds();
    g_walkState.everRequested = true;
    if (resyncPending) return;
    int d = (index - 1) & 7;
    if (count == kCapacity || !Connected()) return;
    int z = 0;
    if (!CheckWalk(d, z)) {
        TraceStep("blocked", -1, d);
        return;
    }
    FillEntry(d, z, run);
    const WalkEntry& e = entries[count - 1];
    Send(WalkRequest{WalkRequest::Kind::kStep, u8(e.direction | (e.run ? 0x80 : 0)), e.sequence});
    TraceStep("request", e.sequence, e.direction | (e.run ? 0x80 : 0));
    ++g_walkState.pendingRequests;
    nextSequence = (nextSequence + 1) & 0xFF;
    if (nextSequence == 0) nextSequence = 1;
    TheWorldHooks().DeleteBankBoxGump();
    TheWorldEffects().CloseContainersOutOfReach();
}

void CWalkQueue::RemoveEntry(int i) {
    for (int k = i; k + 1 < count; ++k)
        entries[k] = entries[k + 1];
    --count;
}

void CWalkQueue::AcknowledgeEntry(int i, bool sample) {
    WalkEntry& e = entries[i];
    if (sample) {
        const u32 r = platform::ElapsedMs(e.sendTime, platform::NowMs());
        if (r < 60000) g_walkState.averageResponseMs = (g_walkState.averageResponseMs + r) >> 1;
    }
    if (e.IsMove()) TheClientMap().Move(kWalkDx[e.direction], kWalkDy[e.direction], e.expectedZ);
    if (i >= executed) {
        e.acknowledged = 1;
    } else if (i == 0) {
        RemoveEntry(0);
        --executed;
    } else {
        RequestResync();
    }
}

void CWalkQueue::Acknowledge(int sequence) {
    if (g_walkState.pendingRequests > 0) --g_walkState.pendingRequests;
    for (int i = 0; i < count; ++i) {
        if (entries[i].sequence == u8(sequence)) {
            const int direction = entries[i].direction;
            AcknowledgeEntry(i, true);
            TraceStep("ack", sequence, direction);
            return;
        }
    }
    RequestResync();
}

void CWalkQueue::RequestResync() {
    Send(WalkRequest{WalkRequest::Kind::kResync, 0, 0});
    resyncPending = 1;
    executed = 0;
    count = 0;
}

void CWalkQueue::Reset(int sequence, int x, int y, int z) {
    g_walkState.pendingRequests = 0;
    CClientPlayer* player = ThePlayer();
    if (player && player->inCell) player->RemoveFromCell();
    stepFrames = 0;
    nextSequence = 0;
    count = executed = 0;
    g_walkState.offsetX = g_walkState.offsetY = 0;
    g_walkState.falling = false;
    resyncPending = 0;
    CClientMap& map = TheClientMap();
    if (sequence == -1) {
        if (player) {
            player->loc.x = s16(map.centreX);
            player->loc.y = s16(map.centreY);
        }
    } else {
        map.Recenter(x, y, z, map.mapNumber);
        if (player) player->loc.Set(x, y, z);
    }
    TraceStep(sequence == -1 ? "reset" : "refuse", sequence, -1);
    if (!player) return;
    if (!player->detached) player->PlaceInCell();
    TheWorldHooks().InvalidateWorldView();
    player->UpdateStep();
    UpdateRoofLevel();
}

void CWalkQueue::ServerStep(int direction) {
    g_walkState.lastRequestSeconds = NowSeconds();
    if (resyncPending) return;
    // The step tables know directions 0-7 only; any other byte names no step.
    if (direction < 0 || direction > 7) return;
    if (count == kCapacity) RequestResync();
    if (!Connected()) return;
    int d = direction, z = 0;
    if (!CheckWalk(d, z)) return;
    FillEntry(d, z, -1);
    nextSequence = (nextSequence + 1) & 0xFF;
    if (nextSequence == 0) nextSequence = 1;
    AcknowledgeEntry(count - 1, false);
}

void CWalkQueue::StepTick() {
    CClientPlayer* player = ThePlayer();
    if (!player || DeathFadeStep != 0) return;
    WalkState& ws = g_walkState;
    if (count > 0 && executed < count && entries[executed].fall) {
        ws.falling = true;
        ws.fallStartZ = player->loc.z;
        ws.fallEndZ = entries[executed].expectedZ;
    } else {
        ws.falling = false;
    }
    if (player->inCell) {
        if (count == 0 && !player->idle) {
            player->RemoveFromCell();
            player->idle = 1;
            player->PlaceInCell();
            animCounter = 3;
        } else if (count > 0 && player->idle) {
            player->RemoveFromCell();
            player->idle = 0;
            player->PlaceInCell();
        }
    }
    if (!(executed < count && (following == 0 || entries[executed].acknowledged))) return;

    const ClientLocation before = player->loc;
    player->StopAction();
    TheWorldEffects().InvalidateWornLights(player->serial);
    const bool wasInCell = player->inCell != 0;
    if (wasInCell) player->RemoveFromCell();
    player->lastActivity = platform::NowMs();
    const int oldX = ViewScrollX, oldY = ViewScrollY;
    ++animCounter;
    const WalkEntry entry = entries[executed];
    const int d = entry.direction & 7;
    ++stepFrames;

    int m;
    const int body = player->graphic;
    if (player->layers[kMountLayer]) {
        const CClientItem* mount = player->layers[kMountLayer];
        const AnimInfoEntry e = AnimInfoFor(mount->graphic);
        m = (runFlag ? e.run : e.walk) / 2;
    } else if (ws.falling) {
        m = AnimInfoFor(body).walk + ((ws.fallStartZ - ws.fallEndZ) / 11) * 2;
    } else {
        const AnimInfoEntry e = AnimInfoFor(body);
        m = runFlag ? e.run : e.walk;
    }
    if (m < 1) m = 1;
    ws.framesPerTile = m;

    if (stepFrames >= m || !entry.IsMove()) {
        if (ws.falling && !player->IsGhost() && ws.fallStartZ - ws.fallEndZ >= 22) {
            const SpeechStyle& speech = TheClientWorld().speech;
            player->AddBark("ouch!", speech.speechHue, speech.speechFont, 0);
            const int r = platform::Rand() % 5;
            const int sound = (body % 2 == 0 ? 340 : 331) + r;
            TheWorldHooks().PlaySound(sound, false, player->loc.x, player->loc.y, player->loc.z);
            ws.falling = false;
        }
        stepFrames = 0;
        runFlag = entry.run;
        player->direction = u8(d);
        if (entry.IsMove()) {
            player->loc.x = s16(player->loc.x + kWalkDx[d]);
            player->loc.y = s16(player->loc.y + kWalkDy[d]);
            player->loc.z = entry.expectedZ;
        }
        if (entry.acknowledged)
            RemoveEntry(executed);
        else
            ++executed;
    }

    const int f = stepFrames;
    const int a = f * 22 / m, b = f * 44 / m;
    static constexpr int kSx[8][2] = {{1, -1}, {2, 0},  {1, 1},   {0, 2},
                                      {-1, 1}, {-2, 0}, {-1, -1}, {0, -2}};
    auto pick = [&](int k) { return k == 2 ? b : k == -2 ? -b : k * a; };
    ws.offsetX = pick(kSx[d][0]);
    ws.offsetY = pick(kSx[d][1]);

    player->UpdateStep();
    const int dx = oldX - ViewScrollX, dy = oldY - ViewScrollY;
    if (dx != 0 || dy != 0) {
        TheWorldEffects().ShiftForScroll(dx, dy);
        if (std::abs(dx) >= 640 || std::abs(dy) >= 320)
            TheWorldHooks().InvalidateWorldView();
        else
            TheWorldHooks().ScrollWorldView(dx, dy);
        TheWorldEffects().LayOutBarks();
    }
    if (wasInCell && !player->detached) player->PlaceInCell();
    if (!(player->loc == before)) UpdateRoofLevel();
}

// --- other mobiles
// --------------------------------------------------------------------------------

bool HasIdleFrames(const CClientMobile& m) {
    const int b = m.graphic;
    if (b == 13 || b == 15 || b == 16 || b == 574) return true;
    if (b < 400) return false;
    const CClientItem* held = m.layers[2];
    return held && (held->GetTileFlags() & kClientTileLightSource);
}

void PlayIdleAnimation(CClientMobile& m) {
    CClientWorld& w = TheClientWorld();
    if (m.IsMounted() || w.mobileCount > 20) return;
    if (!platform::HasElapsed(m.lastActivity, platform::NowMs(), 15001)) return;
    const int r = platform::Rand() % (w.mobileCount * 4 + 120);
    if (r != 0 && r != 1) return;
    const int b = m.graphic;
    if (b == 21) {
        m.StartAction(r == 1 ? 17 : 18, 5, 0, 1, false, true);
    } else if (b == 5 || b < 150) {
        m.StartAction(b == 5 || r == 1 ? 17 : 18, 5, 0, 1, false, false);
    } else if (b < 200) {
        if (r == 1)
            m.StartAction(3, 15, 0, 1, false, false);
        else
            m.StartAction(4, 20, 0, 1, false, false);
    } else if (b < 400) {
        m.StartAction(r == 1 ? 9 : 10, r == 1 ? 5 : 3, 0, 1, false, false);
    } else {
        m.StartAction(r == 1 ? 5 : 6, 5, 0, 1, false, r == 1);
    }
}

void FaceCombatTarget() {
    WalkState& ws = g_walkState;
    CClientPlayer* player = ThePlayer();
    if (!player || ws.pendingRequests > 0) return;
    if (ws.everRequested && NowSeconds() - ws.lastRequestSeconds < 4) return;
    CClientObject* target = TheClientWorld().FindBySerial(TheClientWorld().lastSwingTarget);
    if (!target || !target->IsMobile()) return;
    const int sx = SignOf(target->loc.x - player->loc.x),
              sy = SignOf(target->loc.y - player->loc.y);
    // Standing on the target's cell faces north-west.
    const int dir = sx == 0 && sy == 0 ? 7 : WalkDirectionOf(sx, sy);
    if (dir != (player->direction & 7)) TheWalkQueue().RequestWalk(dir + 1, -1);
}

namespace {

// Steps 4 to 7 of the tick for one mobile; false when it was handed over to its corpse.
bool TickMobile(CClientMobile& m, u32 now) {
    const bool hasSteps = m.stepProgress > 0 || m.queuedSteps > 0;
    bool leftCell = false;
    if (hasSteps) {
        m.lastActivity = now;
        if (m.inCell) {
            TheWorldEffects().InvalidateWornLights(m.serial);
            m.RemoveFromCell();
            leftCell = true;
        }
        if (m.action.active) {
            const bool death = (m.action.id & 0x80) != 0;
            m.action.active = 0;
            if (m.EndAction() || death) return false;
        }
        ++m.animCounter;
    } else if (m.idle) {
        if (!m.warMode && !m.action.active) PlayIdleAnimation(m);
        if (HasIdleFrames(m)) {
            ++m.animCounter;
            if (m.inCell) {
                m.RemoveFromCell();
                leftCell = true;
            }
        }
    } else if (platform::HasElapsed(m.lastActivity, now, 2001)) {
        if (m.inCell) {
            m.RemoveFromCell();
            leftCell = true;
        }
        m.idle = 1;
        m.animCounter = 3;
    }

    const int before = m.stepProgress;
    if (m.stepProgress > 0) --m.stepProgress;
    if (m.stepProgress == 0 && m.queuedSteps > 0) {
        const QueuedStep s = m.steps[0];
        const int dx = s.loc.x - m.loc.x, dy = s.loc.y - m.loc.y;
        const bool adjacent = std::abs(dx) < 2 && std::abs(dy) < 2 && (dx != 0 || dy != 0);
        m.direction = u8(s.direction & 0x7F);
        const int drop = m.loc.z - s.loc.z;
        m.steepStep = drop > 21 ? 1 : 0;
        m.stepDrop = drop;
        m.running = (s.direction & 0x80) ? 1 : 0;
        m.graphic = u16(s.body & 0x3FFF);
        m.stepStart = m.loc;
        m.loc = s.loc;
        m.statusFlags = s.flags;
        m.idle = 0;
        if (adjacent) {
            int mpt = m.MovesPerTile();
            if (mpt < 1) mpt = 1;
            m.stepProgress = mpt - 1;
        }
        for (int k = 1; k < m.queuedSteps; ++k)
            m.steps[k - 1] = m.steps[k];
        --m.queuedSteps;
    }
    const int p = m.stepProgress;
    if (p > 0) {
        int mpt = m.MovesPerTile();
        if (mpt < 1) mpt = 1;
        const int c = p * 22 / mpt, e = p * 44 / mpt;
        static constexpr int kOff[8][2] = {{1, -1}, {2, 0},  {1, 1},   {0, 2},
                                           {-1, 1}, {-2, 0}, {-1, -1}, {0, -2}};
        auto pick = [&](int k) { return k == 2 ? e : k == -2 ? -e : k * c; };
        m.stepOffsetX = pick(kOff[m.direction & 7][0]);
        m.stepOffsetY = pick(kOff[m.direction & 7][1]);
    } else {
        m.stepOffsetX = m.stepOffsetY = 0;
    }
    const bool progressed = m.stepProgress != before;
    if (leftCell) {
        m.UpdateStep();
        if (!m.detached) m.PlaceInCell();
        if (progressed) TheWorldEffects().InvalidateWornLights(m.serial);
    }
    if (progressed) TheWorldEffects().BarksFollow(m.serial);
    return true;
}

}  // namespace

void MobilesTick() {
    CClientWorld& w = TheClientWorld();
    CClientPlayer* player = ThePlayer();
    const u32 now = platform::NowMs();
    // Server objects out of range go (only those in the world; held and worn ones stay).
    for (bool again = true; again;) {
        again = false;
        for (CClientItem* o = w.serverHead; o; o = o->serverNext) {
            if (o->holder || o->IsPlayer() || o->detached) continue;
            if (o->IsWithinRange(18)) continue;
            o->Destroy();
            again = true;
            break;
        }
    }
    if (player && !player->detached && player->idle) {
        if (HasIdleFrames(*player)) {
            const bool was = player->inCell != 0;
            if (was) player->RemoveFromCell();
            ++TheWalkQueue().animCounter;
            if (was) player->PlaceInCell();
        }
        if (!player->warMode && !player->action.active) PlayIdleAnimation(*player);
        if (player->warMode) FaceCombatTarget();
    }
    for (CClientMobile* m = w.mobileHead; m;) {
        CClientMobile* next = m->mobileNext;
        if (m != player && !m->detached) TickMobile(*m, now);
        m = next;
    }
    // Last, the animated statics move on a frame.
    w.AnimateItems();
}
