#pragma once
// Helpers of the packet builder tests: a packet's bytes, hex fixtures, and the world values
// the builders take from the caller.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/packet_reader.h"
#include "core/packet_writer.h"
#include "platform/types.h"
#include "server/net/object_packets.h"
#include "server/world/item.h"

// A packet buffer with a writer of its own; large enough for any packet.
struct BuiltPacket {
    std::vector<u8> buffer = std::vector<u8>(70000);
    PacketWriter w{buffer.data(), buffer.size()};
    std::vector<u8> Bytes() const { return std::vector<u8>(w.Data(), w.Data() + w.Length()); }
};

// "1A 00 0E" -> bytes.
inline std::vector<u8> Hex(const std::string& text) {
    std::vector<u8> out;
    unsigned value = 0;
    int digits = 0;
    for (char ch : text) {
        if (ch == ' ') continue;
        value = value * 16 + static_cast<unsigned>(ch <= '9' ? ch - '0' : (ch | 0x20) - 'a' + 10);
        if (++digits == 2) {
            out.push_back(static_cast<u8>(value));
            value = 0;
            digits = 0;
        }
    }
    return out;
}

inline std::vector<u8> Concat(std::initializer_list<std::vector<u8>> parts) {
    std::vector<u8> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline std::vector<u8> Text(const std::string& text) {
    return std::vector<u8>(text.begin(), text.end());
}

inline u16 Be16(const std::vector<u8>& b, size_t at) {
    return static_cast<u16>(b.at(at) << 8 | b.at(at + 1));
}
inline u32 Be32(const std::vector<u8>& b, size_t at) {
    return u32(b.at(at)) << 24 | u32(b.at(at + 1)) << 16 | u32(b.at(at + 2)) << 8 | b.at(at + 3);
}

// The fields of a text message (0x1C) as the protocol's reader takes them; `ok` is false when
// the packet is cut short or its text is not terminated.
struct TextMessageFields {
    bool ok = false;
    u8 id = 0;
    u32 serial = 0;
    u16 graphic = 0;
    u8 type = 0;
    u16 hue = 0, font = 0;
    std::string name, text;
};
inline TextMessageFields ReadTextMessage(const std::vector<u8>& packet) {
    TextMessageFields f;
    PacketReader r(packet.data(), packet.size(), 3);
    char name[31] = {};
    const char* text = nullptr;
    r.ReadLong(f.serial);
    r.ReadShort(f.graphic);
    r.ReadByte(f.type);
    r.ReadShort(f.hue);
    r.ReadShort(f.font);
    r.ReadFixedText(name, sizeof name, 30);
    r.ReadCText(text);
    f.ok = r.Ok();
    f.id = r.Id();
    if (f.ok) {
        f.name = name;
        f.text = text;
    }
    return f;
}

// Resource units, spellbook entries and multi types by serial (default: 0, 0, none).
struct FakeItemValues : ItemPacketValues {
    std::map<u32, int> units, entries, multis;
    int ResourceUnits(const CItem& item) const override { return Find(units, item, 0); }
    int SpellbookEntry(const CItem& item) const override { return Find(entries, item, 0); }
    int MultiType(const CItem& item) const override { return Find(multis, item, -1); }
    static int Find(const std::map<u32, int>& m, const CItem& item, int otherwise) {
        auto it = m.find(item.GetSerial());
        return it == m.end() ? otherwise : it->second;
    }
};
