#include "server/world/player_registry.h"

#include <strings.h>
#include <algorithm>
#include <climits>
#include <memory>

#include "core/service_slot.h"
#include "core/spatial_grid.h"
#include "server/server_config.h"
#include "server/world/logged_out_list.h"
#include "server/world/player.h"
#include "server/world/sector_grid.h"

namespace {

ServiceSlot<CPlayerRegistry> g_playerRegistry;

// Newest first. Logged-out characters are not in it.
std::vector<CPlayer*> g_livePlayers;
// The index of the next player of a running tick walk, -1 outside it.
int g_tickCursor = -1;
// Every character constructed and not yet destroyed.
int g_livePlayerCount = 0;

bool SameName(const CPlayer* player, const char* name) {
    return name && strcasecmp(player->GetRealName(), name) == 0;
}

using PlayerGrid = SpatialGrid<CPlayer, std::vector<CPlayer*>>;
constexpr int kPlayerGridShift = 6;

struct PlayerGridState {
    std::unique_ptr<PlayerGrid> grid;
    int x0 = 0, y0 = 0, width = 0, height = 0;
};
PlayerGridState g_playerGrid;

// The grid over the sector grid's rectangle. When the sector grid was built anew over another
// rectangle, the grid follows it and files again every live player in the world.
PlayerGrid* Grid() {
    PlayerGridState& s = g_playerGrid;
    if (s.grid && s.x0 == g_sectorGrid.GetX0() && s.y0 == g_sectorGrid.GetY0() &&
        s.width == g_sectorGrid.GetWidth() && s.height == g_sectorGrid.GetHeight())
        return s.grid.get();
    s.x0 = g_sectorGrid.GetX0();
    s.y0 = g_sectorGrid.GetY0();
    s.width = g_sectorGrid.GetWidth();
    s.height = g_sectorGrid.GetHeight();
    const s64 x1 = static_cast<s64>(s.x0) + std::max(s.width, 1) - 1;
    const s64 y1 = static_cast<s64>(s.y0) + std::max(s.height, 1) - 1;
    s.grid = std::make_unique<PlayerGrid>(s.x0, s.y0, static_cast<int>(std::min<s64>(x1, INT_MAX)),
                                          static_cast<int>(std::min<s64>(y1, INT_MAX)),
                                          kPlayerGridShift);
    for (CPlayer* p : g_livePlayers) {
        p->GridSlot().filed = false;
        if (!p->IsDetached()) PlayerGridAdd(p);
    }
    return s.grid.get();
}

}  // namespace

void PlayerGridAdd(CPlayer* player) {
    if (player->IsDetached()) return;
    PlayerGrid* grid = Grid();
    PlayerGridSlot& slot = player->GridSlot();
    const Location at = player->GetWorldLocation();
    if (slot.filed) {
        if (grid->CellIndex(slot.x, slot.y) == grid->CellIndex(at.x, at.y)) {
            slot.x = at.x;
            slot.y = at.y;
            return;
        }
        grid->Remove(player, slot.x, slot.y);
        slot.filed = false;
    }
    if (grid->Insert(player, at.x, at.y)) {
        slot = PlayerGridSlot{at.x, at.y, true};
    }
}

void PlayerGridRemove(CPlayer* player) {
    PlayerGridSlot& slot = player->GridSlot();
    if (!slot.filed) return;
    Grid()->Remove(player, slot.x, slot.y);
    slot.filed = false;
}

void CollectPlayersInRange(std::vector<CPlayer*>& out, const Location& at, int radius) {
    Grid()->CollectInRadius(out, at.x, at.y, radius);
}

void PlayerGridCollectExcept(std::vector<CPlayer*>& out, const Location& at, int radius,
                             const CPlayer* except) {
    Grid()->CollectInRadiusExcept(out, at.x, at.y, radius, except);
}

int PlayerGridCount(const Location& at, int radius) {
    return Grid()->CountInRadius(at.x, at.y, radius);
}

void PlayerGridPartition(std::vector<CPlayer*>& staying, std::vector<CPlayer*>& entering,
                         std::vector<CPlayer*>& leaving, const Location& from, const Location& to,
                         int radius, const CPlayer* except) {
    Grid()->PartitionAroundExcept(staying, leaving, entering, from.x, from.y, to.x, to.y, radius,
                                  except);
}

// The head of the live list; a tick in progress keeps its place on the player it was at.
static void InsertAtHead(CPlayer* player) {
    g_livePlayers.insert(g_livePlayers.begin(), player);
    if (g_tickCursor >= 0) ++g_tickCursor;
}

