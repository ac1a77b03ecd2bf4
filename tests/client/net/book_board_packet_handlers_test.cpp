#include "client/net/book_board_packet_handlers.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "client/data/fonts.h"
#include "client/net/client_link.h"
#include "client/net/link_report.h"
#include "client/world/cell_grid.h"
#include "client/world/journal.h"
#include "tests/client/data/font_fixture.h"
#include "tests/client/net/text_packet_builder.h"
#include "tests/client/net/text_window_fake.h"
#include "tests/client/world/world_fixture.h"

namespace {

constexpr u32 kBook = 0x40000300;
constexpr u32 kBoard = 0x40000400;
constexpr u32 kMessage = 0x40000401;
constexpr u32 kPlate = 0x40000402;  // an item that holds nothing

class BookBoardPacketHandlersTest : public WorldFixture {
protected:
    BookBoardPacketHandlersTest() : player(PlayerInStillWorld()) {
        SetStatic(0x1E5E, kClientTileContainer);
        Item(kBook, 0x0FEF);
        Item(kBoard, 0x1E5E);
        Item(kPlate, 0x09D7);
        // The font of the online and offline lines.
        const std::vector<u8> fonts = FixtureFontsMulIn({3});
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
    }
    ~BookBoardPacketHandlersTest() override {
        ViewScrollX = ViewScrollY = 0;
        GetFontTable().Clear();
        TheJournal().Reset();
    }
    void Send(const std::vector<u8>& bytes) {
        link.Dispatcher().Dispatch(bytes.data(), bytes.size());
    }
    void Item(u32 serial, u16 graphic) {
        TheClientWorld().UpdateObject(serial, graphic, 0, 1, 11, 10, 0, 0, 0, 0);
    }
    bool Printed(const std::string& text) const {
        return std::count(hooks.calls.begin(), hooks.calls.end(), "SystemMessage " + text) == 1;
    }
    OptionLists& Options() { return link.state.options; }

    static TextPacket BookOpen(u32 book, bool writable, int pages, const std::string& title,
                               const std::string& author) {
        TextPacket p = TextPacket::Fixed(0x93);
        p.L(book).B(writable).W(u32(pages)).Text(title, 60).Text(author, 30);
        return p;
    }
    // 0x66 with pages {number, lines}.
    static TextPacket Pages(u32 book,
                            const std::vector<std::pair<int, std::vector<std::string>>>& pages) {
        TextPacket p = TextPacket::Var(0x66);
        p.L(book).W(u32(pages.size()));
        for (const auto& [number, lines] : pages) {
            p.W(u32(number)).W(u32(lines.size()));
            for (const std::string& line : lines)
                p.CText(line);
        }
        return p;
    }
    static TextPacket OptionList(u8 action, const std::vector<std::string>& names) {
        TextPacket p = TextPacket::Var(0x69);
        p.B(action).B(u32(names.size()));
        for (size_t i = 0; i < names.size(); ++i)
            p.CText(names[i]).L(u32(100 + i));
        return p;
    }
    static TextPacket Online(int index, bool online) {
        TextPacket p = TextPacket::Fixed(0x6A);
        p.B(u32(index)).B(online);
        return p;
    }

