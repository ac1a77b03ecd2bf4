#pragma once
// The client's book packets: 0x93 changes a writable book's title and author, 0x66 asks for a
// page (line count 0xFFFF) or writes one of a writable book. The book must lie within 18 tiles
// of the player; every field is read within the framed packet, and a write cut short or of
// 128 lines or more changes nothing.
class CPlayer;
class PacketReader;

// Lines one page write may carry.
inline constexpr int kMaxBookPageWriteLines = 127;

void HandleBookHeader(CPlayer& player, PacketReader& packet);  // 0x93
void HandleBookPage(CPlayer& player, PacketReader& packet);    // 0x66
