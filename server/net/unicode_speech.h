#pragma once
// Unicode speech: the 0xAE message, the UTF-16 twin of the ASCII text message 0x1C. The
// UTF-16 text helpers are in core/wide_text.h.
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