    LinkReportCapture reports;
    TextWindowFake windows;
    ClientLink link;
    CClientPlayer* player;
};

TEST_F(BookBoardPacketHandlersTest, BookOpenMakesAWindowOrRetitlesTheOpenOne) {
    const std::string longTitle(70, 't');
    Send(BookOpen(kBook, true, 12, longTitle, "An Author").Bytes());
    ASSERT_EQ(windows.openedBooks.size(), 1u);
    const BookHeader& h = windows.openedBooks[0];
    EXPECT_EQ(h.book, kBook);
    EXPECT_TRUE(h.writable);
    EXPECT_EQ(h.pageCount, 12);
    EXPECT_EQ(h.title, longTitle.substr(0, 60));
    EXPECT_EQ(h.author, "An Author");
    // With a window open the title and author change there and nothing new opens.
    windows.books[kBook].state = {true, 12, 1};
    Send(BookOpen(kBook, true, 12, "New", "Other").Bytes());
    EXPECT_EQ(windows.openedBooks.size(), 1u);
    EXPECT_EQ(windows.books[kBook].title, "New");
    EXPECT_EQ(windows.books[kBook].author, "Other");
    EXPECT_EQ(windows.books[kBook].redraws, 1);
    // A book the client does not know opens nothing.
    Send(BookOpen(0x40000999, false, 2, "T", "A").Bytes());
    EXPECT_EQ(windows.openedBooks.size(), 1u);
}

TEST_F(BookBoardPacketHandlersTest, BookPagesGoToTheirSlotsInsideTheBook) {
    struct Case {
        bool writable;
        int firstShown;
        int page;
        int slot;     // -1: outside the book, nothing stored
        bool redraw;  // the window is redrawn for the page
    } cases[] = {
        {true, 1, 1, 0, true},      // a writable book keeps page 1 in slot 0
        {true, 1, 3, 2, false},     // not one of the two shown pages
        {true, 3, 4, 3, true},      // the right-hand page shown
        {true, 1, 0, -1, false},    // no page 0
        {true, 1, 11, -1, false},   // past the book's 10 pages
        {false, 3, 3, 0, true},     // a read-only book counts from its first shown page
        {false, 3, 5, 2, true},     // and is redrawn for every page
        {false, 3, 2, -1, false},   // before its first shown page
        {false, 3, 13, -1, false},  // past its pages
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.writable << " " << c.firstShown << " " << c.page);
        windows.books.clear();
        windows.books[kBook].state = {c.writable, 10, c.firstShown};
        Send(Pages(kBook, {{c.page, {"one", "two"}}}).Bytes());
        const TextWindowFake::BookWindow& w = windows.books[kBook];
        if (c.slot < 0) {
            EXPECT_TRUE(w.pages.empty());
        } else {
            ASSERT_EQ(w.pages.count(c.slot), 1u);
            EXPECT_EQ(w.pages.at(c.slot), (std::vector<std::string>{"one", "two"}));
        }
        EXPECT_EQ(w.redraws, c.redraw ? 1 : 0);
    }
}

TEST_F(BookBoardPacketHandlersTest, BookPageLinesAreBoundedAndTheLastMayEndAtThePacketEnd) {
    windows.books[kBook].state = {true, 10, 1};
    std::vector<std::string> lines;
    for (int i = 0; i < 22; ++i)
        lines.push_back(i == 0 ? std::string(100, 'x') : "line" + std::to_string(i));
    TextPacket p = Pages(kBook, {{2, lines}, {1, {"a"}}});
    p.W(3).W(2).CText("first").Raw("unended");  // a third page whose last line runs out
    std::vector<u8> bytes = p.Bytes();
    bytes[8] = 3;  // three pages
    Send(bytes);
    EXPECT_TRUE(reports.Lines().empty());
    const auto& pages = windows.books[kBook].pages;
    ASSERT_EQ(pages.at(1).size(), 20u);
    EXPECT_EQ(pages.at(1)[0], std::string(79, 'x'));
    EXPECT_EQ(pages.at(1)[19], "line19");
    EXPECT_EQ(pages.at(0), std::vector<std::string>{"a"});
    EXPECT_EQ(pages.at(2), (std::vector<std::string>{"first", "unended"}));
}

TEST_F(BookBoardPacketHandlersTest, PagesOfAnUnknownBookOrWithoutAWindowStoreNothing) {
    Send(Pages(0x40000999, {{1, {"x"}}}).Bytes());
    Send(Pages(kBook, {{1, {"x"}}}).Bytes());
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_TRUE(reports.Lines().empty());
}

// The windows are found by serial at every packet: once the book, the board, the message or
// the mobile has left the world, the handlers reach none of their windows.
TEST_F(BookBoardPacketHandlersTest, WindowsOfObjectsThatLeftAreNeverReached) {
    constexpr u32 kMobile = 0x21;
    Mobile(kMobile, 400, 12, 10);
    Item(kMessage, 0x0EB0);
    windows.books[kBook].state = {true, 10, 1};
    windows.boards[kBoard].name = "Board";
    windows.status[kMobile].status.hits = 7;
    for (u32 gone : {kBook, kBoard, kMessage, kMobile}) {
        TextPacket remove = TextPacket::Fixed(0x1D);
        remove.L(gone);
        Send(remove.Bytes());
        ASSERT_EQ(TheClientWorld().FindBySerial(gone), nullptr);
    }
    TextPacket bars = TextPacket::Fixed(0x2D);
    bars.L(kMobile).W(1).W(1).W(1).W(1).W(1).W(1);
    Send(bars.Bytes());
    TextPacket hits = TextPacket::Fixed(0xA1);
    hits.L(kMobile).W(1).W(1);
    Send(hits.Bytes());
    TextPacket message = TextPacket::Var(0x71);
    message.B(2).L(kBoard).L(kMessage).Counted("p").Counted("s").Counted("t");
    message.W(0).W(0).B(0).B(0);
    Send(message.Bytes());
    Send(BookOpen(kBook, true, 10, "T", "A").Bytes());
    Send(Pages(kBook, {{1, {"x"}}}).Bytes());
    TextPacket summary = TextPacket::Var(0x71);
    summary.B(1).L(kBoard).L(kMessage).L(0).Counted("p").Counted("s").Counted("t");
    Send(summary.Bytes());
    TextPacket open = TextPacket::Var(0x71);
    open.B(0).L(kBoard).Text("Board", 30);
    Send(open.Bytes());
    TextPacket popup = TextPacket::Var(0xB7);
    popup.L(kBook).W('h');
    Send(popup.Bytes());
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_EQ(windows.boards[kBoard].raised, 0);
    EXPECT_TRUE(windows.books[kBook].pages.empty());
    EXPECT_EQ(windows.status[kMobile].status.hits, 7);
}

