#include "client/net/world_packet_handlers.h"

#include "client/net/client_link.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/world/client_map.h"
#include "client/world/client_world.h"
#include "core/packet_reader.h"

namespace {

// Layers a mobile has slots for; an item claiming another layer is not equipped.
constexpr int kCorpseLayers = 26;
constexpr int kCorpseEntryLimit = 40;

// A new item made for a worn-item entry (0x78 and 0x2E).
CClientItem* NewWornItem(u32 serial, int graphic, int increment) {
    if (IsContainerGraphic(graphic)) return new CClientContainer(serial, graphic, increment, true);
    return CClientItem::Allocate(serial, graphic, increment);
}

// Taking the player's flags from 0x77 and 0x78.
void TakePlayerFlags(CClientPlayer& player, u8 flags) {
    const u8 old = player.statusFlags;
    if (player.inCell) {
        player.RemoveFromCell();
        player.SetStatusFlags(flags);
        player.PlaceInCell();
    } else {
        player.SetStatusFlags(flags);
    }
    if (old != flags) TheWorldHooks().RefreshPlayerStatus();
}

// The leading fields of 0x77 and 0x78.
struct MobileFields {
    u32 serial = 0;
    u16 body = 0, x = 0, y = 0, hue = 0;
    u8 z = 0, dir = 0, flags = 0, noto = 0;

    bool Read(PacketReader& r) {
        r.ReadLong(serial);
        r.ReadShort(body);
        r.ReadShort(x);
        r.ReadShort(y);
        r.ReadByte(z);
        r.ReadByte(dir);
        r.ReadShort(hue);
        r.ReadByte(flags);
        r.ReadByte(noto);
        return r.Ok();
    }
    void Update() const {
        TheClientWorld().UpdateObject(serial, body, 0, 0, x, y, s8(z), dir, hue, flags);
    }
};

u32 PlayerSerial() {
    return TheClientWorld().playerSerial;
}

// Whether a worn-item entry may take `existing`, the object already known by the entry's
// serial: never the player, the mobile being dressed or anything holding it, since taking
// one frees or detaches an object the handler goes on to use.
bool MayWear(const CClientObject* existing, const CClientMobile& mobile) {
    if (!existing) return true;
    if (existing->IsPlayer()) return false;
    const CClientObject* link = &mobile;
    for (int guard = 0; link && guard < 64; ++guard) {
        if (link == existing) return false;
        if (!link->IsServerObject()) break;
        link = static_cast<const CClientItem*>(link)->holder;
    }
    return true;
}

}  // namespace

WorldPacketHandlers::WorldPacketHandlers(ClientLink& link) : link_(link) {
    TheClientWorld().attackTarget = 0;
    TheClientWorld().lastSwingTarget = 0;
}

void WorldPacketHandlers::Install(ServerPacketDispatcher& d) {
    static const HandlerRow<WorldPacketHandlers> kRows[] = {
        {0x1A, &WorldPacketHandlers::OnObjectInfo},
        {0x1D, &WorldPacketHandlers::OnDeleteObject},
        {0x20, &WorldPacketHandlers::OnPlayerUpdate},
        {0x77, &WorldPacketHandlers::OnMobileUpdate},
        {0x78, &WorldPacketHandlers::OnMobileIncoming},
        {0x2E, &WorldPacketHandlers::OnWornItem},
        {0x89, &WorldPacketHandlers::OnCorpseEquipment},
        {0xAF, &WorldPacketHandlers::OnMobileDeath},
        {0x2C, &WorldPacketHandlers::OnDeathStatus},
        {0x72, &WorldPacketHandlers::OnWarMode},
        {0xAA, &WorldPacketHandlers::OnAttackTarget},
        {0x2F, &WorldPacketHandlers::OnSwing},
        {0x30, &WorldPacketHandlers::OnPacket30},
        {0x31, &WorldPacketHandlers::OnPacket31},
    };
    InstallHandlerRows(d, *this, kRows);
}

void WorldPacketHandlers::OnObjectInfo(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 serial = 0;
    u16 graphic = 0, amount = 1, x = 0, y = 0, hue = 0;
    u8 increment = 0, dir = 0, z = 0, flags = 0;
    r.ReadLong(serial);
    const bool hasAmount = (serial & 0x80000000u) != 0;
    serial &= 0x7FFFFFFFu;
    r.ReadShort(graphic);
    const bool hasIncrement = (graphic & 0x8000) != 0;
    graphic &= 0x7FFF;
    if (hasIncrement) r.ReadByte(increment);
    if (hasAmount) r.ReadShort(amount);
    r.ReadShort(x);
    const bool hasDir = (x & 0x8000) != 0;
    x &= 0x7FFF;
    r.ReadShort(y);
    const bool hasHue = (y & 0x8000) != 0, hasFlags = (y & 0x4000) != 0;
    y &= 0x3FFF;
    if (hasDir) r.ReadByte(dir);
    r.ReadByte(z);
    if (hasHue) r.ReadShort(hue);
    if (hasFlags) r.ReadByte(flags);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (serial == PlayerSerial()) return;
    TheClientWorld().UpdateObject(serial, graphic, s8(increment), amount, x, y, s8(z), dir, hue,
                                  flags);
}

