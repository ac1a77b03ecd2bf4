#include "client/net/book_board_packet_handlers.h"

#include <string>
#include <vector>

#include "client/net/client_link.h"
#include "client/net/packet_texts.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/net/text_window_hooks.h"
#include "client/world/cell_grid.h"
#include "client/world/client_world.h"
#include "client/world/system_message.h"
#include "core/packet_reader.h"

namespace {

constexpr int kPageLines = 20;
constexpr size_t kPageLineLength = 79;
constexpr int kPopupWidth = 160, kPopupHeight = 100;
constexpr u16 kHueOnline = 368, kHueOffline = 902, kHueNoState = 33;
constexpr int kSecondList = 1;

enum BoardAction : u8 { kOpenBoard = 0, kSummary = 1, kMessage = 2 };
enum OptionAction : u8 { kRequest = 0, kList1 = 1, kList2 = 2, kStates = 3 };

bool Known(u32 serial) {
    return TheClientWorld().FindBySerial(serial) != nullptr;
}

// Poster, subject and time: each a length byte and that many bytes.
bool ReadPostTexts(PacketReader& r, std::string& poster, std::string& subject, std::string& time) {
    for (std::string* text : {&poster, &subject, &time}) {
        u8 n = 0;
        r.ReadByte(n);
        ReadCountedText(r, n, *text);
    }
    return r.Ok();
}

struct BookPage {
    u16 number = 0;
    std::vector<std::string> lines;  // at most a page's worth
};

u16 OnlineHue(bool online) {
    return online ? kHueOnline : kHueOffline;
}

}  // namespace

void BookBoardPacketHandlers::Install(ServerPacketDispatcher& d) {
    using H = BookBoardPacketHandlers;
    static const HandlerRow<H> kRows[] = {
        {0x93, &H::OnBookOpen},    {0x66, &H::OnBookPages},   {0x71, &H::OnBulletinBoard},
        {0x69, &H::OnOptionLists}, {0x6A, &H::OnOnlineState}, {0xB7, &H::OnTextPopup},
    };
    InstallHandlerRows(d, *this, kRows);
}

void BookBoardPacketHandlers::OnBookOpen(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    BookHeader h;
    u8 writable = 0;
    char title[61], author[31];
    r.ReadLong(h.book);
    r.ReadByte(writable);
    r.ReadShort(h.pageCount);
    r.ReadFixedText(title, sizeof title, 60);
    r.ReadFixedText(author, sizeof author, 30);
    if (!r.Ok()) return link_.RefusePacket(r);
    if (!Known(h.book)) return;
    h.writable = writable != 0;
    h.title = title;
    h.author = author;
    TextWindowHooks& windows = TheTextWindowHooks();
    BookWindowState open;
    if (windows.FindBookWindow(h.book, open)) {
        windows.RetitleBookWindow(h.book, h.title, h.author);
    } else {
        windows.OpenBookWindow(h);
    }
}

void BookBoardPacketHandlers::OnBookPages(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 book = 0;
    u16 count = 0;
    r.ReadLong(book);
    r.ReadShort(count);
    std::vector<BookPage> pages;
    for (int i = 0; i < count && r.Ok(); ++i) {
        BookPage page;
        u16 lines = 0;
        r.ReadShort(page.number);
        r.ReadShort(lines);
        for (int k = 0; k < lines && r.Ok(); ++k) {
            std::string line;
            ReadTextOrRest(r, line);
            if (k < kPageLines) page.lines.push_back(CutText(line, kPageLineLength));
        }
        pages.push_back(std::move(page));
    }
    if (!r.Ok()) return link_.RefusePacket(r);
    if (!Known(book)) return;
    TextWindowHooks& windows = TheTextWindowHooks();
    BookWindowState open;
    if (!windows.FindBookWindow(book, open)) return;
    for (const BookPage& page : pages) {
        const int slot = open.writable ? page.number - 1 : page.number - open.firstShownPage;
        // A page the book does not have changes nothing.
        if (slot < 0 || slot >= open.pageCount) continue;
        windows.SetBookPage(book, slot, page.lines);
        const bool shown =
            page.number == open.firstShownPage || page.number == open.firstShownPage + 1;
        if (!open.writable || shown) windows.RedrawBookWindow(book);
    }
}

