#include "client/gumps/ingame/player_windows.h"

#include "client/data/gump_art.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/gumps/framework/gump_desktop.h"
#include "client/gumps/ingame/paperdoll_gump.h"
#include "client/gumps/ingame/stack_gump.h"
#include "client/gumps/ingame/status_gump.h"
#include "client/world/client_mobile.h"

CGump* MakePlayerWindow(int artId, u32 object) {
    CGumpDesktop& desktop = TheGumpDesktop();
    const CClientPlayer* player = ThePlayer();
    const bool own = player != nullptr && object == player->serial;
    switch (artId) {
        case 10:
            return desktop.Make<CPaperdollGump>(kScreenWidth - GumpArtWidth(10), 0, object, "", 0);
        case 8:
            if (object == 0) return nullptr;
            return desktop.Make<CStatusGump>(object, !own);
        case 49: {
            if (object == 0) return nullptr;
            int hx = 0, hy = 0;
            TheCursorManager().GetHotSpotPos(hx, hy);
            return desktop.Make<CStackGump>(hx - 50, hy - 37, object);
        }
        default:
            return nullptr;
    }
}
