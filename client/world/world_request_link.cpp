#include "client/world/world_request_link.h"

namespace {
WorldRequestLink* g_runningWorldLink = nullptr;
}  // namespace

WorldRequestLink* RunningWorldRequestLink() {
    return g_runningWorldLink;
}

void SetRunningWorldRequestLink(WorldRequestLink* link) {
    g_runningWorldLink = link;
}