void WorldPacketHandlers::OnDeleteObject(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    r.ReadLong(serial);
    if (!r.Ok()) return link_.RefusePacket(r);
    CClientWorld& world = TheClientWorld();
    CClientObject* o = world.FindBySerial(serial);
    if (!o || o->IsPlayer()) return;
    if (o->IsMobile() && TheDyingMobiles().IsPending(0, serial | 0x80000000u)) return;
    CClientPlayer* player = ThePlayer();
    if (player && player->layers[0] == o) world.dragging = 0;
    world.SaveBarks(*o);
    o->Destroy();
}

void WorldPacketHandlers::OnPlayerUpdate(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    u16 body = 0, hue = 0, x = 0, y = 0, map = 0;
    u8 unused = 0, flags = 0, dir = 0, z = 0;
    r.ReadLong(serial);
    r.ReadShort(body);
    r.ReadByte(unused);
    r.ReadShort(hue);
    r.ReadByte(flags);
    r.ReadShort(x);
    r.ReadShort(y);
    r.ReadShort(map);
    r.ReadByte(dir);
    r.ReadByte(z);
    if (!r.Ok()) return link_.RefusePacket(r);
    WorldHooks& hooks = TheWorldHooks();
    CClientPlayer* player = ThePlayer();
    if (serial != PlayerSerial() || !player) {
        hooks.ShowMessage("Z change received for non-player object", "Error");
        return;
    }
    hooks.DeleteBankBoxGump();
    TheClientMap().Recenter(x, y, s8(z), map);
    if (player->inCell) player->RemoveFromCell();
    player->loc.Set(x, y, s8(z));
    player->graphic = u16(body & 0x3FFF);
    player->direction = dir;
    player->UpdateStep();
    if (!player->detached) player->PlaceInCell();
    player->hue = ClampGraphicId(hue);
    const u8 old = player->statusFlags;
    player->SetStatusFlags(flags);
    hooks.ResetWalkQueue();
    hooks.StopWeather();
    if (old != flags) hooks.RefreshPlayerStatus();
}

void WorldPacketHandlers::OnMobileUpdate(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    MobileFields f;
    if (!f.Read(r)) return link_.RefusePacket(r);
    const u32 serial = f.serial;
    CClientObject* o = TheClientWorld().FindBySerial(serial);
    if (!o) return;
    if (o->IsMobile()) static_cast<CClientMobile*>(o)->SetNotoriety(f.noto);
    if (!o->IsPlayer()) {
        f.Update();
    } else {
        TakePlayerFlags(*static_cast<CClientPlayer*>(o), f.flags);
    }
}

void WorldPacketHandlers::OnMobileIncoming(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    MobileFields f;
    if (!f.Read(r)) return link_.RefusePacket(r);
    const u32 serial = f.serial;
    CClientWorld& world = TheClientWorld();
    if (serial == PlayerSerial() && ThePlayer()) {
        TakePlayerFlags(*ThePlayer(), f.flags);
    } else {
        f.Update();
    }
    CClientObject* found = world.FindBySerial(serial);
    CClientMobile* mobile =
        found && found->IsMobile() ? static_cast<CClientMobile*>(found) : nullptr;
    if (mobile) {
        if (mobile->inCell) mobile->RemoveFromCell();
        mobile->SetNotoriety(f.noto);
    }
    for (;;) {
        u32 itemSerial = 0;
        if (!r.ReadLong(itemSerial) || itemSerial == 0) break;
        u16 graphic = 0, itemHue = 0;
        u8 layer = 0;
        r.ReadShort(graphic);
        r.ReadByte(layer);
        if (graphic & 0x8000) {
            graphic &= 0x7FFF;
            r.ReadShort(itemHue);
        }
        if (!r.Ok()) break;
        // Layers past the mobile's slots are read over, never equipped.
        if (!mobile || layer >= kLayerSlots) continue;
        CClientObject* existing = world.FindBySerial(itemSerial);
        if (!MayWear(existing, *mobile)) continue;
        CClientItem* item;
        if (existing && existing->IsServerObject() && !existing->IsMobile()) {
            existing->RemoveFromWorld();
            item = static_cast<CClientItem*>(existing);
        } else {
            if (existing) existing->Destroy();
            item = NewWornItem(itemSerial, graphic, 0);
        }
        item->hue = ClampGraphicId(itemHue);
        if (CClientItem* old = mobile->layers[layer]; old && old != item) old->Destroy();
        item->EquipOn(mobile, layer);
    }
    if (mobile && !mobile->detached) mobile->PlaceInCell();
    if (!r.Ok()) link_.RefusePacket(r);
}

