#include "client/world/bark_views.h"

#include "client/data/client_log.h"
#include "client/world/client_object.h"
#include "platform/clock.h"

namespace {

BarkViews g_defaultViews;
BarkViews* g_views = &g_defaultViews;
// The system lines' chain (newest first).
OverheadText* g_systemBarks = nullptr;

}  // namespace

void BarkViews::SayNotBuilt() {
    if (said_) return;
    said_ = true;
    LogClientError("world", "speech bubbles: not built yet");
}

bool BarkViews::Show(CClientObject* object, OverheadText&) {
    SayNotBuilt();
    // No bubble ever expires or trims the system lines here: keep the newest few, or the chain
    // would grow with every line.
    if (object == nullptr) {
        int kept = 0;
        for (OverheadText** p = &g_systemBarks; *p != nullptr;) {
            if (++kept <= kKeptSystemLines) {
                p = &(*p)->older;
                continue;
            }
            OverheadText* old = *p;
            *p = old->older;
            delete old;
        }
    }
    return true;
}

void BarkViews::Forget(OverheadText&) {}
void BarkViews::Follow(CClientObject&) {}
void BarkViews::FollowAll() {}

BarkViews& TheBarkViews() {
    return *g_views;
}

BarkViews* SetBarkViews(BarkViews* views) {
    BarkViews* previous = g_views;
    g_views = views != nullptr ? views : &g_defaultViews;
    return previous;
}

OverheadText*& BarkChainOf(CClientObject* object) {
    return object != nullptr ? object->firstBark : g_systemBarks;
}

void DropBark(CClientObject* object, OverheadText* bark) {
    for (OverheadText** p = &BarkChainOf(object); *p != nullptr; p = &(*p)->older) {
        if (*p != bark) continue;
        *p = bark->older;
        delete bark;
        return;
    }
}

void ShowSystemBark(OverheadText* bark) {
    bark->created = platform::NowMs();
    bark->older = g_systemBarks;
    g_systemBarks = bark;
    if (!TheBarkViews().Show(nullptr, *bark)) DropBark(nullptr, bark);
}
