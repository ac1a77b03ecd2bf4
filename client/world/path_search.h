#pragma once
// The client's path search: an A* search over cells whose steps are the walk queue's own test
// (`CanStandAt`), so a planned path only holds steps the queue would take. The path found is
// a chain of nodes from the start to the goal that the path walker turns into step requests.
#include <memory>
#include <vector>

#include "platform/types.h"

struct PathNode {
    float f = 0, h = 0, g = 0;
    int x = 0, y = 0, z = 0;
    int walkDirection = 0;  // the direction the walker last stepped in from this node
    PathNode* parent = nullptr;
    PathNode* nextOnPath = nullptr;
    PathNode* children[8] = {};
    PathNode* listNext = nullptr;
};

class ClientPath {
public:
    static constexpr int kMaxIterations = 5000;

    // The goal node, or null; nodes stay allocated until `Clear` (a failed search frees its
    // own at once).
    PathNode* FindPath(int sx, int sy, int sz, int gx, int gy, int gz, int limit, int tolerance);
    // Frees every node of the last search.
    void Clear();
    // Fills the next-on-path links back from the goal; answers the start node.
    PathNode* LinkForward(PathNode* goal);
    // The server's path request (0x38): only every 19th in a row plans.
    void PathfindTo(int x, int y, int z);
    // Plans after a followed mobile; false when there is no way.
    bool Follow(int tx, int ty, int tz);
    // One step of the walker: while fewer than 3 steps are queued, asks for the step toward
    // the next node; at the end of the chain the walk ends and the nodes go.
    void WalkerStep();

    int iterations = 0;
    int active = 0;
    PathNode* pathNode = nullptr;
    PathNode* current = nullptr;
    int currentX = 0, currentY = 0, currentZ = 0;
    int startFacing = 0;
    int pathRequestCountdown = 20;
    size_t LiveNodes() const { return nodes_.size(); }

private:
    PathNode* NewNode();
    void Start(PathNode* goal);

    std::vector<std::unique_ptr<PathNode>> nodes_;
};

ClientPath& TheClientPath();

class CClientMobile;
// After an update of a mobile the player follows: once it is more than 3 cells away, a path
// is planned to where it is going ("Can't get there (follow)" when there is none).
void FollowMobile(const CClientMobile& mobile);
