#pragma once
// Unicode speech: the 0xAE message, the UTF-16 twin of the ASCII text message 0x1C. The
// UTF-16 text helpers are in core/wide_text.h.
#include <string>

#include "core/location.h"
#include "core/packet_writer.h"
#include "core/wide_text.h"
#include "platform/types.h"

class CBaseObject;

// The header before the text: id, length, serial, graphic, type, hue, font, language, name.
constexpr size_t kUnicodeSpeechHeaderLength = 48;
// The longest text that keeps the packet within 65,535 bytes (with its terminator).
constexpr int kMaxUnicodeSpeechChars =
    static_cast<int>((PacketWriter::kMaxPacketLength - kUnicodeSpeechHeaderLength) / 2 - 1);
constexpr size_t kMaxUnicodeSpeechLength =
    kUnicodeSpeechHeaderLength + 2 * (static_cast<size_t>(kMaxUnicodeSpeechChars) + 1);

// 0xAE: a Unicode message from `speaker` (null: serial and graphic all ones, no name; the name
// field as the ASCII message's). Each code unit and the terminating 0 big-endian; a text
// longer than kMaxUnicodeSpeechChars is cut so the packet stays within 65,535 bytes.
bool BuildUnicodeSpeechPacket(PacketWriter& w, const CBaseObject* speaker, int type,
                              const WChar* text, int hue, int font, u32 language,
                              bool gameMasterInGmBody);

class CItem;
class CMobile;

// The longest text the speech trigger of a Unicode utterance carries.
constexpr int kMaxUnicodeTriggerChars = 4095;
// The ASCII part of a UTF-16 text as the speech trigger hears it: the code units below 128,
// in order, each kept to 7 bits; the others dropped; at most kMaxUnicodeTriggerChars.
std::string UnicodeTriggerText(const WChar* text);
// The speech trigger of a Unicode utterance to the scripted objects within `range` of `at`.
int SendUnicodeSpeechTrigger(CItem* speaker, const Location& at, const WChar* text, int range);
// The Unicode twin of SpeakAsGhost: 0xAE with the clear or garbled text (every code unit
// that is not a space becomes 'O' or 'o') by the ghost rules.
void SpeakUnicodeAsGhost(CMobile& speaker, int type, const WChar* text, int hue, int font,
                         u32 language, int range);
// 0xAE to at most `count` players within 12 tiles who see the speaker's head.
void SpeakUnicodeInRange(CMobile& speaker, int type, const WChar* text, int hue, int font,
                         u32 language, int count);
