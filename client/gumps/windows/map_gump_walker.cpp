#include "client/gumps/windows/map_gump_walker.h"

#include "client/data/client_log.h"
#include "core/service_slot.h"

namespace {

ServiceSlot<MapGumpWalker> g_walker;

}  // namespace

MapGumpWalker& TheMapGumpWalker() {
    return g_walker.Get();
}

MapGumpWalker* SetMapGumpWalker(MapGumpWalker* walker) {
    return g_walker.Set(walker);
}

void MapGumpWalker::NotBuiltYet(const char* entryPoint) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!said_.insert(entryPoint).second) return;
    LogClientError("world view", (std::string(entryPoint) + ": not built yet").c_str());
}

bool MapGumpWalker::Busy() {
    NotBuiltYet("walk queue (Busy)");
    return false;
}

void MapGumpWalker::WalkToward(int, bool) {
    NotBuiltYet("walk queue (WalkToward)");
}

void MapGumpWalker::RequestWalk(int, bool) {
    NotBuiltYet("walk queue (RequestWalk)");
}

int MapGumpWalker::QueuedSteps() {
    NotBuiltYet("walk queue (QueuedSteps)");
    return 0;
}

bool MapGumpWalker::PathTo(const ClientLocation&, std::vector<ClientLocation>&) {
    NotBuiltYet("path search (PathTo)");
    return false;
}

CClientObject* MapGumpWalker::PickWorldObject(int, int) {
    NotBuiltYet("world view picking (PickWorldObject)");
    return nullptr;
}

bool MapGumpWalker::PickLocation(int, int, ClientLocation&) {
    NotBuiltYet("world view picking (PickLocation)");
    return false;
}

CDisplayObject* MapGumpWalker::PickAnyObject(int, int) {
    NotBuiltYet("world view picking (PickAnyObject)");
    return nullptr;
}
