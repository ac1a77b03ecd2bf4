#pragma once
// Builders of the packets that carry text and interaction: ASCII speech and system messages,
// string and text prompts, web pages, tip and update notices, menus, target cursors, the hue
// picker, server-defined gumps, name answers, signs, sequence markers and game-master
// requests. One writer per packet; each builder answers w.Ok() (a packet past its buffer or
// 65,535 bytes is not to be sent, and is logged).
#include <string>
#include <vector>

#include "core/packet_writer.h"
#include "core/wide_text.h"
#include "platform/types.h"

class CBaseObject;
class CPlayer;

// The name field of a message from `speaker` (30 bytes, cut without terminator): a player's
// own name, "GM <name>" for a game master in the game-master body; an NPC's own name;
// empty for anything else or without a speaker.
std::string SpeakerNameField(const CBaseObject* speaker, bool gameMasterInGmBody);

// 0x1C: a text message; without a speaker the serial and graphic are all ones. Texts longer
// than 1023 characters are cut.
constexpr int kMaxTextMessageChars = 1023;
constexpr size_t kMaxTextMessageLength = 44 + kMaxTextMessageChars + 1;
bool BuildTextMessagePacket(PacketWriter& w, const CBaseObject* speaker, int type, const char* text,
                            int hue, int font, bool gameMasterInGmBody);
// 0x1C from explicit values.
bool BuildTextMessageFromPacket(PacketWriter& w, u32 serial, int graphic, const char* name,
                                int type, const char* text, int hue, int font);

// The packets with texts of the caller's length are bounded by the protocol's limit.
constexpr size_t kMaxPromptPacketLength = PacketWriter::kMaxPacketLength;

// 0xAB: a string query for `serial`, with the builtin's integers around the prompt.
bool BuildStringQueryPacket(PacketWriter& w, u32 serial, int id, const char* prompt, int a, int b,
                            u32 c, const char* defaultText);

// 0x9A: a text entry for `serial`.
bool BuildTextEntryPacket(PacketWriter& w, u32 serial, u32 a, u32 b, const char* prompt);

// 0xA5: a web page to open.
bool BuildWebBrowsePacket(PacketWriter& w, const char* url);

// The text 0xA6 carries for the lines of a text file (a non-empty line and one space; an empty
// line becomes a carriage return; carriage returns dropped; a byte 0xFF ends the file).
std::string NoticeText(const std::string& lines);
// 0xA6: a tip (type 0, the text file of the tip) or the update notice (type 1: "update.txt",
// whose first line is the number). `fileBytes` is null when the file is missing: the update
// notice is then number 0 with "MISSING UPDATE", a tip has no text.
constexpr int kNoticeTip = 0;
constexpr int kNoticeUpdate = 1;
bool BuildNoticePacket(PacketWriter& w, int type, int number, const std::string* fileBytes);

// One menu entry; a null text sends no text at all.
struct MenuEntry {
    u16 graphic = 0;
    u16 hue = 0;
    const char* text = nullptr;
};
// The length byte of a menu entry: 0 without a text, else its length cut to 255, at least 1.
int MenuItemTextLength(const char* text);
constexpr size_t kMaxMenuLength = PacketWriter::kMaxPacketLength;
// 0x7C: a menu of at most 255 entries, with a title of at most 255 characters.
bool BuildMenuPacket(PacketWriter& w, u32 serial, int menuId, const char* title,
                     const std::vector<MenuEntry>& entries);

// 0x6C: an object (kind 0) or location (kind 1) cursor.
constexpr size_t kTargetCursorLength = 19;
bool BuildTargetCursorPacket(PacketWriter& w, int kind, u32 id, int flag);

// 0x99: the multi placement cursor with the builtin's four integers.
constexpr size_t kMultiTargetLength = 26;
bool BuildMultiTargetPacket(PacketWriter& w, u32 serial, const int (&values)[4]);

constexpr size_t kMaxObjectListTargetLength = PacketWriter::kMaxPacketLength;
// 0xB4: a location cursor with a list of values, five per previewed object; the count word
// is the number of objects.
bool BuildObjectListTargetPacket(PacketWriter& w, u32 serial, int a, int b, int c,
                                 const std::vector<int>& list);

// 0x95: the hue picker.
constexpr size_t kHuePickerLength = 9;
bool BuildHuePickerPacket(PacketWriter& w, u32 serial, int id, int graphic);

// One entry of a gump's layout or text list: a narrow string, a wide string, or anything else.
struct GumpEntry {
    enum class Kind : u8 { kNarrow, kWide, kOther };
    Kind kind = Kind::kOther;
    std::string narrow;
    std::u16string wide;
};
// The layout text (with its terminator) must fit 16,384 bytes; a longer layout is not sent.
constexpr size_t kMaxGumpLayoutBytes = 16384;
constexpr size_t kMaxGenericGumpLength = PacketWriter::kMaxPacketLength;
// 0xB0: a server-defined gump. Narrow texts are widened byte by byte as Latin-1.
bool BuildGenericGumpPacket(PacketWriter& w, u32 serial, u32 a, u32 b, u32 c,
                            const std::vector<GumpEntry>& layout,
                            const std::vector<GumpEntry>& texts);

// 0x98: the name of the mobile with the asked serial within 18 tiles of the player; 30 zero
// bytes when there is none or it is not a mobile.
constexpr size_t kNameAnswerLength = 37;
bool BuildNameAnswerPacket(PacketWriter& w, const CPlayer& player, u32 serial);

// 0x8B: a sign with two texts.
bool BuildSignGumpPacket(PacketWriter& w, u32 serial, int gump, const char* text1,
                         const char* text2);

// 0x7B: a sequence marker.
constexpr size_t kSequenceLength = 2;
bool BuildSequencePacket(PacketWriter& w, int value);

// 0x9C: a game-master request record.
constexpr size_t kGmRequestLength = 309;
bool BuildGmRequestPacket(PacketWriter& w, int a, int b, u32 serial, const char* name,
                          const char* field, const char* text);
