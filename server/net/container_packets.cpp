#include "server/net/container_packets.h"

#include <cctype>
#include <cstring>

#include "server/net/packet_build.h"
#include "server/world/container.h"

namespace {

int ChildCount(const CContainer& container) {
    int count = 0;
    for (const CItem* child = container.GetFirstChild(); child; child = child->GetNextSibling())
        ++count;
    return count;
}

const CItem* LastChild(const CContainer& container) {
    const CItem* last = container.GetFirstChild();
    while (last && last->GetNextSibling())
        last = last->GetNextSibling();
    return last;
}

// The amount 0x25 gives an item in a container.
int ContainedAmount(const CItem& item, const CContainer& container,
                    const ItemPacketValues& values) {
    if (container.IsSpellbook()) return values.SpellbookEntry(item);
    return ItemPacketAmount(item, values);
}

void AppendContainedItem(PacketWriter& w, const CItem& item, int amount, u32 containerSerial) {
    const Location& at = item.GetLocation();
    w.AppendLong(item.GetSerial());
    w.AppendShort(item.GetType());
    w.AppendByte(GraphicIncrement(item));
    w.AppendShort(FieldWord(amount));
    w.AppendShort(at.x);
    w.AppendShort(at.y);
    w.AppendLong(containerSerial);
    w.AppendShort(item.GetHue());
}

}  // namespace

bool BuildOpenGumpPacket(PacketWriter& w, u32 serial, int gump) {
    w.Begin(0x24, false);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(gump));
    return FinishPacket(w, 0x24);
}

bool BuildContainerItemPacket(PacketWriter& w, const CItem& item, const CContainer& container,
                              const ItemPacketValues& values) {
    w.Begin(0x25, false);
    AppendContainedItem(w, item, ContainedAmount(item, container, values), container.GetSerial());
    return FinishPacket(w, 0x25);
}

bool BuildContainerContentsPacket(PacketWriter& w, const CContainer& container, bool skipEmpty,
                                  bool shopUnits, const ItemPacketValues& values) {
    const bool spellbook = container.IsSpellbook();
    auto listedAmount = [&](const CItem& child) {
        if (spellbook) return values.SpellbookEntry(child);
        if (shopUnits) return values.ResourceUnits(child);
        return child.GetQuantity();
    };
    int sent = 0;
    if (skipEmpty) {
        for (const CItem* c = container.GetFirstChild(); c; c = c->GetNextSibling())
            sent += listedAmount(*c) != 0 ? 1 : 0;
    } else {
        sent = ChildCount(container);
    }
    if (sent > kMaxContainerContentsItems) sent = kMaxContainerContentsItems;

    w.Begin(0x3C, true);
    w.AppendShort(FieldWord(sent));
    int written = 0;
    for (const CItem* c = LastChild(container); c && written < sent; c = c->GetPrevSibling()) {
        const int listed = listedAmount(*c);
        if (skipEmpty && listed == 0) continue;
        const int amount =
            (skipEmpty || spellbook) ? listed : ContainedAmount(*c, container, values);
        AppendContainedItem(w, *c, amount, container.GetSerial());
        ++written;
    }
    return FinishPacket(w, 0x3C);
}

bool BuildDragEffectPacket(PacketWriter& w, const DragEffect& d) {
    w.Begin(0x23, false);
    w.AppendShort(d.graphic);
    w.AppendByte(d.increment);
    w.AppendShort(d.hue);
    w.AppendShort(d.amount);
    w.AppendLong(d.sourceSerial);
    w.AppendShort(d.source.x);
    w.AppendShort(d.source.y);
    w.AppendByte(static_cast<u8>(d.source.z));
    w.AppendLong(d.targetSerial);
    w.AppendShort(d.target.x);
    w.AppendShort(d.target.y);
    w.AppendByte(static_cast<u8>(d.target.z));
    return FinishPacket(w, 0x23);
}

bool BuildPickUpRejectPacket(PacketWriter& w, int reason) {
    return BuildOneBytePacket(w, 0x27, reason);
}

