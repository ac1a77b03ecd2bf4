#include "server/net/book_packets.h"

#include "server/world/item.h"

size_t BookPageBytes(const std::vector<std::string>& lines) {
    size_t bytes = 4;
    for (const std::string& line : lines) bytes += line.size() + 1;
    return bytes;
}

bool BuildBookHeaderPacket(PacketWriter& w, u32 serial, const BookHeader& header) {
    w.Begin(kBookHeaderId, false);
    w.AppendLong(serial);
    w.AppendByte(header.writable ? 1 : 0);
    w.AppendShort(static_cast<u16>(header.pageCount));
    // The last byte of each field stays 0.
    w.AppendFixedText(header.title.substr(0, kBookTitleWidth - 1).c_str(), kBookTitleWidth);
    w.AppendFixedText(header.author.substr(0, kBookAuthorWidth - 1).c_str(), kBookAuthorWidth);
    return w.Ok();
}

bool BuildBookPagesPacket(PacketWriter& w, const CItem& book, int first, int count) {
    const int pages = BookPagesShown(book);
    if (first < 1 || first > pages) {
        first = 1;
        count = 0;
    }
    if (count < 0) count = 0;
    if (first + count > pages) count = pages - first + 1;
    w.Begin(kBookPagesId, true);
    w.AppendLong(book.GetSerial());
    w.AppendShort(static_cast<u16>(count));
    for (int page = first; page < first + count && w.Ok(); ++page) {
        const std::vector<std::string> lines = BookPageShown(book, page);
        w.AppendShort(static_cast<u16>(page));
        w.AppendShort(static_cast<u16>(lines.size()));
        for (const std::string& line : lines) w.AppendCText(line.c_str());
    }
    return w.Ok();
}
