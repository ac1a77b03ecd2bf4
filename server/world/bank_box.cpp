// The bank box: a container worn on layer 29 that holds a mobile's banked gold. It is made on
// demand and never shown to anyone but the owner opening it.
#include "server/world/container.h"
#include "server/world/mobile.h"
#include "server/world/object_manager.h"

namespace {

constexpr u16 kBankBoxGraphic = 3708;
constexpr u16 kGoldGraphic = 3821;
const Location kUnsetPosition(-1, -1, 0);

int CountGraphic(const CContainer* container, int graphic) {
    int total = 0;
    for (CItem* c = container->GetFirstChild(); c; c = c->GetNextSibling()) {
        if (c->GetType() == graphic) total += c->GetQuantity();
        if (c->IsUsableContainer()) total += CountGraphic(c->AsContainer(), graphic);
    }
    return total;
}

}  // namespace

CContainer* CMobile::EnsureBankBox() {
    CItem* worn = layers_[kBankBoxLayer];
    if (worn && worn->IsContainer()) {
        if (worn->GetType() != kBankBoxGraphic) worn->SetType(kBankBoxGraphic);
        return worn->AsContainer();
    }
    auto* box = new CContainer;
    box->SetType(kBankBoxGraphic);
    box->SetStatus(box->GetStatus() | kStatusShownByMulti);
    // Whatever else was worn there becomes gold inside the new box.
    if (worn) {
        worn->RemoveFromWorld();
        worn->SetType(kGoldGraphic);
        worn->AddToContainer(box, kUnsetPosition);
    }
    box->EquipOn(this, kBankBoxLayer);
    return box;
}

int CMobile::GetBankGold() {
    if (!layers_[kBankBoxLayer]) return 0;
    return CountGraphic(EnsureBankBox(), kGoldGraphic);
}

int CMobile::PutMoneyInBank(CItem* gold, int amount) {
    if (!gold || amount < 0) return 1;
    CContainer* box = EnsureBankBox();
    if (amount == gold->GetQuantity()) {
        if (!gold->IsDetached()) gold->RemoveFromWorld();
        gold->AddToContainer(box, kUnsetPosition);
        return -1;
    }
    // Part of a stack: the part goes into the box, the rest stays where it was.
    const u32 serial = gold->GetSerial();
    CItem* part = gold->SplitStack(amount);
    // Nothing was split off (an amount of 0): nothing went into the bank.
    if (!part) return 1;
    part->AddToContainer(box, kUnsetPosition);
    CItem* rest = g_objectManager.FindBySerial(serial);
    if (rest != gold) return -1;
    if (gold->CountResourceUnits() > 0) return -2;
    // Drained by an amount past its size: the empty pile goes.
    if (!gold->IsDetached()) gold->RemoveFromWorld();
    gold->DeleteSelf();
    return -1;
}

CItem* CMobile::WithdrawFromBank(int amount) {
    if (!layers_[kBankBoxLayer]) return nullptr;
    return EnsureBankBox()->TakeAmount(kGoldGraphic, amount, nullptr);
}
