#include "server/world/logged_out_list.h"

#include <strings.h>
#include <algorithm>

#include "server/world/item.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"

LoggedOutList g_loggedOutList;

namespace {

// Everything an object carries: a container's contents, then what a mobile wears.
void CollectTree(CItem* object, std::vector<CItem*>& out) {
    out.push_back(object);
    if (const CContainer* container = object->AsContainer()) {
        for (CItem* c = container->GetFirstChild(); c; c = c->GetNextSibling())
            CollectTree(c, out);
    }
    if (const CMobile* mobile = object->AsMobile()) {
        for (int layer = 0; layer < kLayerCount; ++layer) {
            if (CItem* worn = mobile->GetLayer(layer)) CollectTree(worn, out);
        }
    }
}

}  // namespace

void LoggedOutList::HashTree(CItem* object) {
    std::vector<CItem*> tree;
    CollectTree(object, tree);
    for (CItem* item : tree)
        hash_[item->GetSerial()] = item;
}

void LoggedOutList::UnhashTree(CItem* object) {
    std::vector<CItem*> tree;
    CollectTree(object, tree);
    for (CItem* item : tree) {
        auto it = hash_.find(item->GetSerial());
        if (it != hash_.end() && it->second == item) hash_.erase(it);
    }
}

void LoggedOutList::Suspend(CPlayer* player) {
    SuspendObjectTree(player);
    // Suspension keeps a detached object's mark; the player stays out of the world.
    player->SetDetached(true);
    HashTree(player);
}

void LoggedOutList::Resume(CPlayer* player) {
    UnhashTree(player);
    ResumeObjectTree(player);
}

void LoggedOutList::Add(CPlayer* player) {
    if (!player || std::find(players_.begin(), players_.end(), player) != players_.end()) return;
    // Taking the player out of the world tells the players near (the removal packet).
    if (!player->IsDetached()) player->RemoveFromWorld();
    if (!attached_) Suspend(player);
    TakeOffLiveList(player);
    player->SetFlag(kPlayerLoggedOut, true);
    players_.push_back(player);
}

CPlayer* LoggedOutList::Restore(CPlayer* player) {
    auto it = std::find(players_.begin(), players_.end(), player);
    if (it == players_.end()) return nullptr;
    players_.erase(it);
    if (!attached_) Resume(player);
    player->SetFlag(kPlayerLoggedOut, false);
    PutOnLiveList(player);
    return player;
}

CPlayer* LoggedOutList::FindByName(const char* name) const {
    if (!name) return nullptr;
    for (CPlayer* p : players_)
        if (strcasecmp(p->GetRealName(), name) == 0) return p;
    return nullptr;
}

CPlayer* LoggedOutList::FindBySerial(u32 serial) const {
    for (CPlayer* p : players_)
        if (p->GetSerial() == serial) return p;
    return nullptr;
}

CItem* LoggedOutList::FindObject(u32 serial) const {
    auto it = hash_.find(serial);
    return it == hash_.end() ? nullptr : it->second;
}

void LoggedOutList::CollectAccount(std::vector<CPlayer*>& out, u32 accountKey) const {
    for (CPlayer* p : players_)
        if (p->GetAccountKey() == accountKey) out.push_back(p);
}

void LoggedOutList::AttachAll() {
    if (attached_) return;
    attached_ = true;
    for (CPlayer* p : players_)
        Resume(p);
}

void LoggedOutList::DetachAll() {
    if (!attached_) return;
    attached_ = false;
    for (CPlayer* p : players_)
        Suspend(p);
}

void LoggedOutList::MarkAll() {
    for (CPlayer* p : players_)
        p->SetFlag(kPlayerMarked, true);
}

void LoggedOutList::DeleteRestored(CPlayer* player) {
    // No "destroyed" trigger, no removal, container or deletion packets for a character
    // nobody sees.
    player->SetStatus(static_cast<u8>(player->GetStatus() | kStatusNoTriggers));
    ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
    ObjectSwitchGuard quiet(ObjectSwitch::kSendRemovalPackets, false);
    player->DeleteSelf();
}

bool LoggedOutList::DeleteMarked(u32 serial) {
    CPlayer* player = FindBySerial(serial);
    if (!player || !player->HasFlag(kPlayerMarked)) return false;
    DeleteOne(player);
    return true;
}

void LoggedOutList::DeleteOne(CPlayer* player) {
    if (!Restore(player)) return;
    DeleteRestored(player);
}

void LoggedOutList::Forget(CPlayer* player) {
    auto it = std::find(players_.begin(), players_.end(), player);
    if (it == players_.end()) return;
    players_.erase(it);
    UnhashTree(player);
}
