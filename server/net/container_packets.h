#pragma once
// Builders of the packets about containers, dragged and dropped items, secure trades, vendor
// lists and maps. Same rules as the object packets: one writer per packet, each builder
// answers w.Ok() and a packet past its buffer or 65,535 bytes is not to be sent (logged).
#include <functional>
#include <string>
#include <vector>

#include "core/location.h"
#include "core/packet_writer.h"
#include "platform/types.h"
#include "server/net/object_packets.h"

class CContainer;

// 0x24: a container or gump opens.
constexpr size_t kOpenGumpLength = 7;
bool BuildOpenGumpPacket(PacketWriter& w, u32 serial, int gump);

// 0x25: one item added to a container.
constexpr size_t kContainerItemLength = 20;
bool BuildContainerItemPacket(PacketWriter& w, const CItem& item, const CContainer& container,
                              const ItemPacketValues& values);

// 0x3C: a container's contents, at most 128 items, from the last child toward the first.
constexpr int kMaxContainerContentsItems = 128;
constexpr size_t kMaxContainerContentsLength = 5 + kMaxContainerContentsItems * 19;
bool BuildContainerContentsPacket(PacketWriter& w, const CContainer& container, bool skipEmpty,
                                  bool shopUnits, const ItemPacketValues& values);

// What 0x23 shows moving from one place to another.
struct DragEffect {
    u16 graphic = 0;
    u8 increment = 0;
    u16 hue = 0;
    u16 amount = 0;
    u32 sourceSerial = 0;
    Location source;
    u32 targetSerial = 0;
    Location target;
};
constexpr size_t kDragEffectLength = 26;
bool BuildDragEffectPacket(PacketWriter& w, const DragEffect& drag);

// 0x27, 0x28, 0x29: pick-up refused, drop refused, drop or equip accepted.
constexpr size_t kPickUpRejectLength = 2;
bool BuildPickUpRejectPacket(PacketWriter& w, int reason);
constexpr size_t kDropRejectLength = 5;
bool BuildDropRejectPacket(PacketWriter& w, int a, int b);
constexpr size_t kDropAcceptLength = 1;
bool BuildDropAcceptPacket(PacketWriter& w);

// 0x2A: one 32-bit value (nothing sends it).
constexpr size_t kObjectSignalLength = 5;
bool BuildObjectSignalPacket(PacketWriter& w, u32 value);

// 0x6F: a secure-trade action with three serials and, when not empty, a name of 30 bytes.
constexpr size_t kMaxSecureTradeLength = 3 + 1 + 12 + 1 + 30;
bool BuildSecureTradePacket(PacketWriter& w, int action, u32 a, u32 b, u32 c, const char* name);

// 0x74: a vendor's list for a container: at most 250 entries, prices at `percent` of the
// shopkeeper's price (the shop rules give the price of an item).
using ShopPriceFn = std::function<int(const CItem& item)>;
constexpr int kMaxShopEntries = 250;
constexpr int kMaxShopNameLength = 100;
constexpr size_t kMaxShopListLength = 8 + kMaxShopEntries * (4 + 1 + kMaxShopNameLength);
bool BuildShopListPacket(PacketWriter& w, const CContainer& container, int percent,
                         bool onlyStocked, const ShopPriceFn& priceOf,
                         const ItemPacketValues& values);

// One item a vendor buys.
struct SellEntry {
    u32 serial = 0;
    u16 graphic = 0;
    u16 hue = 0;
    u16 amount = 0;
    u16 price = 0;
    std::string name;
};
// 0x9E grows with the names, up to the protocol's limit.
constexpr size_t kMaxSellListLength = PacketWriter::kMaxPacketLength;
// 0x9E: what a vendor buys (the shop code collects at most 250 entries).
bool BuildSellListPacket(PacketWriter& w, u32 vendorSerial, const std::vector<SellEntry>& entries);

// 0x3B: closes a vendor's shop windows (flag 0) or only clears the list (flag 1).
constexpr size_t kShopCloseLength = 8;
bool BuildShopClosePacket(PacketWriter& w, u32 vendorSerial, int flag);

// 0x90: shows a map: gump art and the map's six properties.
constexpr size_t kMapDisplayLength = 19;
bool BuildMapDisplayPacket(PacketWriter& w, u32 serial, int art, const int (&properties)[6]);

// 0x56: a course-map pin.
constexpr size_t kMapPinLength = 11;
bool BuildMapPinPacket(PacketWriter& w, u32 serial, int action, int pin, int x, int y);
