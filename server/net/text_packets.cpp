#include "server/net/text_packets.h"

#include <cstdio>
#include <cstring>

#include "server/net/packet_build.h"
#include "server/world/player.h"
#include "server/world/object_manager.h"

namespace {

constexpr size_t kNameField = 30;
constexpr int kNameAnswerRange = 18;

size_t CappedLength(const char* text, size_t cap) {
    return text ? strnlen(text, cap) : 0;
}

// A text's length + 1 (u16) and the text with its terminator.
void AppendCountedText(PacketWriter& w, const char* text) {
    const size_t length = CappedLength(text, 0xFFFE);
    w.AppendShort(static_cast<u16>(length + 1));
    w.AppendBytes(text, length);
    w.AppendByte(0);
}

void AppendMessageHeader(PacketWriter& w, u8 id, u32 serial, int graphic, int type, int hue,
                         int font) {
    w.Begin(id, true);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(graphic));
    w.AppendByte(static_cast<u8>(type));
    w.AppendShort(FieldWord(hue));
    w.AppendShort(FieldWord(font));
}

void AppendMessageText(PacketWriter& w, const char* text) {
    w.AppendBytes(text, CappedLength(text, kMaxTextMessageChars));
    w.AppendByte(0);
}

}  // namespace

std::string SpeakerNameField(const CBaseObject* speaker, bool gameMasterInGmBody) {
    const CItem* item = speaker ? speaker->AsItem() : nullptr;
    if (!item || !(item->IsPlayer() || item->IsNPC())) return {};
    std::string name = item->GetRealName();
    if (item->IsPlayer() && gameMasterInGmBody) name = "GM " + name;
    if (name.size() > kNameField) name.resize(kNameField);
    return name;
}

bool BuildTextMessagePacket(PacketWriter& w, const CBaseObject* speaker, int type, const char* text,
                            int hue, int font, bool gameMasterInGmBody) {
    const CItem* item = speaker ? speaker->AsItem() : nullptr;
    const u32 serial = item ? item->GetSerial() : 0xFFFFFFFFu;
    const int graphic = speaker ? speaker->GetType() : 0xFFFF;
    const std::string name = SpeakerNameField(speaker, gameMasterInGmBody);
    AppendMessageHeader(w, 0x1C, serial, graphic, type, hue, font);
    w.AppendFixedText(name.c_str(), kNameField);
    AppendMessageText(w, text);
    return FinishPacket(w, 0x1C);
}

bool BuildTextMessageFromPacket(PacketWriter& w, u32 serial, int graphic, const char* name,
                                int type, const char* text, int hue, int font) {
    AppendMessageHeader(w, 0x1C, serial, graphic, type, hue, font);
    w.AppendFixedText(name, kNameField);
    AppendMessageText(w, text);
    return FinishPacket(w, 0x1C);
}

bool BuildStringQueryPacket(PacketWriter& w, u32 serial, int id, const char* prompt, int a, int b,
                            u32 c, const char* defaultText) {
    w.Begin(0xAB, true);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(id));
    AppendCountedText(w, prompt);
    w.AppendByte(static_cast<u8>(a));
    w.AppendByte(static_cast<u8>(b));
    w.AppendLong(c);
    AppendCountedText(w, defaultText);
    return FinishPacket(w, 0xAB);
}

bool BuildTextEntryPacket(PacketWriter& w, u32 serial, u32 a, u32 b, const char* prompt) {
    w.Begin(0x9A, true);
    w.AppendLong(serial);
    w.AppendLong(a);
    w.AppendLong(b);
    w.AppendCText(prompt);
    return FinishPacket(w, 0x9A);
}

bool BuildWebBrowsePacket(PacketWriter& w, const char* url) {
    w.Begin(0xA5, true);
    w.AppendCText(url);
    return FinishPacket(w, 0xA5);
}

std::string NoticeText(const std::string& lines) {
    std::string text;
    std::string line;
    bool ended = false;
    auto endLine = [&] {
        if (line.empty()) {
            text += '\r';
        } else {
            text += line;
            text += ' ';
        }
        line.clear();
    };
    for (size_t i = 0; i < lines.size() && !ended; ++i) {
        const char ch = lines[i];
        if (static_cast<u8>(ch) == 0xFF) {
            ended = true;
        } else if (ch == '\n') {
            endLine();
        } else if (ch != '\r') {
            line += ch;
        }
    }
    // A last line without its line feed still counts.
    if (!line.empty()) endLine();
    return text;
}

bool BuildNoticePacket(PacketWriter& w, int type, int number, const std::string* fileBytes) {
    std::string text;
    if (type == kNoticeUpdate) {
        number = 0;
        if (!fileBytes) {
            text = "MISSING UPDATE";
        } else {
            const size_t firstEnd = fileBytes->find('\n');
            const std::string first = fileBytes->substr(0, firstEnd);
            if (std::sscanf(first.c_str(), "%d", &number) != 1) number = 0;
            if (firstEnd != std::string::npos) text = NoticeText(fileBytes->substr(firstEnd + 1));
        }
    } else if (fileBytes) {
        text = NoticeText(*fileBytes);
    }
    if (text.size() > 0xFFFF) return RefusePacket(0xA6, "notice text over 65535 bytes");
    w.Begin(0xA6, true);
    w.AppendByte(static_cast<u8>(type));
    w.AppendLong(static_cast<u32>(number));
    w.AppendShort(static_cast<u16>(text.size()));
    w.AppendBytes(text.data(), text.size());
    return FinishPacket(w, 0xA6);
}

int MenuItemTextLength(const char* text) {
    if (!text) return 0;
    const size_t length = strnlen(text, 255);
    return length == 0 ? 1 : static_cast<int>(length);
}

