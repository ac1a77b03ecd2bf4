#pragma once
// What the world-view gump asks of the walk queue, the path search and the world view's
// picking: one interface, so the gump's rules can be driven and observed without them. Until
// those subsystems are installed here, the one in force is this class itself: each entry says
// once in the client log that it is not built yet and answers "nothing".
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "client/world/client_location.h"

class CClientObject;
class CDisplayObject;

class MapGumpWalker {
public:
    virtual ~MapGumpWalker() = default;

    // --- walk queue -----------------------------------------------------------------------------
    // The walk queue is frozen, or a queued step is still being animated.
    virtual bool Busy();
    // One step toward a screen direction (0 up, clockwise), only when the queue is idle; `run`
    // when the pointer is far from the centre.
    virtual void WalkToward(int screenDirection, bool run);
    // A step request in a world direction (0 north, clockwise).
    virtual void RequestWalk(int worldDirection, bool run);
    // Steps queued and not yet acknowledged.
    virtual int QueuedSteps();

    // --- path search ----------------------------------------------------------------------------
    // A path from the map centre, advanced by the queued moves, to the goal (500 expansions, the
    // goal itself first, then a node next to it): the nodes from the start to the end. False
    // when there is none.
    virtual bool PathTo(const ClientLocation& goal, std::vector<ClientLocation>& path);

    // --- world view picking ---------------------------------------------------------------------
    // The object drawn at a screen point (no land), or null.
    virtual CClientObject* PickWorldObject(int x, int y);
    // The location of what is drawn at a screen point, land tiles included; false for none.
    virtual bool PickLocation(int x, int y, ClientLocation& at);
    // What is drawn at a screen point, land tiles included (a target cursor's pick), or null.
    virtual CDisplayObject* PickAnyObject(int x, int y);

private:
    void NotBuiltYet(const char* entryPoint);
    std::mutex lock_;
    std::set<std::string> said_;
};

// The implementation in force (never null).
MapGumpWalker& TheMapGumpWalker();
// Installs one (the caller keeps it alive; null puts back the empty one); answers the previous.
MapGumpWalker* SetMapGumpWalker(MapGumpWalker* walker);
