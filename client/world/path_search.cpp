#include "client/world/path_search.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "client/world/client_map.h"
#include "client/world/client_world.h"
#include "client/world/system_message.h"
#include "client/world/walk_queue.h"

namespace {

float Distance(int x, int y, int z, int gx, int gy, int gz) {
    const float dx = float(x - gx), dy = float(y - gy), dz = float(z - gz);
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

PathNode* FindIn(PathNode* head, int x, int y, int z) {
    for (PathNode* n = head->listNext; n; n = n->listNext) {
        if (n->x == x && n->y == y && n->z == z) return n;
    }
    return nullptr;
}

void AddChild(PathNode* parent, PathNode* child) {
    for (PathNode*& slot : parent->children) {
        if (!slot) {
            slot = child;
            return;
        }
    }
}

void InsertByF(PathNode* head, PathNode* node) {
    PathNode* prev = head;
    while (prev->listNext && prev->listNext->f < node->f)
        prev = prev->listNext;
    node->listNext = prev->listNext;
    prev->listNext = node;
}

// Carries an improved cost on to the children, and theirs.
void Propagate(PathNode* improved) {
    std::vector<PathNode*> stack;
    auto relax = [&](PathNode* n) {
        for (PathNode* c : n->children) {
            if (!c) break;
            const float g = float(int(n->g) + 1);
            if (g < c->g) {
                c->g = g;
                c->f = g + c->h;
                c->parent = n;
                stack.push_back(c);
            }
        }
    };
    relax(improved);
    while (!stack.empty()) {
        PathNode* m = stack.back();
        stack.pop_back();
        relax(m);
    }
}

void Say(const char* text) {
    if (CClientPlayer* p = ThePlayer()) p->AddBark(text, 0, 0, 0);
}

}  // namespace

ClientPath& TheClientPath() {
    static ClientPath path;
    return path;
}

PathNode* ClientPath::NewNode() {
    nodes_.push_back(std::make_unique<PathNode>());
    return nodes_.back().get();
}

void ClientPath::Clear() {
    nodes_.clear();
    pathNode = current = nullptr;
}

PathNode* ClientPath::FindPath(int sx, int sy, int sz, int gx, int gy, int gz, int limit,
                               int tolerance) {
    // Nodes of an earlier search are no longer walked once a new one starts.
    Clear();
    iterations = 0;
    PathNode* open = NewNode();
    PathNode* closed = NewNode();
    PathNode* start = NewNode();
    start->h = Distance(sx, sy, sz, gx, gy, gz);
    start->f = start->h;
    start->x = sx;
    start->y = sy;
    start->z = sz;
    open->listNext = start;
    for (;;) {
        PathNode* n = open->listNext;
        if (!n) break;
        open->listNext = n->listNext;
        n->listNext = closed->listNext;
        closed->listNext = n;
        ++iterations;
        if (iterations > limit || iterations > kMaxIterations) break;
        if (std::abs(n->x - gx) <= tolerance && std::abs(n->y - gy) <= tolerance &&
            std::abs(n->z - gz) <= 8) {
            return n;
        }
        for (int i = 0; i < 8; ++i) {
            int z = 0;
            const int nx = n->x + kWalkDx[i], ny = n->y + kWalkDy[i];
            bool possible;
            if ((i & 1) == 0) {
                possible = CanStandAt(nx, ny, n->z, i, z);
            } else {
                // A diagonal needs both side cells open too; the last test's height counts.
                possible =
                    CanStandAt(nx, ny, n->z, i, z) &&
                    CanStandAt(n->x + kWalkDx[i - 1], n->y + kWalkDy[i - 1], n->z, i - 1, z) &&
                    CanStandAt(n->x + kWalkDx[i + 1], n->y + kWalkDy[i + 1], n->z, (i + 1) & 7, z);
            }
            if (!possible) continue;
            const float g = float(int(n->g) + 1);
            if (PathNode* o = FindIn(open, nx, ny, z)) {
                AddChild(n, o);
                if (g < o->g) {
                    o->parent = n;
                    o->g = g;
                    o->f = g + o->h;
                }
            } else if (PathNode* c = FindIn(closed, nx, ny, z)) {
                AddChild(n, c);
                if (g < c->g) {
                    c->parent = n;
                    c->g = g;
                    c->f = g + c->h;
                    Propagate(c);
                }
            } else {
                PathNode* fresh = NewNode();
                fresh->parent = n;
                fresh->g = g;
                fresh->h = Distance(nx, ny, z, gx, gy, gz);
                fresh->f = g + fresh->h;
                fresh->x = nx;
                fresh->y = ny;
                fresh->z = z;
                InsertByF(open, fresh);
                AddChild(n, fresh);
            }
        }
    }
    // Nothing found: the nodes go now rather than at a later search.
    Clear();
    return nullptr;
}

PathNode* ClientPath::LinkForward(PathNode* goal) {
    PathNode* node = goal;
    node->nextOnPath = nullptr;
    while (node->parent) {
        node->parent->nextOnPath = node;
        node = node->parent;
    }
    return node;
}

void ClientPath::Start(PathNode* goal) {
    pathNode = LinkForward(goal);
    active = 1;
    current = pathNode;
    currentX = current->x;
    currentY = current->y;
    currentZ = current->z;
    const CClientPlayer* p = ThePlayer();
    startFacing = p ? p->direction & 7 : 0;
    current->walkDirection = startFacing;
}

void ClientPath::PathfindTo(int x, int y, int z) {
    if (--pathRequestCountdown > 1) return;
    pathRequestCountdown = 20;
    char text[64];
    std::snprintf(text, sizeof text, "%d %d %d", x, y, z);
    Say(text);
    if (active) Clear();
    const CClientMap& map = TheClientMap();
    PathNode* goal = FindPath(map.centreX, map.centreY, map.centreZ, x, y, z, 500, 1);
    if (!goal) {
        active = 0;
        return;
    }
    Start(goal);
    std::snprintf(text, sizeof text, "Pathfinding to %d, %d, %d.", x, y, z);
    Say(text);
}

bool ClientPath::Follow(int tx, int ty, int tz) {
    const CClientPlayer* p = ThePlayer();
    if (!p) return false;
    if (active) Clear();
    PathNode* goal = FindPath(p->loc.x, p->loc.y, p->loc.z, tx, ty, tz, 100, 1);
    if (!goal) {
        active = 0;
        return false;
    }
    Start(goal);
    return true;
}

void ClientPath::WalkerStep() {
    CWalkQueue& q = TheWalkQueue();
    if (!active || !current || q.count >= 3) return;
    PathNode* next = current->nextOnPath;
    if (!next) {
        active = 0;
        Clear();
        return;
    }
    const int d = WalkDirectionOf(next->x - current->x, next->y - current->y);
    if (d == current->walkDirection) current = next;
    current->walkDirection = d;
    currentX = current->x;
    currentY = current->y;
    currentZ = current->z;
    if (d != -1) q.RequestWalk(d + 1, -1);
}

void FollowMobile(const CClientMobile& mobile) {
    const CClientPlayer* p = ThePlayer();
    if (!p || &mobile == p || !p->following || p->followedSerial != mobile.serial) return;
    if (mobile.IsWithinRange(3)) return;
    const ClientLocation& to =
        mobile.queuedSteps > 0 ? mobile.steps[mobile.queuedSteps - 1].loc : mobile.loc;
    if (!TheClientPath().Follow(to.x, to.y, to.z))
        ShowSystemMessage(0, 3, "Can't get there (follow)");
}