TEST_F(BookBoardPacketHandlersTest, BoardOpenRaisesTheOpenWindowsOrMakesOne) {
    TextPacket open = TextPacket::Var(0x71);
    open.B(0).L(kBoard).Text("Town Board", 30);
    Send(open.Bytes());
    ASSERT_EQ(windows.openedBoards.size(), 1u);
    EXPECT_EQ(windows.openedBoards[0], std::make_pair(kBoard, std::string("Town Board")));
    windows.boards[kBoard].name = "Town Board";
    Send(open.Bytes());
    EXPECT_EQ(windows.openedBoards.size(), 1u);
    EXPECT_EQ(windows.boards[kBoard].raised, 1);
    TextPacket unknown = TextPacket::Var(0x71);
    unknown.B(0).L(0x40000999).Text("Gone", 30);
    Send(unknown.Bytes());
    EXPECT_EQ(windows.openedBoards.size(), 1u);
}

TEST_F(BookBoardPacketHandlersTest, BoardSummariesReachAnOpenWindowOfAContainer) {
    windows.boards[kBoard].name = "Board";
    windows.boards[kPlate].name = "Not a board";
    struct Case {
        u32 board;
        size_t lines;  // on the board's window afterwards
    } cases[] = {{kBoard, 1}, {kPlate, 0}, {0x40000999, 0}};
    for (const Case& c : cases) {
        TextPacket p = TextPacket::Var(0x71);
        p.B(1).L(c.board).L(kMessage).L(0x40000450).Counted("Poster").Counted("Subject");
        p.Counted(std::string("Day 1\0junk", 10));
        Send(p.Bytes());
        EXPECT_EQ(windows.boards[c.board].lines.size(), c.lines) << c.board;
    }
    const BoardSummary& s = windows.boards[kBoard].lines.at(0);
    EXPECT_EQ(s.message, kMessage);
    EXPECT_EQ(s.parent, 0x40000450u);
    EXPECT_EQ(s.poster, "Poster");
    EXPECT_EQ(s.subject, "Subject");
    EXPECT_EQ(s.time, "Day 1");
}

TEST_F(BookBoardPacketHandlersTest, BoardMessageKeepsTwentyTwoPairsAndEightyLines) {
    Item(kMessage, 0x0EB0);
    TextPacket p = TextPacket::Var(0x71);
    p.B(2).L(kBoard).L(kMessage).Counted("Poster").Counted("Subject").Counted("Time");
    p.W(0x101).W(0x202).B(25);
    for (int i = 0; i < 25; ++i)
        p.W(u32(i)).W(u32(100 + i));
    p.B(82);
    for (int i = 0; i < 82; ++i)
        p.Counted("line" + std::to_string(i));
    Send(p.Bytes());
    ASSERT_EQ(windows.messages.size(), 1u);
    const BoardMessage& m = windows.messages[0];
    EXPECT_EQ(m.board, kBoard);
    EXPECT_EQ(m.message, kMessage);
    EXPECT_EQ(m.poster, "Poster");
    EXPECT_EQ(m.subject, "Subject");
    EXPECT_EQ(m.time, "Time");
    EXPECT_EQ(m.values[0], 0x101);
    EXPECT_EQ(m.values[1], 0x202);
    ASSERT_EQ(m.pairs.size(), 22u);
    EXPECT_EQ(m.pairs[21], std::make_pair(u16(21), u16(121)));
    ASSERT_EQ(m.lines.size(), 80u);
    EXPECT_EQ(m.lines[79], "line79");
    EXPECT_TRUE(reports.Lines().empty());
    // A message the client does not know opens nothing.
    TextPacket unknown = TextPacket::Var(0x71);
    unknown.B(2).L(kBoard).L(0x40000998).Counted("").Counted("").Counted("");
    unknown.W(0).W(0).B(0).B(0);
    Send(unknown.Bytes());
    EXPECT_EQ(windows.messages.size(), 1u);
}

