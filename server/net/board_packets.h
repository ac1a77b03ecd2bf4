#pragma once
// Builders of the bulletin-board packets (0x71): the board itself, a message's summary line
// and a whole message. Strings go as a byte length (text + 1) and the text with its 0; a text
// is cut to 254 characters so that its length fits the byte. Whatever the message's object
// variables hold, nothing past the end of a list is read: missing or mistyped entries are sent
// as 0 or as an empty string. Each builder answers w.Ok().
#include "core/packet_writer.h"
#include "platform/types.h"

class CItem;

constexpr u8 kBoardPacketId = 0x71;
constexpr size_t kBoardNameWidth = 30;
// 0x71 sub-command 0: the board's serial and the tile-data name of its graphic.
constexpr size_t kBoardOpenLength = 3 + 1 + 4 + kBoardNameWidth;
bool BuildBoardOpenPacket(PacketWriter& w, const CItem& board);

enum class BoardMessageForm : u8 {
    kSummary = 1,  // board, message, parent, poster, subject, time
    kFull = 2,     // board, message, poster, subject, time, the poster's look and the lines
};
// 0x71 sub-command 1 or 2 for a message lying in a board. A long message may not fit a packet:
// the builder then fails and nothing is to be sent.
bool BuildBoardMessagePacket(PacketWriter& w, const CItem& message, BoardMessageForm form);
// "Day %d @ %d:%02d" of a post time counted in game minutes since the start of the week.
void FormatPostTime(s32 postTime, char* out, size_t size);
