#include "server/world/decay.h"

#include <vector>

#include "script/runtime/trigger_services.h"
#include "server/world/container.h"
#include "server/world/item.h"
#include "server/world/object_manager.h"

DecaySettings g_decay;

void SetDecayMode(int mode) {
    DecaySettings& d = g_decay;
    d.mode = mode;
    d.position = 0;
    if (mode == 0) {
        d.interval = 1, d.bucketsPerSweep = 4, d.limit = 250, d.homeRate = 112, d.step = 112;
    } else if (mode == 1) {
        d.interval = 1, d.bucketsPerSweep = 2048, d.limit = 72, d.homeRate = 18, d.step = 6;
    } else {
        d.interval = 0, d.bucketsPerSweep = 0, d.limit = 255, d.homeRate = 0, d.step = 0;
    }
}

void DecayTick(s32 pulse) {
    if (g_decay.interval > 0 && pulse % g_decay.interval == 0) DecaySweep();
}

void DecaySweep() {
    struct Noted {
        u32 serial;
        CItem* object;
    };
    std::vector<Noted> noted;
    for (int i = 0; i < g_decay.bucketsPerSweep; ++i) {
        const int empty =
            g_objectManager.EmptyBucketsFrom(g_decay.position, g_decay.bucketsPerSweep - i);
        if (empty > 0) {
            g_decay.position = static_cast<u16>(g_decay.position + empty);
            i += empty - 1;
            continue;
        }
        // Serials first: a check may delete any object of the bucket, and each is found
        // again by its serial (without a lookup while no object joined or left).
        noted.clear();
        for (CItem* o = g_objectManager.GetBucketHead(g_decay.position); o; o = o->bucketNext)
            noted.push_back(Noted{o->GetSerial(), o});
        const u64 stamp = g_objectManager.SerialLinkChanges();
        for (const Noted& n : noted) {
            if (CItem* o = g_objectManager.FindAgain(n.serial, n.object, stamp)) o->CheckDecay();
        }
        g_decay.position = static_cast<u16>(g_decay.position + 1);
    }
}

void CItem::CheckDecay() {
    const int kind = GetObjectKind(this);
    if (!(kind == kKindItem || kind == kKindContainer || kind == kKindMap || kind == kKindWeapon))
        return;
    // Parts of a multi decay with their multi.
    if (multiLink_) return;
    if (decayCount_ == kNeverDecays || GetWeight() >= 255) return;
    if (detached_ || container_ || IsAtHome()) {
        decayCount_ = 0;
        return;
    }
    const u32 serial = serial_;
    const int step = g_decay.step;
    TriggerServices& triggers = GetTriggerServices();
    s32 stale = 0;
    triggers.TakeIntReturn(stale);  // an answer left over from another trigger is not ours
    TriggerArgs args;
    const int ints[2] = {decayCount_, decayCount_ - step};
    args.ints = ints;
    args.intCount = 2;
    if (triggers.SendTrigger(this, kTriggerDecay, args) == 0) {
        s32 unused = 0;
        triggers.TakeIntReturn(unused);
        return;
    }
    s32 returned = 0;
    const bool hasReturn = triggers.TakeIntReturn(returned);
    if (!IsObjectAlive(serial, this)) return;
    const int added = decayCount_ + (hasReturn ? returned : step);
    if (added >= g_decay.limit) {
        DecayNow(0);
    } else {
        decayCount_ = static_cast<u8>(added);
    }
}

void CItem::DecayNow(int flag) {
    decayCount_ = 0;
    if (!IsRegistered(this)) return;
    const bool spills = flag == 0 && !detached_ && !container_ && IsContainer() && !IsMobile() &&
                        !IsDecayIgnoredGraphic();
    if (spills) DropContentsAt(GetWorldLocation());
    if (HasHome()) {
        SendHome();
        return;
    }
    if (flag == 1) DeleteContentsOrSendHome();
    if (!IsPlayer()) DeleteSelf();
}