TEST_F(BookBoardPacketHandlersTest, OptionListsAndTheirStatesWithTheirHues) {
    windows.optionsOpen = true;
    Send(OptionList(0, {}).Bytes());
    EXPECT_TRUE(Options().requested);
    Send(OptionList(1, {"Alpha", std::string(40, 'b')}).Bytes());
    EXPECT_FALSE(Options().requested);
    ASSERT_EQ(Options().lists[0].size(), 2u);
    EXPECT_EQ(Options().lists[0][0].name, "Alpha");
    EXPECT_EQ(Options().lists[0][0].id, 100u);
    EXPECT_EQ(Options().lists[0][1].name, std::string(29, 'b'));
    EXPECT_EQ(windows.optionsLists[0],
              (std::vector<std::string>{"Alpha", std::string(29, 'b'), "(new)"}));

    Options().online.fill(true);
    Send(OptionList(2, {"Carol", "Dave", "Erin"}).Bytes());
    ASSERT_EQ(Options().lists[1].size(), 3u);
    EXPECT_EQ(windows.optionsLists[1],
              (std::vector<std::string>{"Carol", "Dave", "Erin", "(new)"}));
    EXPECT_FALSE(Options().online[0]);
    EXPECT_FALSE(Options().online[2]);
    Options().online[1] = true;

    TextPacket states = TextPacket::Var(0x69);
    states.B(3).B(3).B(0).B(1).B(7);
    Send(states.Bytes());
    EXPECT_FALSE(Options().second[0]);
    EXPECT_TRUE(Options().second[1]);
    EXPECT_TRUE(Options().second[2]);
    // No state: 33; a state and online: 368; a state and offline: 902.
    EXPECT_EQ(windows.secondListHues, (std::map<int, u16>{{0, 33}, {1, 368}, {2, 902}}));
    EXPECT_TRUE(reports.Lines().empty());
}

TEST_F(BookBoardPacketHandlersTest, OptionListsKeepTwentyEntriesAndFillNoClosedWindow) {
    std::vector<std::string> names;
    for (int i = 0; i < 25; ++i)
        names.push_back("Name" + std::to_string(i));
    Send(OptionList(2, names).Bytes());
    ASSERT_EQ(Options().lists[1].size(), 20u);
    EXPECT_EQ(Options().lists[1][19].name, "Name19");
    TextPacket states = TextPacket::Var(0x69);
    states.B(3).B(24);
    for (int i = 0; i < 24; ++i)
        states.B(1);
    Send(states.Bytes());
    EXPECT_TRUE(Options().second[19]);
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_TRUE(reports.Lines().empty());
    // A last name without its terminator runs to the packet's end, where its id is missing.
    TextPacket cut = TextPacket::Var(0x69);
    cut.B(1).B(1).Raw("Unended");
    Send(cut.Bytes());
    EXPECT_EQ(reports.Lines(), std::vector<std::string>{"Closing the connection: server packet "
                                                        "0x69 is malformed at byte 12."});
    EXPECT_TRUE(Options().lists[0].empty());
}

