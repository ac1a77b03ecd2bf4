#include "client/net/trade_packet_handlers.h"

#include <string>
#include <vector>

#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/net/object_window_hooks.h"
#include "client/net/packet_text.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/world/client_world.h"
#include "core/packet_reader.h"
#include "core/packet_writer.h"

namespace {

constexpr u8 kTradeStart = 0, kTradeClose = 1, kTradeUpdate = 2;
constexpr u8 kCancelTrade = 1;
constexpr size_t kTraderNameWidth = 30;

bool IsKnownMobile(u32 serial) {
    const CClientObject* o = TheClientWorld().FindBySerial(serial);
    return o != nullptr && o->IsMobile();
}

}  // namespace

void TradePacketHandlers::Install(ServerPacketDispatcher& d) {
    static const HandlerRow<TradePacketHandlers> kRows[] = {
        {0x6F, &TradePacketHandlers::OnSecureTrade},
        {0x74, &TradePacketHandlers::OnShopList},
        {0x9E, &TradePacketHandlers::OnSellList},
        {0x3B, &TradePacketHandlers::OnShopClose},
    };
    InstallHandlerRows(d, *this, kRows);
}

void TradePacketHandlers::OnSecureTrade(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u8 action = 0, hasName = 0;
    u32 first = 0, second = 0, third = 0;
    char name[kTraderNameWidth + 1] = {};
    r.ReadByte(action);
    r.ReadLong(first);
    r.ReadLong(second);
    r.ReadLong(third);
    r.ReadByte(hasName);
    if (hasName) r.ReadFixedText(name, sizeof name, kTraderNameWidth);
    if (!r.Ok()) return link_.RefusePacket(r);
    ObjectWindowHooks& windows = TheObjectWindowHooks();
    if (action == kTradeStart) {
        if (!IsKnownMobile(first)) return;
        if (!windows.IsIgnored(first)) return windows.OpenTradeWindow(first, second, third, name);
        // The player ignores this trader: the trade is cancelled unseen.
        u8 buffer[32];
        PacketWriter w(buffer, sizeof buffer);
        BuildTradeActionPacket(w, kCancelTrade, second, 0);
        link_.Send(w);
        return;
    }
    const CClientObject* box = TheClientWorld().FindBySerial(first);
    if (box == nullptr || !box->UsesCellShift()) return;
    if (action == kTradeClose) windows.CloseTradeWindow(first);
    if (action == kTradeUpdate) windows.SetTradeChecks(first, second != 0, third != 0);
}

void TradePacketHandlers::OnShopList(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 serial = 0;
    u8 count = 0;
    r.ReadLong(serial);
    r.ReadByte(count);
    if (!r.Ok()) return link_.RefusePacket(r);
    const CClientObject* found = TheClientWorld().FindBySerial(serial);
    if (found == nullptr || !found->UsesCellShift()) return;
    const auto* box = static_cast<const CClientContainer*>(found);
    for (CClientObject* o = box->contents; o; o = o->allNext) {
        if (!o->IsServerObject()) continue;
        auto* item = static_cast<CClientItem*>(o);
        item->shopPrice = 0;
        item->shopName = std::string();
    }
    // Entries and the box's items pair up in order, as far as both go.
    CClientObject* o = box->contents;
    for (int i = 0; i < count && o != nullptr; ++i, o = o->allNext) {
        u32 price = 0;
        u8 nameLength = 0;
        r.ReadLong(price);
        r.ReadByte(nameLength);
        if (!r.Ok()) return link_.RefusePacket(r);
        // A name is sent with its terminator; its last byte is always taken for it. A name
        // cut by the packet's end ends there.
        const bool cut = nameLength > r.Remaining();
        const size_t taken = cut ? r.Remaining() : nameLength;
        std::string name = ReadCountedText(r, taken);
        if (!cut && taken > 0 && name.size() == taken) name.pop_back();
        if (o->IsServerObject()) {
            auto* item = static_cast<CClientItem*>(o);
            item->shopPrice = price;
            item->shopName = std::move(name);
        }
        if (cut) break;
    }
}

void TradePacketHandlers::OnSellList(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 vendor = 0;
    u16 count = 0;
    r.ReadLong(vendor);
    r.ReadShort(count);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (vendor == 0 || count == 0) return;
    std::vector<SellOffer> offers(count);
    for (SellOffer& offer : offers) {
        u16 nameLength = 0;
        r.ReadLong(offer.serial);
        r.ReadShort(offer.graphic);
        r.ReadShort(offer.hue);
        r.ReadShort(offer.amount);
        r.ReadShort(offer.price);
        r.ReadShort(nameLength);
        offer.name = ReadCountedText(r, nameLength);
    }
    if (!r.Ok()) return link_.RefusePacket(r);
    if (!IsKnownMobile(vendor)) return;
    ObjectWindowHooks& windows = TheObjectWindowHooks();
    windows.CloseShopWindows(vendor, false);
    windows.OpenSellWindow(vendor, offers);
}

void TradePacketHandlers::OnShopClose(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 vendor = 0;
    u8 flag = 0;
    r.ReadLong(vendor);
    r.ReadByte(flag);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (!IsKnownMobile(vendor)) return;
    if (flag == 1) TheObjectWindowHooks().ClearShopLists(vendor);
    if (flag == 0) TheObjectWindowHooks().CloseShopWindows(vendor, true);
}
