#include "server/net/book_requests.h"

#include <string>
#include <vector>

#include "core/packet_reader.h"
#include "server/net/book_packets.h"
#include "server/net/player_requests.h"
#include "server/net/player_senders.h"
#include "server/world/books.h"
#include "server/world/object_manager.h"
#include "server/world/player.h"

namespace {
constexpr u16 kAskForPage = 0xFFFF;

CItem* BookNear(CPlayer& player, u32 serial) {
    CItem* found = g_objectManager.FindNear(player, serial, kRequestRadius);
    return found && (IsWritableBook(*found) || IsReadOnlyBook(*found)) ? found : nullptr;
}
}  // namespace

void HandleBookHeader(CPlayer& player, PacketReader& packet) {
    u32 serial = 0;
    u8 flag = 0;
    u16 pages = 0;
    char title[kBookTitleWidth + 1] = {};
    char author[kBookAuthorWidth + 1] = {};
    if (!packet.ReadLong(serial) || !packet.ReadByte(flag) || !packet.ReadShort(pages) ||
        !packet.ReadFixedText(title, sizeof title, kBookTitleWidth) ||
        !packet.ReadFixedText(author, sizeof author, kBookAuthorWidth))
        return;
    CItem* book = BookNear(player, serial);
    if (!book || !IsOpenForWriting(*book)) return;
    ChangeBookHeader(*book, title, author, player.GetSerial());
}

void HandleBookPage(CPlayer& player, PacketReader& packet) {
    u32 serial = 0;
    u16 count = 0, page = 0, lineCount = 0;
    if (!packet.ReadLong(serial) || !packet.ReadShort(count) || !packet.ReadShort(page) ||
        !packet.ReadShort(lineCount))
        return;
    CItem* book = BookNear(player, serial);
    if (!book) return;
    if (lineCount == kAskForPage) {
        SendBookPages(player, *book, page, 1);
        return;
    }
    if (!IsOpenForWriting(*book) || lineCount > kMaxBookPageWriteLines) return;
    std::vector<std::string> lines;
    for (u16 i = 0; i < lineCount; ++i) {
        const char* text = nullptr;
        if (!packet.ReadCText(text)) return;
        lines.emplace_back(text);
    }
    SetBookPageText(*book, page, lines);
}
