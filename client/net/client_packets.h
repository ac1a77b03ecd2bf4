#pragma once
// The builders of every packet the client sends. Each fills the caller's writer (one writer,
// with its buffer's capacity, per packet) in wire form; the caller then hands the writer to
// ClientConnection::SendPacket. Fixed-width text fields are the text cut to the width and
// zero-filled; variable texts carry their terminating zero unless said otherwise.
#include <string>
#include <vector>

#include "platform/types.h"

class PacketWriter;

// Starts a packet of this id, fixed or variable as the client's length table says.
void BeginClientPacket(PacketWriter& w, u8 id);

// --- Login and account --------------------------------------------------------------------
void BuildAccountLoginPacket(PacketWriter& w, const std::string& account,
                             const std::string& password, u8 loginKey);  // 0x80
void BuildSelectServerPacket(PacketWriter& w, u16 serverIndex);          // 0xA0
void BuildGameLoginPacket(PacketWriter& w, u32 key, const std::string& account,
                          const std::string& password);  // 0x91
// 0xA4 from a profile record laid out like the packet (149 bytes).
void BuildHardwareProfilePacket(PacketWriter& w, const u8* profileRecord);

struct CreateCharacterRequest {
    std::string name;
    std::string password;
    u8 sex = 0;
    u8 strength = 0, dexterity = 0, intelligence = 0;
    u8 skills[3] = {0, 0, 0};
    u8 skillValues[3] = {0, 0, 0};
    u16 skinHue = 0, hairStyle = 0, hairHue = 0, beardStyle = 0, beardHue = 0;
    u8 serverByte = 0;
    u8 startCity = 0;
    u32 slot = 0;
};
void BuildCreateCharacterPacket(PacketWriter& w, const CreateCharacterRequest& r);  // 0x00
void BuildPlayCharacterPacket(PacketWriter& w, const std::string& name, const std::string& password,
                              u32 slot);  // 0x5D
void BuildDeleteCharacterPacket(PacketWriter& w, const std::string& password,
                                u32 slot);  // 0x83
void BuildChangePasswordPacket(PacketWriter& w, const std::string& first, const std::string& second,
                               u32 slot);                            // 0x84
void BuildDisconnectPacket(PacketWriter& w);                         // 0x01
void BuildTipRequestPacket(PacketWriter& w, u16 tip, u8 direction);  // 0xA7

// --- Movement and the player's state ------------------------------------------------------
void BuildWalkRequestPacket(PacketWriter& w, u8 direction, u8 sequence);          // 0x02
void BuildResyncRequestPacket(PacketWriter& w);                                   // 0x22
void BuildWarModeRequestPacket(PacketWriter& w, u8 warMode, const u8 echoed[3]);  // 0x72
void BuildDeathMenuChoicePacket(PacketWriter& w, u8 choice);                      // 0x2C
void BuildPingPacket(PacketWriter& w);                                            // 0x73

// --- Acting on objects --------------------------------------------------------------------
void BuildUseObjectPacket(PacketWriter& w, u32 serial);                               // 0x06
void BuildLookAtPacket(PacketWriter& w, u32 serial);                                  // 0x09
void BuildAttackRequestPacket(PacketWriter& w, u32 serial);                           // 0x05
void BuildPickUpItemPacket(PacketWriter& w, u32 serial, u16 amount);                  // 0x07
void BuildDropItemPacket(PacketWriter& w, u32 item, u16 x, u16 y, u8 z, u32 target);  // 0x08
void BuildWearItemPacket(PacketWriter& w, u32 item, u8 layer, u32 mobile);            // 0x13
void BuildStatusRequestPacket(PacketWriter& w, u8 type, u32 serial);                  // 0x34
struct TargetResponse {
    u8 kind = 0;
    u32 cursorId = 0;
    u8 cursorFlag = 0;
    u32 serial = 0;
    u16 x = 0, y = 0, z = 0;
    u16 graphic = 0;
};
void BuildTargetResponsePacket(PacketWriter& w, const TargetResponse& r);  // 0x6C
// The cancel answer to a target cursor.
TargetResponse CancelTarget(u32 cursorId, u8 cursorFlag);
void BuildRenamePacket(PacketWriter& w, u32 serial, const std::string& name);  // 0x75
void BuildNameRequestPacket(PacketWriter& w, u32 serial);                      // 0x98
void BuildHueChoicePacket(PacketWriter& w, u32 serial, u16 echoed, u16 hue);   // 0x95

// --- Speech and text commands -------------------------------------------------------------
void BuildSpeechPacket(PacketWriter& w, u8 mode, u16 hue, u16 font,
                       const std::string& text);                                 // 0x03
void BuildTextCommandPacket(PacketWriter& w, u8 type, const std::string& text);  // 0x12
// Speech of 16-bit characters: the units big-endian, then a 0 unit.
void BuildUnicodeSpeechPacket(PacketWriter& w, u8 mode, u16 hue, u16 font, u32 language,
                              const std::u16string& text);  // 0xAD
void BuildHelpRequestPacket(PacketWriter& w, const std::string& text);           // 0x9B
void BuildPromptAnswerPacket(PacketWriter& w, u32 serial, u32 id, u32 type,
                             const std::string& text);  // 0x9A
void BuildTextEntryReplyPacket(PacketWriter& w, u32 serial, u16 entryId, u8 button,
                               const std::string& text);  // 0xAC

// --- Trade, shops and menus ---------------------------------------------------------------
struct BoughtEntry {
    u8 layer;
    u32 serial;
    u16 amount;
};
void BuildBuyItemsPacket(PacketWriter& w, u32 vendor, const std::vector<BoughtEntry>& bill);
struct SoldEntry {
    u32 serial;
    u16 amount;
};
void BuildSellItemsPacket(PacketWriter& w, u32 vendor, const std::vector<SoldEntry>& list);
void BuildTradeActionPacket(PacketWriter& w, u8 action, u32 container, u32 value);  // 0x6F
void BuildMenuChoicePacket(PacketWriter& w, u32 serial, u16 menu, u16 index, u16 graphic,
                           u16 hue);  // 0x7D
struct OptionListEntry {
    std::string name;
    u32 id;
};
// Type 0 carries one zero byte; types 1 and 2 the entries (names cut to 29 characters).
void BuildOptionListsPacket(PacketWriter& w, u8 type,
                            const std::vector<OptionListEntry>& entries);  // 0x69

// --- Books, boards, maps ------------------------------------------------------------------
void BuildBookHeaderPacket(PacketWriter& w, u32 book, const std::string& title,
                           const std::string& author);                 // 0x93
void BuildBookPageRequestPacket(PacketWriter& w, u32 book, u16 page);  // 0x66
void BuildBookPagePacket(PacketWriter& w, u32 book, u16 page,
                         const std::vector<std::string>& lines);                    // 0x66
void BuildBulletinBoardPacket(PacketWriter& w, u8 action, u32 board, u32 message);  // 0x71
// Subject and lines are cut to 254 characters (their counts are one byte with the zero).
void BuildBulletinPostPacket(PacketWriter& w, u32 board, u32 answered, const std::string& subject,
                             const std::vector<std::string>& lines);                   // 0x71
void BuildCoursePinPacket(PacketWriter& w, u32 map, u8 action, u8 pin, u16 x, u16 y);  // 0x56