bool BuildMenuPacket(PacketWriter& w, u32 serial, int menuId, const char* title,
                     const std::vector<MenuEntry>& entries) {
    const size_t titleLength = CappedLength(title, 255);
    const size_t count = entries.size() > 255 ? 255 : entries.size();
    w.Begin(0x7C, true);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(menuId));
    w.AppendByte(static_cast<u8>(titleLength));
    w.AppendBytes(title, titleLength);
    w.AppendByte(static_cast<u8>(count));
    for (size_t i = 0; i < count; ++i) {
        const MenuEntry& e = entries[i];
        const int length = MenuItemTextLength(e.text);
        w.AppendShort(e.graphic);
        w.AppendShort(e.hue);
        w.AppendByte(static_cast<u8>(length));
        // An empty text sends its terminator as its one byte.
        if (length > 0) w.AppendFixedText(e.text, static_cast<size_t>(length));
    }
    return FinishPacket(w, 0x7C);
}

bool BuildTargetCursorPacket(PacketWriter& w, int kind, u32 id, int flag) {
    w.Begin(0x6C, false);
    w.AppendByte(static_cast<u8>(kind));
    w.AppendLong(id);
    w.AppendByte(static_cast<u8>(flag));
    w.AppendZeros(12);
    return FinishPacket(w, 0x6C);
}

bool BuildMultiTargetPacket(PacketWriter& w, u32 serial, const int (&values)[4]) {
    w.Begin(0x99, false);
    w.AppendByte(1);
    w.AppendLong(serial);
    w.AppendZeros(12);
    for (int v : values)
        w.AppendShort(FieldWord(v));
    return FinishPacket(w, 0x99);
}

namespace {
constexpr size_t kObjectListValuesPerObject = 5;
}  // namespace

bool BuildObjectListTargetPacket(PacketWriter& w, u32 serial, int a, int b, int c,
                                 const std::vector<int>& list) {
    w.Begin(0xB4, true);
    w.AppendByte(1);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(a));
    w.AppendShort(FieldWord(b));
    w.AppendShort(FieldWord(c));
    w.AppendShort(FieldWord(static_cast<int>(list.size() / kObjectListValuesPerObject)));
    for (int v : list)
        w.AppendShort(FieldWord(v));
    return FinishPacket(w, 0xB4);
}

bool BuildHuePickerPacket(PacketWriter& w, u32 serial, int id, int graphic) {
    w.Begin(0x95, false);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(id));
    w.AppendShort(FieldWord(graphic));
    return FinishPacket(w, 0x95);
}

bool BuildGenericGumpPacket(PacketWriter& w, u32 serial, u32 a, u32 b, u32 c,
                            const std::vector<GumpEntry>& layout,
                            const std::vector<GumpEntry>& texts) {
    std::string joined;
    for (const GumpEntry& e : layout) {
        if (e.kind != GumpEntry::Kind::kNarrow) continue;
        joined += e.narrow;
        if (joined.size() >= kMaxGumpLayoutBytes)
            return RefusePacket(0xB0, "gump layout over 16384 bytes");
    }
    w.Begin(0xB0, true);
    w.AppendLong(serial);
    w.AppendLong(a);
    w.AppendLong(b);
    w.AppendLong(c);
    w.AppendShort(static_cast<u16>(joined.size() + 1));
    w.AppendCText(joined.c_str());
    w.AppendShort(FieldWord(static_cast<int>(texts.size())));
    for (const GumpEntry& e : texts) {
        if (e.kind == GumpEntry::Kind::kWide) {
            w.AppendShort(FieldWord(static_cast<int>(e.wide.size())));
            for (char16_t unit : e.wide)
                w.AppendShort(static_cast<u16>(unit));
        } else if (e.kind == GumpEntry::Kind::kNarrow) {
            w.AppendShort(FieldWord(static_cast<int>(e.narrow.size())));
            for (char ch : e.narrow)
                w.AppendShort(static_cast<u8>(ch));
        } else {
            w.AppendShort(0);
        }
        if (!w.Ok()) break;
    }
    return FinishPacket(w, 0xB0);
}

bool BuildNameAnswerPacket(PacketWriter& w, const CPlayer& player, u32 serial) {
    CItem* found = g_objectManager.FindNear(player, serial, kNameAnswerRange);
    const CMobile* mobile = found ? found->AsMobile() : nullptr;
    w.Begin(0x98, true);
    w.AppendLong(serial);
    w.AppendFixedText(mobile ? mobile->GetRealName() : nullptr, kNameField);
    return FinishPacket(w, 0x98);
}

bool BuildSignGumpPacket(PacketWriter& w, u32 serial, int gump, const char* text1,
                         const char* text2) {
    w.Begin(0x8B, true);
    w.AppendLong(serial);
    w.AppendShort(FieldWord(gump));
    AppendCountedText(w, text1);
    AppendCountedText(w, text2);
    return FinishPacket(w, 0x8B);
}

bool BuildSequencePacket(PacketWriter& w, int value) {
    return BuildOneBytePacket(w, 0x7B, value);
}

bool BuildGmRequestPacket(PacketWriter& w, int a, int b, u32 serial, const char* name,
                          const char* field, const char* text) {
    w.Begin(0x9C, false);
    w.AppendByte(static_cast<u8>(a));
    w.AppendByte(static_cast<u8>(b));
    w.AppendLong(serial);
    w.AppendFixedText(name, 31);
    w.AppendFixedText(field, 15);
    w.AppendFixedText(text, 256);
    return FinishPacket(w, 0x9C);
}
