#include "tests/protocol/client_world_scope.h"

#include <algorithm>
#include <string>

#include "client/data/client_data_start.h"
#include "client/data/data_file_cache.h"
#include "client/render/dirty_rects.h"
#include "client/render/span_blit.h"
#include "client/world/cell_grid.h"
#include "client/world/client_map.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"

ClientWorldScope::ClientWorldScope(u16 background) : screen(kWorldViewPixels, background) {
    const std::string dir = std::string(ZQ_RUN_DIR) + "/";
    StartClientDataFrom(dir);
    ResetDirtyRects();
    SetWorldViewScreen(screen.data());
    new CClientPlayer;
}

ClientWorldScope::~ClientWorldScope() {
    TheClientWorld().Clear();
    delete ThePlayer();
    SweepAllCells();
    InitCellGrid();
    TheClientMap() = CClientMap();
    ViewScrollX = ViewScrollY = 0;
    SetWorldViewScreen(nullptr);
    ResetDirtyRects();
    SetBlitHueTable(nullptr, 0, 32);
    TheDataCache().Shutdown();
}

std::vector<u16> ClientWorldScope::Shown() const {
    std::vector<u16> out(kWorldViewPixels);
    for (s32 p = 0; p < kWorldViewPixels; ++p)
        out[p] = screen[(p + RingOffset) % kWorldViewPixels];
    return out;
}

std::vector<u16> ClientWorldScope::ShownWithoutFigures() const {
    std::vector<u16> out = Shown();
    for (CClientObject* o = TheClientWorld().allHead; o; o = o->allNext) {
        if (!o->IsMobile() || !o->inCell) continue;
        const int left = std::max(o->box.left - ViewScrollX, 0);
        const int right = std::min(o->box.right - ViewScrollX, kWorldViewWidth);
        for (int y = std::max(o->box.top - ViewScrollY, 0);
             y < std::min(o->box.bottom - ViewScrollY, kWorldViewHeight); ++y)
            for (int x = left; x < right; ++x)
                out[y * kWorldViewWidth + x] = 0;
    }
    return out;
}

bool ClientWorldScope::ViewCentredOnPlayer() const {
    const CClientPlayer* player = ThePlayer();
    return player != nullptr &&
           ViewScrollX == (player->loc.x + kViewColumnConstant - player->loc.y) * 22 - 319 &&
           ViewScrollY == (player->loc.x + player->loc.y) * 22 - player->drawnZ * 4 - 217;
}

std::string ClientWorldScope::Describe() const {
    const CClientPlayer* player = ThePlayer();
    if (player == nullptr) return "no player";
    return "player at " + std::to_string(player->loc.x) + "," + std::to_string(player->loc.y) +
           "," + std::to_string(player->loc.z) + " drawn z " + std::to_string(player->drawnZ) +
           ", view corner " + std::to_string(ViewScrollX) + "," + std::to_string(ViewScrollY);
}

void ClientWorldScope::UpdatePlayerStep() {
    if (CClientPlayer* player = ThePlayer()) player->UpdateStep();
}
