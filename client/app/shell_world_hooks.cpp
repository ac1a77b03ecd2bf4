#include "client/app/shell_world_hooks.h"

#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/bark_gump.h"

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
