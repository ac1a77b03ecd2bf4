#include "client/net/client_packets.h"

#include "client/net/client_connection.h"
#include "core/packet_writer.h"
#include "core/protocol/packet_table.h"

namespace {

// Opens the create-character, play-character and status-request packets.
constexpr u32 kLoginMarker = 0xEDEDEDEDu;

void Text(PacketWriter& w, const std::string& text, size_t width) {
    w.AppendFixedText(text.c_str(), width);
}

// A text with its zero, its length (zero included) written first in one byte.
void ByteCountedText(PacketWriter& w, const std::string& text) {
    const std::string cut = text.substr(0, 254);
    w.AppendByte(u8(cut.size() + 1));
    w.AppendCText(cut.c_str());
}

}  // namespace

void BeginClientPacket(PacketWriter& w, u8 id) {
    w.Begin(id, ClientPacketIsVariable(id));
}

void BuildAccountLoginPacket(PacketWriter& w, const std::string& account,
                             const std::string& password, u8 loginKey) {
    BeginClientPacket(w, 0x80);
    Text(w, account, 30);
    Text(w, password, 30);
    w.AppendByte(loginKey);
}

void BuildSelectServerPacket(PacketWriter& w, u16 serverIndex) {
    BeginClientPacket(w, 0xA0);
    w.AppendShort(serverIndex);
}

void BuildGameLoginPacket(PacketWriter& w, u32 key, const std::string& account,
                          const std::string& password) {
    BeginClientPacket(w, 0x91);
    w.AppendLong(key);
    Text(w, account, 30);
    Text(w, password, 30);
}

void BuildHardwareProfilePacket(PacketWriter& w, const u8* profileRecord) {
    BeginClientPacket(w, 0xA4);
    w.AppendBytes(profileRecord + 1, ClientPacketLengthTable(0xA4) - 1);
}

void BuildCreateCharacterPacket(PacketWriter& w, const CreateCharacterRequest& r) {
    BeginClientPacket(w, 0x00);
    w.AppendLong(kLoginMarker);
    w.AppendShort(0xFFFF);  // no position: the server's start location
    w.AppendShort(0xFFFF);
    w.AppendByte(0);
    Text(w, r.name, 30);
    Text(w, r.password, 30);
    w.AppendByte(r.sex);
    w.AppendByte(r.strength);
    w.AppendByte(r.dexterity);
    w.AppendByte(r.intelligence);
    for (int i = 0; i < 3; ++i) {
        w.AppendByte(r.skills[i]);
        w.AppendByte(r.skillValues[i]);
    }
    w.AppendShort(r.skinHue);
    w.AppendShort(r.hairStyle);
    w.AppendShort(r.hairHue);
    w.AppendShort(r.beardStyle);
    w.AppendShort(r.beardHue);
    w.AppendByte(r.serverByte);
    w.AppendByte(r.startCity);
    w.AppendLong(r.slot);
    w.AppendLong(ClientConnection::kOwnAddress);
}

void BuildPlayCharacterPacket(PacketWriter& w, const std::string& name, const std::string& password,
                              u32 slot) {
    BeginClientPacket(w, 0x5D);
    w.AppendLong(kLoginMarker);
    Text(w, name, 30);
    Text(w, password, 30);
    w.AppendLong(slot);
    w.AppendLong(ClientConnection::kOwnAddress);
}

void BuildDeleteCharacterPacket(PacketWriter& w, const std::string& password, u32 slot) {
    BeginClientPacket(w, 0x83);
    Text(w, password, 30);
    w.AppendLong(slot);
    w.AppendLong(ClientConnection::kOwnAddress);
}

void BuildChangePasswordPacket(PacketWriter& w, const std::string& first, const std::string& second,
                               u32 slot) {
    BeginClientPacket(w, 0x84);
    Text(w, first, 30);
    Text(w, second, 30);
    w.AppendLong(slot);
    w.AppendLong(ClientConnection::kOwnAddress);
}

void BuildDisconnectPacket(PacketWriter& w) {
    BeginClientPacket(w, 0x01);
    w.AppendLong(0xFFFFFFFFu);
}

void BuildTipRequestPacket(PacketWriter& w, u16 tip, u8 direction) {
    BeginClientPacket(w, 0xA7);
    w.AppendShort(tip);
    w.AppendByte(direction);
}

void BuildWalkRequestPacket(PacketWriter& w, u8 direction, u8 sequence) {
    BeginClientPacket(w, 0x02);
    w.AppendByte(direction);
    w.AppendByte(sequence);
}