void BookBoardPacketHandlers::OnBulletinBoard(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u8 action = 0;
    if (!r.ReadByte(action)) return link_.RefusePacket(r);
    TextWindowHooks& windows = TheTextWindowHooks();
    switch (action) {
        case kOpenBoard: {
            u32 board = 0;
            char name[31];
            r.ReadLong(board);
            r.ReadFixedText(name, sizeof name, 30);
            if (!r.Ok()) return link_.RefusePacket(r);
            if (!Known(board)) return;
            if (windows.RaiseBoardWindows(board) == 0) windows.OpenBoardWindow(board, name);
            return;
        }
        case kSummary: {
            BoardSummary s;
            r.ReadLong(s.board);
            r.ReadLong(s.message);
            r.ReadLong(s.parent);
            if (!ReadPostTexts(r, s.poster, s.subject, s.time)) return link_.RefusePacket(r);
            const CClientObject* board = TheClientWorld().FindBySerial(s.board);
            if (!board || !board->UsesCellShift() || !windows.BoardWindowOpen(s.board)) return;
            windows.AddBoardSummary(s);
            return;
        }
        case kMessage: {
            BoardMessage m;
            u8 pairCount = 0, lineCount = 0;
            r.ReadLong(m.board);
            r.ReadLong(m.message);
            ReadPostTexts(r, m.poster, m.subject, m.time);
            r.ReadShort(m.values[0]);
            r.ReadShort(m.values[1]);
            r.ReadByte(pairCount);
            for (int i = 0; i < pairCount && r.Ok(); ++i) {
                u16 a = 0, b = 0;
                r.ReadShort(a);
                r.ReadShort(b);
                if (m.pairs.size() < BoardMessage::kPairs) m.pairs.emplace_back(a, b);
            }
            r.ReadByte(lineCount);
            for (int i = 0; i < lineCount && r.Ok(); ++i) {
                u8 n = 0;
                std::string line;
                r.ReadByte(n);
                ReadCountedText(r, n, line);
                if (m.lines.size() < BoardMessage::kLines) m.lines.push_back(line);
            }
            if (!r.Ok()) return link_.RefusePacket(r);
            if (!Known(m.message)) return;
            windows.OpenBoardMessage(m);
            return;
        }
        default:
            return;
    }
}

void BookBoardPacketHandlers::OnOptionLists(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u8 action = 0, count = 0;
    r.ReadByte(action);
    r.ReadByte(count);
    if (!r.Ok()) return link_.RefusePacket(r);
    OptionLists& options = link_.state.options;
    TextWindowHooks& windows = TheTextWindowHooks();
    switch (action) {
        case kRequest:
            options.requested = true;
            return;
        case kList1:
        case kList2: {
            // Room for 20 entries: the rest of the list is left unread.
            std::vector<OptionLists::Entry> entries;
            for (int i = 0; i < count && i < OptionLists::kEntries && r.Ok(); ++i) {
                OptionLists::Entry e;
                ReadTextOrRest(r, e.name);
                r.ReadLong(e.id);
                e.name = CutText(e.name, OptionLists::kNameLength);
                entries.push_back(e);
            }
            if (!r.Ok()) return link_.RefusePacket(r);
            const int list = action - kList1;
            options.requested = false;
            options.lists[list] = entries;
            if (list == kSecondList) {
                for (size_t i = 0; i < entries.size(); ++i)
                    options.online[i] = false;
            }
            if (!windows.OptionsWindowOpen()) return;
            std::vector<std::string> names;
            for (const OptionLists::Entry& e : entries)
                names.push_back(e.name);
            names.push_back("(new)");
            windows.FillOptionsList(list, names);
            return;
        }
        case kStates: {
            const u8* states = nullptr;
            if (!r.ReadFixedBytes(states, count)) return link_.RefusePacket(r);
            const int kept = count < OptionLists::kEntries ? count : OptionLists::kEntries;
            for (int i = 0; i < kept; ++i)
                options.second[i] = states[i] != 0;
            if (!windows.OptionsWindowOpen()) return;
            for (int i = 0; i < kept; ++i) {
                const u16 hue = options.second[i] ? OnlineHue(options.online[i]) : kHueNoState;
                windows.ColourOptionsEntry(kSecondList, i, hue);
            }
            return;
        }
        default:
            return;
    }
}

void BookBoardPacketHandlers::OnOnlineState(const u8* packet, size_t length) {
    PacketReader r(packet, length, 1);
    u8 index = 0, online = 0;
    r.ReadByte(index);
    r.ReadByte(online);
    if (!r.Ok()) return link_.RefusePacket(r);
    OptionLists& options = link_.state.options;
    // An index with no entry of list 2 (20 at most) names no one.
    if (size_t(index) >= options.lists[kSecondList].size()) return;
    options.online[index] = online != 0;
    const std::string& name = options.lists[kSecondList][index].name;
    TextWindowHooks& windows = TheTextWindowHooks();
    if (windows.OptionsWindowOpen())
        windows.ColourOptionsEntriesNamed(kSecondList, name, OnlineHue(online != 0));
    ShowSystemMessage(0, 3, name + (online ? " is now online." : " is now offline."));
}

void BookBoardPacketHandlers::OnTextPopup(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 serial = 0;
    if (!r.ReadLong(serial)) return link_.RefusePacket(r);
    // Big-endian 16-bit characters to the packet's end (an odd last byte dropped), up to
    // the first zero.
    const size_t characters = r.Remaining() / 2;
    const u8* at = nullptr;
    r.ReadFixedBytes(at, characters * 2);
    std::u16string text;
    for (size_t i = 0; i < characters; ++i) {
        const char16_t c = char16_t(at[2 * i] << 8 | at[2 * i + 1]);
        if (c == 0) break;
        text.push_back(c);
    }
    const CClientObject* o = TheClientWorld().FindBySerial(serial);
    if (!o) return;
    const int x = (o->box.left + o->box.right) / 2 - ViewScrollX;
    const int y = o->box.top - ViewScrollY;
    TheTextWindowHooks().OpenTextPopup(x, y, kPopupWidth, kPopupHeight, text);
}
