#include "client/gumps/ingame/gump_bark_views.h"

#include <vector>

#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/bark_gump.h"
#include "client/world/client_object.h"

namespace {

// The open window that shows an object inside a container (the container's) or on a mobile
// (the mobile's paperdoll); null for an object in the world or when that window is closed.
CGump* WindowHolding(const CClientItem& item, bool& held) {
    held = item.holder != nullptr;
    if (!held || !item.holder->IsServerObject()) return nullptr;
    const u32 holder = static_cast<const CClientItem*>(item.holder)->serial;
    const GumpKind kind = item.holder->IsMobile() ? GumpKind::kPaperdoll : GumpKind::kContainer;
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
        if (g->object == holder && g->IsKind(kind)) return g;
    return nullptr;
}

}  // namespace

bool GumpBarkViews::Show(CClientObject* object, OverheadText& bark) {
    CGump* owner = nullptr;
    if (object != nullptr && object->IsServerObject()) {
        bool held = false;
        owner = WindowHolding(*static_cast<CClientItem*>(object), held);
        if (held && owner == nullptr) return false;
    }
    CGumpDesktop& desktop = TheGumpDesktop();
    CBarkGump* bubble = bark.unicode ? desktop.Make<CUnicodeBarkGump>(object, bark, owner)
                                     : desktop.Make<CBarkGump>(object, bark, owner);
    bubble->Place();
    bubble->AttachTo(nullptr);
    return true;
}

void GumpBarkViews::Forget(OverheadText& bark) {
    CBarkGump* bubble = CBarkGump::Showing(&bark);
    if (bubble == nullptr) return;
    bubble->ForgetRecord();
    CBarkGump::CloseQuietly(bubble);
}

void GumpBarkViews::Follow(CClientObject& object) {
    const std::vector<CBarkGump*> chain = CBarkGump::ChainOf(&object);
    if (chain.empty()) return;
    for (CBarkGump* b : chain)
        b->FollowObject();
    CBarkGump::LayOutStack(chain.front());
}

void GumpBarkViews::FollowAll() {
    std::vector<CClientObject*> anchors;
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling) {
        CBarkGump* b = CBarkGump::Live(g);
        if (b == nullptr || b->anchorObject == nullptr) continue;
        bool seen = false;
        for (CClientObject* a : anchors)
            seen = seen || a == b->anchorObject;
        if (!seen) anchors.push_back(b->anchorObject);
    }
    for (CClientObject* a : anchors)
        Follow(*a);
}