bool BuildDropRejectPacket(PacketWriter& w, int a, int b) {
    w.Begin(0x28, false);
    w.AppendShort(FieldWord(a));
    w.AppendShort(FieldWord(b));
    return FinishPacket(w, 0x28);
}

bool BuildDropAcceptPacket(PacketWriter& w) {
    return BuildIdOnlyPacket(w, 0x29);
}

bool BuildObjectSignalPacket(PacketWriter& w, u32 value) {
    return BuildOneLongPacket(w, 0x2A, value);
}

bool BuildSecureTradePacket(PacketWriter& w, int action, u32 a, u32 b, u32 c, const char* name) {
    w.Begin(0x6F, true);
    w.AppendByte(static_cast<u8>(action));
    w.AppendLong(a);
    w.AppendLong(b);
    w.AppendLong(c);
    if (name && *name) {
        w.AppendByte(1);
        w.AppendFixedText(name, 30);
    } else {
        w.AppendByte(0);
    }
    return FinishPacket(w, 0x6F);
}

bool BuildShopListPacket(PacketWriter& w, const CContainer& container, int percent,
                         bool onlyStocked, const ShopPriceFn& priceOf,
                         const ItemPacketValues& values) {
    w.Begin(0x74, true);
    w.AppendLong(container.GetSerial());
    const size_t countOffset = w.Length();
    w.AppendByte(0);
    int listed = 0;
    for (const CItem* c = container.GetFirstChild(); c && listed < kMaxShopEntries;
         c = c->GetNextSibling()) {
        if (onlyStocked && values.ResourceUnits(*c) == 0) continue;
        long long price = static_cast<long long>(priceOf(*c)) * percent / 100;
        if (price < 0) price = 1;
        // The shown name with its first character in upper case; the length byte counts the
        // terminator, which a name of 100 characters or more leaves out.
        char name[kMaxShopNameLength + 1] = {};
        const char* shown = c->GetName(0);
        std::strncpy(name, shown ? shown : "", kMaxShopNameLength);
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        size_t length = std::strlen(name) + 1;
        if (length > kMaxShopNameLength) length = kMaxShopNameLength;
        w.AppendLong(static_cast<u32>(price));
        w.AppendByte(static_cast<u8>(length));
        w.AppendBytes(name, length);
        ++listed;
    }
    w.PatchByte(countOffset, static_cast<u8>(listed));
    return FinishPacket(w, 0x74);
}

bool BuildSellListPacket(PacketWriter& w, u32 vendorSerial, const std::vector<SellEntry>& entries) {
    w.Begin(0x9E, true);
    w.AppendLong(vendorSerial);
    w.AppendShort(FieldWord(static_cast<int>(entries.size())));
    for (const SellEntry& e : entries) {
        const size_t length = e.name.size() > 0xFFFF ? 0xFFFF : e.name.size();
        w.AppendLong(e.serial);
        w.AppendShort(e.graphic);
        w.AppendShort(e.hue);
        w.AppendShort(e.amount);
        w.AppendShort(e.price);
        w.AppendShort(static_cast<u16>(length));
        w.AppendBytes(e.name.data(), length);
    }
    return FinishPacket(w, 0x9E);
}

bool BuildShopClosePacket(PacketWriter& w, u32 vendorSerial, int flag) {
    w.Begin(0x3B, true);
    w.AppendLong(vendorSerial);
    w.AppendByte(static_cast<u8>(flag));
    return FinishPacket(w, 0x3B);
}

bool BuildMapDisplayPacket(PacketWriter& w, u32 serial, int art, const int (&properties)[6]) {
    w.Begin(0x90, false);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(art));
    for (int p : properties)
        w.AppendShort(FieldWord(p));
    return FinishPacket(w, 0x90);
}

bool BuildMapPinPacket(PacketWriter& w, u32 serial, int action, int pin, int x, int y) {
    w.Begin(0x56, false);
    w.AppendLong(serial);
    w.AppendByte(static_cast<u8>(action));
    w.AppendByte(static_cast<u8>(pin));
    w.AppendShort(FieldWord(x));
    w.AppendShort(FieldWord(y));
    return FinishPacket(w, 0x56);
}