void WorldPacketHandlers::OnWornItem(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 itemSerial = 0, mobileSerial = 0;
    u16 graphic = 0, hue = 0;
    u8 increment = 0, layer = 0;
    r.ReadLong(itemSerial);
    r.ReadShort(graphic);
    r.ReadByte(increment);
    r.ReadByte(layer);
    r.ReadLong(mobileSerial);
    r.ReadShort(hue);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (layer >= kLayerSlots) return;
    CClientWorld& world = TheClientWorld();
    const bool toPlayer = mobileSerial == PlayerSerial() && ThePlayer();
    CClientObject* target = toPlayer ? ThePlayer() : world.FindBySerial(mobileSerial);
    if (!target || !target->IsMobile()) return;
    auto* mobile = static_cast<CClientMobile*>(target);
    CClientObject* existing = world.FindBySerial(itemSerial);
    if (!MayWear(existing, *mobile)) return;
    CClientItem* item;
    if (existing && existing->IsServerObject() && !existing->IsMobile()) {
        existing->RemoveFromWorld();
        item = static_cast<CClientItem*>(existing);
        if (toPlayer) {
            item->graphic = u16(graphic & 0x3FFF);
            item->increment = s8(increment);
        }
    } else {
        if (existing) existing->Destroy();
        item = NewWornItem(itemSerial, graphic, s8(increment));
    }
    item->hue = ClampGraphicId(hue);
    const bool was = mobile->inCell != 0;
    if (was) mobile->RemoveFromCell();
    if (CClientItem* old = mobile->layers[layer]; old && old != item) old->Destroy();
    item->EquipOn(mobile, layer);
    if (was && !mobile->detached) mobile->PlaceInCell();
}

void WorldPacketHandlers::OnCorpseEquipment(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 corpseSerial = 0;
    r.ReadLong(corpseSerial);
    if (!r.Ok()) return link_.RefusePacket(r);
    CClientObject* o = TheClientWorld().FindBySerial(corpseSerial);
    CClientCorpse* corpse = o && o->IsCorpse() ? static_cast<CClientCorpse*>(o) : nullptr;
    for (int i = 0; i < kCorpseEntryLimit; ++i) {
        u8 layer = 0;
        if (!r.ReadByte(layer) || layer == 0) break;
        u32 itemSerial = 0;
        if (!r.ReadLong(itemSerial)) break;
        // Layers past the corpse's 26 slots are ignored.
        if (corpse && layer <= kCorpseLayers) corpse->layerSerials[layer] = itemSerial;
    }
}

void WorldPacketHandlers::OnMobileDeath(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0, corpse = 0, value = 0;
    r.ReadLong(serial);
    r.ReadLong(corpse);
    r.ReadLong(value);
    if (!r.Ok()) return link_.RefusePacket(r);
    CClientObject* o = TheClientWorld().FindBySerial(serial);
    if (!o || !o->IsMobile()) return;
    static_cast<CClientMobile*>(o)->Die(corpse, value == 0 ? 1 : 0);
}

void WorldPacketHandlers::OnDeathStatus(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 value = 0;
    r.ReadByte(value);
    if (!r.Ok()) return link_.RefusePacket(r);
    WorldHooks& hooks = TheWorldHooks();
    hooks.CloseOnEscapeGumps();
    if (value == 1) {
        hooks.DeleteChoiceGump();
        return;
    }
    hooks.DeleteDragGump();
    hooks.DeleteChoiceGump();
    DeathFadeStep = 1;
    CClientWorld& world = TheClientWorld();
    for (CClientObject* o = world.allHead; o; o = o->allNext)
        o->DeleteBarks();
    for (CClientItem* o = world.serverHead; o; o = o->serverNext)
        o->DeleteBarks();
    hooks.DeleteFreeBarks();
    hooks.PlayMusic(42, true, true);
    if (ThePlayer() && ThePlayer()->warMode) hooks.SetWarMode(0);
}

void WorldPacketHandlers::OnWarMode(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 mode = 0;
    r.ReadByte(mode);
    for (u8& b : warModeBytes)
        r.ReadByte(b);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (CClientPlayer* p = ThePlayer()) {
        const bool was = p->inCell != 0;
        if (was) p->RemoveFromCell();
        p->warMode = mode ? 1 : 0;
        if (was) p->PlaceInCell();
    }
    TheWorldHooks().RefreshPlayerStatus();
}

void WorldPacketHandlers::OnAttackTarget(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    r.ReadLong(serial);
    if (!r.Ok()) return link_.RefusePacket(r);
    const u32 old = TheClientWorld().attackTarget;
    TheClientWorld().attackTarget = serial;
    if (CClientObject* o = TheClientWorld().FindBySerial(old)) o->Invalidate();
    if (CClientObject* o = TheClientWorld().FindBySerial(serial)) o->Invalidate();
}

void WorldPacketHandlers::OnSwing(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 unused = 0;
    u32 attacker = 0, defender = 0;
    r.ReadByte(unused);
    r.ReadLong(attacker);
    r.ReadLong(defender);
    if (!r.Ok()) return link_.RefusePacket(r);
    TheClientWorld().lastSwingTarget = defender;
}

void WorldPacketHandlers::OnPacket30(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    r.ReadLong(serial);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (CClientPlayer* p = ThePlayer()) p->targetObject = TheClientWorld().FindBySerial(serial);
}

void WorldPacketHandlers::OnPacket31(const u8*, size_t) {
    if (CClientPlayer* p = ThePlayer()) p->targetObject = nullptr;
}