TEST_F(BookBoardPacketHandlersTest, OnlineStateRecoloursByNameAndAlwaysPrints) {
    Send(OptionList(2, {"Carol", "Dave"}).Bytes());
    struct Case {
        int index;
        bool online;
        bool open;
        const char* printed;  // null: nothing at all
    } cases[] = {
        {1, true, true, "Dave is now online."},
        {1, false, true, "Dave is now offline."},
        {0, true, false, "Carol is now online."},
        {2, true, true, nullptr},   // no third entry
        {20, true, true, nullptr},  // past the list's room
        {255, false, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        hooks.calls.clear();
        windows.namedColours.clear();
        windows.optionsOpen = c.open;
        Options().online.fill(!c.online);
        Send(Online(c.index, c.online).Bytes());
        if (!c.printed) {
            EXPECT_TRUE(hooks.calls.empty());
            EXPECT_TRUE(windows.namedColours.empty());
            continue;
        }
        EXPECT_TRUE(Printed(c.printed)) << testing::PrintToString(hooks.calls);
        EXPECT_EQ(Options().online[size_t(c.index)], c.online);
        const std::string name = c.index == 0 ? "Carol" : "Dave";
        if (c.open) {
            EXPECT_EQ(windows.namedColours,
                      (std::vector<std::pair<std::string, u16>>{{name, c.online ? 368 : 902}}));
        } else {
            EXPECT_TRUE(windows.namedColours.empty());
        }
    }
}

TEST_F(BookBoardPacketHandlersTest, TextPopupOverTheObjectWithItsUnicodeText) {
    CClientObject* book = TheClientWorld().FindBySerial(kBook);
    book->box = ScreenRect{100, 50, 140, 90};
    ViewScrollX = 30;
    ViewScrollY = 20;
    struct Case {
        std::vector<u8> text;
        std::u16string want;
    } cases[] = {
        {{0x00, 'H', 0x04, 0x10, 0x00, '!'}, u"H\u0410!"},
        {{0x00, 'H', 0x00, 'i', 0x00}, u"Hi"},  // an odd last byte is dropped
        {{0x00, 'A', 0x00, 0x00, 0x00, 'B'}, u"A"},
        {{}, u""},
    };
    for (const Case& c : cases) {
        windows.popups.clear();
        TextPacket p = TextPacket::Var(0xB7);
        p.L(kBook);
        for (u8 b : c.text)
            p.B(b);
        Send(p.Bytes());
        ASSERT_EQ(windows.popups.size(), 1u);
        const TextWindowFake::Popup& w = windows.popups[0];
        EXPECT_EQ(w.x, 120 - 30);
        EXPECT_EQ(w.y, 50 - 20);
        EXPECT_EQ(w.width, 160);
        EXPECT_EQ(w.height, 100);
        EXPECT_EQ(w.text, c.want);
    }
    windows.popups.clear();
    TextPacket unknown = TextPacket::Var(0xB7);
    unknown.L(0x40000999).W('x');
    Send(unknown.Bytes());
    EXPECT_TRUE(windows.popups.empty());
    EXPECT_TRUE(reports.Lines().empty());
}

TEST_F(BookBoardPacketHandlersTest, ShortPacketsAreRefusedOnceAndChangeNothing) {
    windows.books[kBook].state = {true, 10, 1};
    windows.boards[kBoard].name = "Board";
    windows.optionsOpen = true;
    Item(kMessage, 0x0EB0);
    TextPacket pages = TextPacket::Var(0x66);
    pages.L(kBook).W(2).W(1).W(1).CText("kept?").W(2).W(3).CText("a");  // lines missing
    TextPacket summary = TextPacket::Var(0x71);
    summary.B(1).L(kBoard).L(kMessage).L(0).Counted("p").B(9).Raw("abc");
    TextPacket message = TextPacket::Var(0x71);
    message.B(2).L(kBoard).L(kMessage).Counted("p").Counted("s").Counted("t").W(0).W(0);
    message.B(3).W(1).W(1);
    TextPacket states = TextPacket::Var(0x69);
    states.B(3).B(5).B(1).B(1);
    TextPacket list = TextPacket::Var(0x69);
    list.B(2).B(2).CText("One").L(1).CText("Two").W(1);
    struct Case {
        std::vector<u8> bytes;
        const char* line;
    } cases[] = {
        {BookOpen(kBook, true, 3, "T", "A").Cut(97),
         "Closing the connection: server packet 0x93 is malformed at byte 68."},
        {pages.Bytes(), "Closing the connection: server packet 0x66 is malformed at byte 25."},
        {summary.Bytes(), "Closing the connection: server packet 0x71 is malformed at byte 19."},
        {message.Bytes(), "Closing the connection: server packet 0x71 is malformed at byte 27."},
        {states.Bytes(), "Closing the connection: server packet 0x69 is malformed at byte 5."},
        {list.Bytes(), "Closing the connection: server packet 0x69 is malformed at byte 17."},
        {Online(1, true).Cut(2),
         "Closing the connection: server packet 0x6A is malformed at byte 2."},
        {TextPacket::Var(0xB7).B(1).Bytes(),
         "Closing the connection: server packet 0xB7 is malformed at byte 3."},
    };
    for (const Case& c : cases) {
        reports.Clear();
        Send(c.bytes);
        EXPECT_EQ(reports.Lines(), std::vector<std::string>{c.line});
    }
    EXPECT_TRUE(windows.calls.empty()) << testing::PrintToString(windows.calls);
    EXPECT_TRUE(windows.books[kBook].pages.empty());
    EXPECT_TRUE(Options().lists[1].empty());
    EXPECT_FALSE(Options().second[0]);
}

}  // namespace