void BuildResyncRequestPacket(PacketWriter& w) {
    BeginClientPacket(w, 0x22);
    w.AppendByte(0);
    w.AppendByte(0);
}

void BuildWarModeRequestPacket(PacketWriter& w, u8 warMode, const u8 echoed[3]) {
    BeginClientPacket(w, 0x72);
    w.AppendByte(warMode);
    w.AppendBytes(echoed, 3);
}

void BuildDeathMenuChoicePacket(PacketWriter& w, u8 choice) {
    BeginClientPacket(w, 0x2C);
    w.AppendByte(choice);
}

void BuildPingPacket(PacketWriter& w) {
    BeginClientPacket(w, 0x73);
    w.AppendByte(0);
}

namespace {
void SerialPacket(PacketWriter& w, u8 id, u32 serial) {
    BeginClientPacket(w, id);
    w.AppendLong(serial);
}
}  // namespace

void BuildUseObjectPacket(PacketWriter& w, u32 serial) {
    SerialPacket(w, 0x06, serial);
}

void BuildLookAtPacket(PacketWriter& w, u32 serial) {
    SerialPacket(w, 0x09, serial);
}

void BuildAttackRequestPacket(PacketWriter& w, u32 serial) {
    SerialPacket(w, 0x05, serial);
}

void BuildPickUpItemPacket(PacketWriter& w, u32 serial, u16 amount) {
    SerialPacket(w, 0x07, serial);
    w.AppendShort(amount);
}

void BuildDropItemPacket(PacketWriter& w, u32 item, u16 x, u16 y, u8 z, u32 target) {
    SerialPacket(w, 0x08, item);
    w.AppendShort(x);
    w.AppendShort(y);
    w.AppendByte(z);
    w.AppendLong(target);
}

void BuildWearItemPacket(PacketWriter& w, u32 item, u8 layer, u32 mobile) {
    SerialPacket(w, 0x13, item);
    w.AppendByte(layer);
    w.AppendLong(mobile);
}

void BuildStatusRequestPacket(PacketWriter& w, u8 type, u32 serial) {
    SerialPacket(w, 0x34, kLoginMarker);
    w.AppendByte(type);
    w.AppendLong(serial);
}

void BuildTargetResponsePacket(PacketWriter& w, const TargetResponse& r) {
    BeginClientPacket(w, 0x6C);
    w.AppendByte(r.kind);
    w.AppendLong(r.cursorId);
    w.AppendByte(r.cursorFlag);
    w.AppendLong(r.serial);
    w.AppendShort(r.x);
    w.AppendShort(r.y);
    w.AppendShort(r.z);
    w.AppendShort(r.graphic);
}

TargetResponse CancelTarget(u32 cursorId, u8 cursorFlag) {
    TargetResponse r;
    r.cursorId = cursorId;
    r.cursorFlag = cursorFlag;
    r.x = r.y = 0xFFFF;
    return r;
}

void BuildRenamePacket(PacketWriter& w, u32 serial, const std::string& name) {
    SerialPacket(w, 0x75, serial);
    Text(w, name, 30);
}

void BuildNameRequestPacket(PacketWriter& w, u32 serial) {
    SerialPacket(w, 0x98, serial);
}

void BuildHueChoicePacket(PacketWriter& w, u32 serial, u16 echoed, u16 hue) {
    SerialPacket(w, 0x95, serial);
    w.AppendShort(echoed);
    w.AppendShort(hue);
}

void BuildSpeechPacket(PacketWriter& w, u8 mode, u16 hue, u16 font, const std::string& text) {
    BeginClientPacket(w, 0x03);
    w.AppendByte(mode);
    w.AppendShort(hue);
    w.AppendShort(font);
    w.AppendCText(text.c_str());
}

void BuildUnicodeSpeechPacket(PacketWriter& w, u8 mode, u16 hue, u16 font, u32 language,
                              const std::u16string& text) {
    BeginClientPacket(w, 0xAD);
    w.AppendByte(mode);
    w.AppendShort(hue);
    w.AppendShort(font);
    w.AppendLong(language);
    for (char16_t unit : text)
        w.AppendShort(u16(unit));
    w.AppendShort(0);
}

void BuildTextCommandPacket(PacketWriter& w, u8 type, const std::string& text) {
    BeginClientPacket(w, 0x12);
    w.AppendByte(type);
    w.AppendCText(text.c_str());
}

void BuildHelpRequestPacket(PacketWriter& w, const std::string& text) {
    BeginClientPacket(w, 0x9B);
    w.AppendByte(0);
    Text(w, text, 256);
}

