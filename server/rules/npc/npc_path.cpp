#include "server/rules/npc/npc_path.h"

#include <algorithm>

#include "core/spatial_grid.h"
#include "script/runtime/trigger_services.h"
#include "server/world/map_queries.h"
#include "server/world/mobile.h"
#include "server/world/mobile_table.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/sector_grid.h"

namespace {

constexpr int kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

struct SearchNode {
    PathStep step;
    int parent;
    int depth;
};

bool TableHolds(const SearchNode* nodes, int count, int x, int y) {
    for (int i = 0; i < count; ++i)
        if (nodes[i].step.x == x && nodes[i].step.y == y) return true;
    return false;
}

// The path from the new node back to the root: entry 0 the node that reached the goal.
void StorePath(CNPC& npc, const SearchNode* nodes, int last) {
    const int parentDepth = nodes[nodes[last].parent].depth;
    npc.ai.path.resize(static_cast<size_t>(parentDepth) + 2);
    int at = last;
    for (size_t i = 0; i < npc.ai.path.size(); ++i) {
        npc.ai.path[i] = nodes[at].step;
        at = nodes[at].parent;
    }
    npc.ai.pathIndex = parentDepth;
}

bool StandsAt(const CNPC& npc, const PathStep& step) {
    const Location at = npc.GetWorldLocation();
    return at.x == step.x && at.y == step.y && (npc.GetDirection() & 7) == step.direction;
}

// Fires a walk trigger with the argument (none when the argument is -1).
void SendWalkTrigger(CNPC& npc, int trigger, int argument) {
    if (argument == -1) return;
    TriggerArgs args;
    args.value = argument;
    args.ints = &argument;
    args.intCount = 1;
    GetTriggerServices().SendTrigger(&npc, trigger, args);
}

// Fires the walk's end trigger with its argument.
void ReportWalk(CNPC& npc, int trigger) {
    SendWalkTrigger(npc, trigger, npc.ai.walkArgument);
}

void FailWalk(CNPC& npc) {
    npc.FreePath();
    ReportWalk(npc, kTriggerPathNotFound);
}

bool StillCurrent(u32 serial, const CNPC* npc) {
    return g_objectManager.FindNPC(serial) == npc && g_mobileTable.GetCurrentNpc() == npc;
}

// Turns in place: out of the world and back so that the viewers get the new facing.
void TurnInPlace(CNPC& npc, int direction) {
    const Location at = npc.GetWorldLocation();
    npc.RemoveFromWorldQuiet();
    npc.SetDirection(direction);
    npc.PlaceInWorldQuiet(at);
    std::vector<CPlayer*> viewers;
    CollectPlayersNear(at, 18, viewers);
    for (CPlayer* viewer : viewers)
        GetPacketServices().SendMobile(viewer, &npc, false);
}

}  // namespace

bool FindPathTo(CNPC& npc, const Location& goal, int maxNodes) {
    maxNodes = std::min(maxNodes, kMaxPathNodes);
    npc.FreePath();
    const Location from = npc.GetWorldLocation();
    const int bound = ChebyshevDistanceXY(goal.x, goal.y, from.x, from.y) + 2;
    if (bound > kMaxPathReach + 2) return false;

    SearchNode nodes[kMaxPathNodes + 1];
    nodes[0] = {{from.x, from.y, from.z, static_cast<s16>(npc.GetDirection() & 7)}, 0, 0};
    int count = 1;
    const int window = npc.GetMoveType();
    for (int i = 0; i < count; ++i) {
        for (int d = 0; d < 8; d += 2) {
            const SearchNode node = nodes[i];
            if (node.step.direction == ((d + 4) & 7)) continue;
            const int nx = node.step.x + kDx[d];
            const int ny = node.step.y + kDy[d];
            if (ChebyshevDistanceXY(nx, ny, goal.x, goal.y) >= bound) continue;
            if (TableHolds(nodes, count, nx, ny)) continue;
            PathStep step = node.step;
            if (node.step.direction == d) {
                if (!g_sectorGrid.Contains(nx, ny)) continue;
                const Location ahead(nx, ny, node.step.z);
                const int z =
                    g_worldMap.FindGoodZ(ahead, node.step.z - window, node.step.z + window,
                                         npc.GetHeight(), window, &npc, 0);
                if (z == kNoZ) continue;
                step = {static_cast<s16>(nx), static_cast<s16>(ny), static_cast<s16>(z),
                        static_cast<s16>(d)};
            } else {
                step.direction = static_cast<s16>(d);
            }
            nodes[count] = {step, i, node.depth + 1};
            ++count;
            if (ChebyshevDistanceXY(step.x, step.y, goal.x, goal.y) < 2) {
                StorePath(npc, nodes, count - 1);
                return true;
            }
            if (count >= maxNodes) return false;
        }
    }
    return false;
}

int CNPC::StartWalkTo(int argument, const Location& goal) {
    if (FindPathTo(*this, goal)) {
        ai.walkArgument = argument;
        return 1;
    }
    SendWalkTrigger(*this, kTriggerPathNotFound, argument);
    return 0;
}

void CNPC::FollowPathStep() {
    if (!HasPath()) return;
    // An exhausted walker keeps its path and waits.
    if (!IsGhost() && IsExhausted()) return;
    const u32 serial = GetSerial();
    const PathStep step = GetPathStep();
    if (StandsAt(*this, step)) {
        AdvancePath();
        if (!HasPath()) ReportWalk(*this, kTriggerPathFound);
        return;
    }
    if ((GetDirection() & 7) == step.direction) {
        // A door opened on the way: the same step is tried again next time.
        const int door = OpenDoorInDirection(step.direction);
        if (door == 1 || door == 3) return;
        int z = kNoZ;
        if (!Walk(step.direction, &z)) {
            FailWalk(*this);
            return;
        }
        const int moved = MoveInDirection(step.direction, z);
        if (!StillCurrent(serial, this)) return;
        if (!moved || !StandsAt(*this, step)) {
            FailWalk(*this);
            return;
        }
    } else {
        TurnInPlace(*this, step.direction);
        if (!StandsAt(*this, step)) {
            FailWalk(*this);
            return;
        }
    }
    AdvancePath();
    if (!HasPath()) ReportWalk(*this, kTriggerPathFound);
}
