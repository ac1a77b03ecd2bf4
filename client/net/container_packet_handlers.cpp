#include "client/net/container_packet_handlers.h"

#include <iterator>

#include "client/net/client_link.h"
#include "client/net/object_window_hooks.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/world/client_world.h"
#include "client/world/system_message.h"
#include "core/packet_reader.h"

namespace {

constexpr u32 kNoObject = 0xFFFFFFFFu;
constexpr u16 kSpellbookGump = 0xFFFF;
constexpr u16 kPaperdollGump = 10;
constexpr u16 kShopGump = 48;
constexpr u16 kRadarGump = 5010;
constexpr u16 kSmallRadarGump = 5011;
constexpr u16 kPlainGumps[] = {500, 501};

// The reasons a pick-up is refused, as the player reads them (the others say nothing).
constexpr const char* kRefusals[] = {
    "You can not pick that up.",
    "That is too far away.",
    "That is out of sight.",
    "That item does not belong to you.  You'll have to steal it.",
    "You are already holding an item.",
};

bool IsContainer(const CClientObject* o) {
    return o != nullptr && o->UsesCellShift();
}

bool ReadContained(PacketReader& r, ContainedItem& item) {
    r.ReadLong(item.serial);
    r.ReadShort(item.graphic);
    r.ReadByte(item.increment);
    r.ReadShort(item.amount);
    r.ReadShort(item.x);
    r.ReadShort(item.y);
    r.ReadLong(item.container);
    r.ReadShort(item.hue);
    return r.Ok();
}

void AddContained(const ContainedItem& e) {
    TheClientWorld().AddContainedObject(e.serial, e.graphic, s8(e.increment), e.amount, e.x, e.y,
                                        e.container, e.hue);
}

}  // namespace

void ContainerPacketHandlers::Install(ServerPacketDispatcher& d) {
    static const HandlerRow<ContainerPacketHandlers> kRows[] = {
        {0x24, &ContainerPacketHandlers::OnOpenGump},
        {0x25, &ContainerPacketHandlers::OnContainerItem},
        {0x3C, &ContainerPacketHandlers::OnContainerContents},
        {0x27, &ContainerPacketHandlers::OnPickUpRefused},
        {0x28, &ContainerPacketHandlers::OnDropCleared},
        {0x29, &ContainerPacketHandlers::OnDropAccepted},
    };
    InstallHandlerRows(d, *this, kRows);
}

void ContainerPacketHandlers::OnOpenGump(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u32 serial = 0;
    u16 gump = 0;
    r.ReadLong(serial);
    r.ReadShort(gump);
    if (!r.Ok()) return link_.RefusePacket(r);
    ObjectWindowHooks& windows = TheObjectWindowHooks();
    if (serial == kNoObject) return windows.OpenGump(0, gump, false);
    // The radar's serial says open (1) or close (0); it names no object.
    if (gump == kRadarGump || gump == kSmallRadarGump) {
        if (serial == 1) windows.OpenGump(0, gump, false);
        if (serial == 0) windows.CloseRadar();
        return;
    }
    const CClientObject* object = TheClientWorld().FindBySerial(serial);
    if (object == nullptr) return;
    if (gump == kSpellbookGump) {
        if (!IsContainer(object) || !windows.RefreshContainerWindow(serial))
            windows.OpenSpellbook(serial);
        return;
    }
    // A paperdoll or a shop of a container (every mobile is one) opens the container window
    // as well.
    if (gump == kPaperdollGump || gump == kShopGump) windows.OpenGump(serial, gump, false);
    for (u16 plain : kPlainGumps) {
        if (gump == plain) return windows.OpenGump(serial, gump, false);
    }
    if (IsContainer(object)) windows.OpenGump(serial, gump, true);
}

void ContainerPacketHandlers::OnContainerItem(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    ContainedItem item;
    if (!ReadContained(r, item)) return link_.RefusePacket(r);
    TheClientWorld().listingContents = false;
    AddContained(item);
}

void ContainerPacketHandlers::OnContainerContents(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u16 count = 0;
    r.ReadShort(count);
    // Every entry is read before any is applied: a list that claims more entries than the
    // packet holds changes nothing.
    entries_.resize(count);
    for (ContainedItem& e : entries_)
        ReadContained(r, e);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (entries_.empty()) return;
    CClientWorld& world = TheClientWorld();
    ObjectWindowHooks& windows = TheObjectWindowHooks();
    world.listingContents = true;
    if (CClientObject* first = world.FindBySerial(entries_.front().container);
        IsContainer(first)) {
        auto* container = static_cast<CClientContainer*>(first);
        // A vendor's box worn by the vendor: its open shop goes with the old contents.
        if (container->holder != nullptr && container->holder->IsMobile())
            windows.CloseShopWindows(static_cast<CClientItem*>(container->holder)->serial, false);
        container->DeleteContents();
    }
    for (const ContainedItem& e : entries_)
        AddContained(e);
    world.listingContents = false;
    const u32 last = entries_.back().container;
    if (IsContainer(world.FindBySerial(last))) windows.RefreshContainerWindow(last);
}

void ContainerPacketHandlers::OnPickUpRefused(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 reason = 0;
    r.ReadByte(reason);
    if (!r.Ok()) return link_.RefusePacket(r);
    CClientWorld& world = TheClientWorld();
    world.ReturnDraggedItem();
    TheWorldHooks().DeleteDragGump();
    world.dragging = 0;
    if (reason < std::size(kRefusals)) ShowSystemMessage(0, 3, kRefusals[reason]);
}

void ContainerPacketHandlers::OnDropCleared(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u16 ignored = 0;
    r.ReadShort(ignored);
    r.ReadShort(ignored);
    if (!r.Ok()) return link_.RefusePacket(r);
    TheClientWorld().dragging = 0;
}

void ContainerPacketHandlers::OnDropAccepted(const u8*, size_t) {
    TheClientWorld().dragging = 0;
}