void BuildPromptAnswerPacket(PacketWriter& w, u32 serial, u32 id, u32 type,
                             const std::string& text) {
    BeginClientPacket(w, 0x9A);
    w.AppendLong(serial);
    w.AppendLong(id);
    w.AppendLong(type);
    w.AppendCText(text.c_str());
}

void BuildTextEntryReplyPacket(PacketWriter& w, u32 serial, u16 entryId, u8 button,
                               const std::string& text) {
    BeginClientPacket(w, 0xAC);
    w.AppendLong(serial);
    w.AppendShort(entryId);
    w.AppendByte(button);
    w.AppendShort(u16(text.size() + 1));
    w.AppendCText(text.c_str());
}

void BuildBuyItemsPacket(PacketWriter& w, u32 vendor, const std::vector<BoughtEntry>& bill) {
    BeginClientPacket(w, 0x3B);
    w.AppendLong(vendor);
    w.AppendByte(2);
    for (const BoughtEntry& e : bill) {
        w.AppendByte(e.layer);
        w.AppendLong(e.serial);
        w.AppendShort(e.amount);
    }
}

void BuildSellItemsPacket(PacketWriter& w, u32 vendor, const std::vector<SoldEntry>& list) {
    BeginClientPacket(w, 0x9F);
    w.AppendLong(vendor);
    w.AppendShort(u16(list.size()));
    for (const SoldEntry& e : list) {
        w.AppendLong(e.serial);
        w.AppendShort(e.amount);
    }
}

void BuildTradeActionPacket(PacketWriter& w, u8 action, u32 container, u32 value) {
    BeginClientPacket(w, 0x6F);
    w.AppendByte(action);
    w.AppendLong(container);
    w.AppendLong(value);
    w.AppendLong(0);
    w.AppendByte(0);
}

void BuildMenuChoicePacket(PacketWriter& w, u32 serial, u16 menu, u16 index, u16 graphic, u16 hue) {
    SerialPacket(w, 0x7D, serial);
    w.AppendShort(menu);
    w.AppendShort(index);
    w.AppendShort(graphic);
    w.AppendShort(hue);
}

void BuildOptionListsPacket(PacketWriter& w, u8 type, const std::vector<OptionListEntry>& entries) {
    BeginClientPacket(w, 0x69);
    w.AppendByte(type);
    if (type == 0) {
        w.AppendByte(0);
        return;
    }
    const size_t count = entries.size() < 255 ? entries.size() : 255;
    w.AppendByte(u8(count));
    for (size_t i = 0; i < count; ++i) {
        w.AppendCText(entries[i].name.substr(0, 29).c_str());
        w.AppendLong(entries[i].id);
    }
}

void BuildBookHeaderPacket(PacketWriter& w, u32 book, const std::string& title,
                           const std::string& author) {
    SerialPacket(w, 0x93, book);
    w.AppendByte(0);
    w.AppendShort(0);
    Text(w, title, 60);
    Text(w, author, 30);
}

void BuildBookPageRequestPacket(PacketWriter& w, u32 book, u16 page) {
    SerialPacket(w, 0x66, book);
    w.AppendShort(1);
    w.AppendShort(page);
    w.AppendShort(0xFFFF);
}

void BuildBookPagePacket(PacketWriter& w, u32 book, u16 page,
                         const std::vector<std::string>& lines) {
    SerialPacket(w, 0x66, book);
    w.AppendShort(1);
    w.AppendShort(page);
    w.AppendShort(u16(lines.size()));
    for (const std::string& line : lines)
        w.AppendCText(line.c_str());
}

void BuildBulletinBoardPacket(PacketWriter& w, u8 action, u32 board, u32 message) {
    BeginClientPacket(w, 0x71);
    w.AppendByte(action);
    w.AppendLong(board);
    w.AppendLong(message);
}

void BuildBulletinPostPacket(PacketWriter& w, u32 board, u32 answered, const std::string& subject,
                             const std::vector<std::string>& lines) {
    BeginClientPacket(w, 0x71);
    w.AppendByte(5);
    w.AppendLong(board);
    w.AppendLong(answered);
    ByteCountedText(w, subject);
    const size_t count = lines.size() < 255 ? lines.size() : 255;
    w.AppendByte(u8(count));
    for (size_t i = 0; i < count; ++i)
        ByteCountedText(w, lines[i]);
}

void BuildCoursePinPacket(PacketWriter& w, u32 map, u8 action, u8 pin, u16 x, u16 y) {
    SerialPacket(w, 0x56, map);
    w.AppendByte(action);
    w.AppendByte(pin);
    w.AppendShort(u16(x - 24));
    w.AppendShort(u16(y - 31));
}
