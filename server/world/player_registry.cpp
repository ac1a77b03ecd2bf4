#include "server/world/player_registry.h"

#include <strings.h>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <memory>

#include "core/log_sink.h"
#include "core/service_slot.h"
#include "core/spatial_grid.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "server/net/packet_senders.h"
#include "server/server_config.h"
#include "server/world/logged_out_list.h"
#include "server/world/map_queries.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/player_life.h"
#include "server/world/sector_grid.h"
#include "server/world/timed_callbacks.h"

namespace {

ServiceSlot<CPlayerRegistry> g_playerRegistry;

// Newest first. Logged-out characters are not in it.
std::vector<CPlayer*> g_livePlayers;
// The index of the next player of a running tick walk, -1 outside it.
int g_tickCursor = -1;
// Every character constructed and not yet destroyed.
int g_livePlayerCount = 0;

constexpr int kHairLayer = 11;
constexpr int kBeardLayer = 16;
constexpr int kBackpackLayer = 21;
constexpr int kBackpackGraphic = 0xE75;
constexpr int kSkillCount = 50;
// Starting-kit templates: 3000 + skill number, 2998 (male) and 2999 (female).
constexpr int kSkillKitTemplate = 3000;
constexpr int kMaleKitTemplate = 2998;

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

bool ValidHair(int style, bool female) {
    if (style == 0) return true;
    if (style == 8262 && !female) return false;
    return (style >= 8251 && style <= 8253) || (style >= 8260 && style <= 8266);
}

bool ValidBeard(int style) {
    return (style >= 8254 && style <= 8257) || (style >= 8267 && style <= 8269);
}

// Makes the item and wears it on the layer; an item that cannot be worn is deleted.
void WearNew(CPlayer* player, int graphic, u16 hue, int layer, bool container) {
    CItem* item =
        container ? g_objectManager.CreateContainer(graphic) : g_objectManager.CreateItem(graphic);
    if (!item) return;
    item->SetHue(hue);
    if (!item->EquipOn(player, layer)) item->DeleteSelf();
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

NewCharacter ClampNewCharacter(const NewCharacter& request) {
    NewCharacter c = request;
    c.sex = c.sex ? 1 : 0;
    const int str = c.strength, dex = c.dexterity, intel = c.intelligence;
    const auto badStat = [](int v) { return v > 50 || v < 10; };
    if (str + dex + intel > 100 || badStat(str) || badStat(dex) || badStat(intel)) {
        c.strength = 34;
        c.dexterity = 33;
        c.intelligence = 33;
    }
    const int skillSum = c.skillValue[0] + c.skillValue[1] + c.skillValue[2];
    if (skillSum > 100 || c.skillValue[0] > 50 || c.skillValue[1] > 50 || c.skillValue[2] > 50) {
        c.skillValue[0] = 34;
        c.skillValue[1] = 33;
        c.skillValue[2] = 33;
    }
    if (c.skinHue < 1002 || c.skinHue > 1058) c.skinHue = 1002;
    if (c.hairHue < 1102 || c.hairHue > 1149) c.hairHue = 1102;
    if (c.beardHue < 1102 || c.beardHue > 1149) c.beardHue = 1102;
    if (!ValidHair(c.hairStyle, c.sex == 1)) c.hairStyle = 0;
    if (c.sex == 1 || !ValidBeard(c.beardStyle)) c.beardStyle = 0;
    return c;
}

CPlayer* CPlayerRegistry::CreatePlayer(const NewCharacter& request) {
    const NewCharacter c = ClampNewCharacter(request);
    CPlayer* player = new CPlayer;
    player->SetSerial(g_objectManager.NewSerial());
    Location start = request.x == 0xFFFF ? ConfiguredStartLocation() : Location(c.x, c.y, c.z);
    player->SetSex(c.sex);
    player->SetBodyType(400 + c.sex);
    player->SetName(c.name);
    const int stats[3] = {c.strength, c.dexterity, c.intelligence};
    for (int i = 0; i < 3; ++i)
        player->SetRealStat(i, stats[i]);
    player->SetMaxHits(c.strength);
    player->SetCurHits(c.strength);
    player->SetMaxMana(c.intelligence);
    player->SetCurMana(c.intelligence);
    player->SetMaxFatigue(c.dexterity);
    player->SetCurFatigue(c.dexterity);
    for (int n = 0; n < kSkillCount; ++n)
        player->SetSkill(n, 0);
    player->SetNotoriety(0);
    player->SetHue(static_cast<u16>(c.skinHue | 0x8000));
    for (int i = 0; i < 3; ++i)
        if (c.skill[i] < kSkillCount) player->SetSkill(c.skill[i], c.skillValue[i] * 10);
    player->SetCharacterKey(c.characterKey);
    player->SetAccountKey(c.accountKey);
    if (c.hairStyle) WearNew(player, c.hairStyle, c.hairHue, kHairLayer, false);
    if (c.beardStyle) WearNew(player, c.beardStyle, c.beardHue, kBeardLayer, false);
    WearNew(player, kBackpackGraphic, 0, kBackpackLayer, true);
    // The starting kit: a template per skill the character has, then one per sex, applied
    // while the player stands quietly at the world corner (templates create where their
    // target stands).
    PlayerLifeServices& life = GetPlayerLifeServices();
    player->PlaceInWorldQuiet(WorldCorner());
    for (int n = 0; n < kSkillCount; ++n)
        if (player->GetBaseSkill(n) != 0) life.ApplyTemplate(*player, kSkillKitTemplate + n);
    life.ApplyTemplate(*player, kMaleKitTemplate + c.sex);
    player->MarkContentsValueless();
    if (!player->IsDetached()) player->RemoveFromWorldQuiet();
    // The request's start is kept: the character enters the world where it was asked for.
    player->PlaceInWorldQuiet(start);
    player->SetCreationTime(platform::NowMs());
    life.AttachLoginScripts(*player);
    return player;
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
    out.insert(out.end(), g_livePlayers.begin(), g_livePlayers.end());
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

void CPlayerRegistry::StrikeRandomPlayers(int count) {
    std::vector<CPlayer*> candidates;
    for (CPlayer* p : g_livePlayers) {
        if (!p->IsEditing() && !HasCallback(p->TimedCallbacks(), kStruckAction, 0))
            candidates.push_back(p);
    }
    int left = static_cast<int>(candidates.size());
    count = std::min(count, left);
    std::vector<u32> chosen;
    for (int i = 0; i < count; ++i) {
        const int pick = platform::Rand() % left;
        chosen.push_back(candidates[pick]->GetSerial());
        candidates[pick] = candidates[--left];
    }
    // A strike runs scripts, which may delete players: each is looked up again.
    for (u32 serial : chosen) {
        CPlayer* p = FindLivePlayerBySerial(serial);
        if (!p) continue;
        GetPlayerLifeServices().StrikeWithLightning(*p);
        if (FindLivePlayerBySerial(serial) == p)
            ScheduleCallback(kStrikeCooldownPulses, serial, kStruckAction, 0, nullptr);
    }
}

void CPlayerRegistry::SendToRange(const PacketWriter& packet, const Location& at, int radius) {
    SendToRangeExcept(packet, at, radius, nullptr);
}

void CPlayerRegistry::SendToRangeExcept(const PacketWriter& packet, const Location& at, int radius,
                                        const CPlayer* except) {
    std::vector<CPlayer*> players;
    CollectInRange(players, at, radius);
    players.erase(std::remove(players.begin(), players.end(), except), players.end());
    SendPacketToPlayers(players, packet);
}

void CPlayerRegistry::SendToAll(const PacketWriter& packet) {
    SendPacketToPlayers(g_livePlayers, packet);
}

void CPlayerRegistry::SendToRangeInSight(const PacketWriter& packet, const Location& at,
                                         int radius) {
    std::vector<CPlayer*> players;
    CollectInRange(players, at, radius);
    std::vector<CPlayer*> seeing;
    for (CPlayer* p : players) {
        Location eyes = p->GetWorldLocation();
        eyes.z = static_cast<s16>(eyes.z + 8);
        if (g_worldMap.HasLineOfSight(eyes, at, kSightWalls)) seeing.push_back(p);
    }
    SendPacketToPlayers(seeing, packet);
}

void CPlayerRegistry::SendToRangeOfEither(const PacketWriter& packet, const Location& a,
                                          const Location& b, int radius, const CPlayer* except) {
    std::vector<CPlayer*> first, second, both;
    CollectInRange(first, a, radius);
    CollectInRange(second, b, radius);
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    std::set_union(first.begin(), first.end(), second.begin(), second.end(),
                   std::back_inserter(both));
    both.erase(std::unique(both.begin(), both.end()), both.end());
    both.erase(std::remove(both.begin(), both.end(), except), both.end());
    SendPacketToPlayers(both, packet);
}

void CPlayerRegistry::SendToNearAnyOf(const PacketWriter& packet,
                                      const std::vector<Location>& places, int radius) {
    std::vector<CPlayer*> near;
    for (CPlayer* p : g_livePlayers) {
        if (p->IsDetached()) continue;
        const Location at = p->GetWorldLocation();
        for (const Location& place : places) {
            if (ChebyshevDistanceXY(at.x, at.y, place.x, place.y) <= radius) {
                near.push_back(p);
                break;
            }
        }
    }
    SendPacketToPlayers(near, packet);
}

CPlayerRegistry& GetPlayerRegistry() {
    return g_playerRegistry.Get();
}

CPlayerRegistry* SetPlayerRegistry(CPlayerRegistry* registry) {
    return g_playerRegistry.Set(registry);
}
