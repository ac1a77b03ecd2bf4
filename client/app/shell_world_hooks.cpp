#include "client/app/shell_world_hooks.h"

#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/bark_gump.h"
#include "client/gumps/ingame/paperdoll_gump.h"
#include "client/gumps/ingame/stack_gump.h"
#include "client/gumps/ingame/status_gump.h"
#include "client/world/client_mobile.h"

namespace {

// Closes every top-level gump the test selects. The walk starts again after each close: a
// closing window may take others with it.
template <typename Test>
void CloseTopLevelWhere(Test test) {
    CGumpDesktop& desktop = TheGumpDesktop();
    for (bool closed = true; closed;) {
        closed = false;
        for (CGump* g = desktop.head; g != nullptr; g = g->nextSibling) {
            if (!test(g)) continue;
            desktop.Close(g);
            closed = true;
            break;
        }
    }
}

}  // namespace

void ShellWorldHooks::CloseOnEscapeGumps() {
    TheGumpDesktop().CloseOnEscape();
}

void ShellWorldHooks::DeleteChoiceGump() {
    CGumpDesktop& desktop = TheGumpDesktop();
    if (desktop.modalGump != nullptr) desktop.Close(desktop.modalGump);
    desktop.modalGump = nullptr;
}

void ShellWorldHooks::DeleteDragGump() {
    CloseTopLevelWhere([](CGump* g) { return g->IsKind(GumpKind::kDrag); });
}

void ShellWorldHooks::DeleteFreeBarks() {
    CloseTopLevelWhere([](CGump* g) {
        if (!g->IsKind(GumpKind::kBark)) return false;
        const CBarkGump* b = CBarkGump::Live(g);
        return b != nullptr ? b->anchorObject == nullptr : g->object == 0;
    });
}

// --- The player's own windows ------------------------------------------------------------------

void ShellWorldHooks::RedrawPaperdoll(u32 mobile) {
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling)
        if (CPaperdollGump* doll = g->As<CPaperdollGump>(); doll != nullptr && doll->object == mobile)
            doll->Redraw();
}

void ShellWorldHooks::RefreshPlayerStatus() {
    const CClientPlayer* player = ThePlayer();
    if (player == nullptr) return;
    for (CGump* g = TheGumpDesktop().head; g != nullptr; g = g->nextSibling) {
        if (g->object != player->serial) continue;
        if (CPaperdollGump* doll = g->As<CPaperdollGump>()) doll->SetWarArts(player->warMode != 0);
        if (CStatusGump* status = g->As<CStatusGump>()) status->Refresh();
    }
}

void ShellWorldHooks::OpenAmountGump(u32 serial) {
    OpenAmountChooser(serial);
}

void ShellWorldHooks::DeleteGumpsOf(u32 serial) {
    if (serial == 0) return;
    // An object's speech bubbles go with its own chain of texts, not with its windows.
    CloseTopLevelWhere(
        [serial](CGump* g) { return g->object == serial && !g->IsKind(GumpKind::kBark); });
}
