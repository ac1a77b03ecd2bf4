#include "server/world/container.h"

#include "server/net/packet_services.h"
#include "server/world/object_manager.h"

// ---------------------------------------------------------------- CContainer

CContainer::CContainer() : firstChild_(nullptr), contentWeight_(0) {}

CContainer::~CContainer() {
    // Children never outlive their container: each one's destructor unlinks it.
    while (firstChild_) {
        CItem* child = firstChild_;
        child->SetStatus(child->GetStatus() | kStatusNoTriggers);
        delete child;
    }
}

void CContainer::LinkChildAtHead(CItem* item) {
    item->prevSibling_ = nullptr;
    item->nextSibling_ = firstChild_;
    if (firstChild_) firstChild_->prevSibling_ = item;
    firstChild_ = item;
    item->container_ = this;
}

void CContainer::UnlinkChild(CItem* item) {
    if (!item || item->container_ != this) return;
    item->UnlinkFromChain();
    item->container_ = nullptr;
}

CItem* CContainer::FindContained(u32 serial) const {
    return FindInChain(serial, firstChild_);
}

int CContainer::GetValue(int useTypeBase, int applyMinimum) {
    return CItem::GetValue(useTypeBase, applyMinimum);
}

void CContainer::DeleteSelf() {
    const u32 serial = serial_;
    if (!DeleteSelfChecked()) return;
    DeleteContents();
    if (IsObjectAlive(serial, this)) delete this;
}

int CContainer::GetContentWeight() const {
    return contentWeight_;
}
void CContainer::DropContentsAt(const Location&) {}
void CContainer::DropContentsOrSendHome(const Location&) {}
void CContainer::DeleteContentsOrSendHome() {}
void CContainer::RecalcWeight() {}
void CContainer::CheckRegistration() {
    CItem::CheckRegistration();
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        child->CheckRegistration();
    }
}
CItem* CContainer::FindObjVarListHolder(const char*, CItem*) {
    return nullptr;
}
int CContainer::GetMaxWeight() const {
    return 0;
}
void CContainer::MarkContentsValueless() {}

void CContainer::DeleteContents() {
    // Scripts run by a child's deletion may delete other children: walk by serial.
    std::vector<u32> serials;
    for (CItem* child = firstChild_; child; child = child->GetNextSibling()) {
        serials.push_back(child->GetSerial());
    }
    for (u32 serial : serials) {
        CItem* child = g_objectManager.FindBySerial(serial);
        if (child && child->GetContainer() == this) child->DeleteSelf();
    }
}

bool CContainer::CancelTrade() {
    return false;
}
bool CContainer::CanHold(CItem*) const {
    return true;
}

// ---------------------------------------------------------------- CBulletinBoard

CBulletinBoard::CBulletinBoard() = default;
CBulletinBoard::~CBulletinBoard() = default;
void CBulletinBoard::DeleteSelf() {
    CContainer::DeleteSelf();
}

// ---------------------------------------------------------------- CCorpse

CCorpse::CCorpse() : worn{}, corpseType_(0), facing_(0) {}

CCorpse::~CCorpse() {
    status_ |= kStatusNoTriggers;
    if (!detached_) CItem::RemoveFromWorld();
}

int CCorpse::GetValue(int useTypeBase, int applyMinimum) {
    int value = CContainer::GetValue(useTypeBase, 0);
    if (applyMinimum && value <= 0) value = 1;
    return value;
}

void CCorpse::SendToPlayers(std::vector<CPlayer*>& players, int flag) {
    CItem::SendToPlayers(players, flag);
}
void CCorpse::SendToPlayer(CPlayer* player, int flag) {
    CItem::SendToPlayer(player, flag);
}
