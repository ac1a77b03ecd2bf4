#pragma once
// Text fields of server packets beyond the reader's own: a zero-terminated text that may run
// to the packet's end without its terminator, and a counted text (a length, then that many
// bytes) that is cut at its first zero. Both read nothing past the packet: a text that is
// not there at all fails the reader.
#include <string>

#include "core/packet_reader.h"

bool ReadTextOrRest(PacketReader& reader, std::string& out);
bool ReadCountedText(PacketReader& reader, size_t length, std::string& out);
// At most `limit` characters of `text`.
std::string CutText(const std::string& text, size_t limit);