void LinkLivePlayer(CPlayer* player) {
    ++g_livePlayerCount;
    InsertAtHead(player);
}

void TakeOffLiveList(CPlayer* player) {
    auto it = std::find(g_livePlayers.begin(), g_livePlayers.end(), player);
    if (it == g_livePlayers.end()) return;
    const int index = static_cast<int>(it - g_livePlayers.begin());
    g_livePlayers.erase(it);
    if (g_tickCursor > index) --g_tickCursor;
}

void PutOnLiveList(CPlayer* player) {
    if (std::find(g_livePlayers.begin(), g_livePlayers.end(), player) != g_livePlayers.end())
        return;
    InsertAtHead(player);
}

void UnlinkLivePlayer(CPlayer* player) {
    --g_livePlayerCount;
    TakeOffLiveList(player);
    g_loggedOutList.Forget(player);
}

CPlayer* FindLivePlayerBySerial(u32 serial) {
    for (CPlayer* p : g_livePlayers)
        if (p->GetSerial() == serial) return p;
    return nullptr;
}

void CollectLivePlayers(std::vector<CPlayer*>& out) {
    out.insert(out.end(), g_livePlayers.begin(), g_livePlayers.end());
}

bool IsPlayerInMemory(const CPlayer* player) {
    if (std::find(g_livePlayers.begin(), g_livePlayers.end(), player) != g_livePlayers.end())
        return true;
    const std::vector<CPlayer*>& away = g_loggedOutList.Players();
    return std::find(away.begin(), away.end(), player) != away.end();
}

void AddLoggedOutPlayer(CPlayer* player) {
    g_loggedOutList.Add(player);
}

CPlayer* RestoreLoggedOutPlayer(CPlayer* player) {
    return g_loggedOutList.Restore(player);
}

int LoggedOutCount() {
    return g_loggedOutList.Size();
}

void CollectLoggedOutPlayers(std::vector<CPlayer*>& out) {
    const std::vector<CPlayer*>& players = g_loggedOutList.Players();
    out.insert(out.end(), players.begin(), players.end());
}

Location WorldCorner() {
    return Location(static_cast<s16>(g_serverConfig.x), static_cast<s16>(g_serverConfig.y), 0);
}

Location ConfiguredStartLocation() {
    return Location(static_cast<s16>(g_serverConfig.x + g_startX),
                    static_cast<s16>(g_serverConfig.y + g_startY), 0);
}

CPlayer* CPlayerRegistry::FindBySerial(u32 serial) {
    return FindLivePlayerBySerial(serial);
}

CPlayer* CPlayerRegistry::FindByName(const char* name) {
    for (CPlayer* p : g_livePlayers)
        if (SameName(p, name)) return p;
    return nullptr;
}

CPlayer* CPlayerRegistry::FindByNameAny(const char* name) {
    if (CPlayer* p = FindByName(name)) return p;
    return g_loggedOutList.FindByName(name);
}

void CPlayerRegistry::CollectAccountPlayers(std::vector<CPlayer*>& out, u32 accountKey) {
    for (CPlayer* p : g_livePlayers)
        if (p->GetAccountKey() == accountKey) out.push_back(p);
    g_loggedOutList.CollectAccount(out, accountKey);
}

void CPlayerRegistry::ListByAccountKey(u32 key, std::vector<CPlayer*>& out) {
    CollectAccountPlayers(out, key);
}

void CPlayerRegistry::CollectInRange(std::vector<CPlayer*>& out, const Location& at, int radius) {
    CollectPlayersInRange(out, at, radius);
}

void CPlayerRegistry::CollectOnline(std::vector<CPlayer*>& out) {
    CollectLivePlayers(out);
}

u16 CPlayerRegistry::CountOnline() {
    return static_cast<u16>(g_livePlayerCount - LoggedOutCount());
}

void CPlayerRegistry::TickAll() {
    g_tickCursor = 0;
    while (g_tickCursor >= 0 && g_tickCursor < static_cast<int>(g_livePlayers.size())) {
        CPlayer* player = g_livePlayers[g_tickCursor++];
        if (!player->IsDetached()) player->Tick();
    }
    g_tickCursor = -1;
}

void CPlayerRegistry::AddPlayAgeToAll(int amount) {
    for (CPlayer* p : g_livePlayers)
        if (!p->IsDetached()) p->AddPlayAge(amount);
}

CPlayerRegistry& GetPlayerRegistry() {
    return g_playerRegistry.Get();
}

CPlayerRegistry* SetPlayerRegistry(CPlayerRegistry* registry) {
    return g_playerRegistry.Set(registry);
}
