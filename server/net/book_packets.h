#pragma once
// Builders of the book packets: 0x93 (the header: serial, writable flag, page count, title and
// author in fixed fields) and 0x66 (pages: serial, count, then per page its number, line count
// and the lines each ended by 0). Each builder answers w.Ok(): a packet past its buffer or
// 65,535 bytes is not to be sent.
#include <string>
#include <vector>

#include "core/packet_writer.h"
#include "platform/types.h"
#include "server/world/books.h"

constexpr u8 kBookHeaderId = 0x93;
constexpr u8 kBookPagesId = 0x66;
constexpr size_t kBookHeaderLength = 98;
// The pages header: id, length, serial, page count.
constexpr size_t kBookPagesHeaderLength = 9;
// The most pages one 0x66 of an opened book carries.
constexpr int kBookPagesPerPacket = 50;

bool BuildBookHeaderPacket(PacketWriter& w, u32 serial, const BookHeader& header);
// Pages first..first+count-1 of the book, clamped to its pages: a first page outside them
// sends none, a count past the end stops at the last page.
bool BuildBookPagesPacket(PacketWriter& w, const CItem& book, int first, int count);
// The bytes one page takes in 0x66.
size_t BookPageBytes(const std::vector<std::string>& lines);
