#include "client/net/text_window_hooks.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "client/net/client_link.h"
#include "client/net/link_report.h"
#include "tests/client/net/text_packet_builder.h"
#include "tests/client/world/world_fixture.h"

namespace {

// The window kinds the handlers reach that are not built yet. A window issue that builds one
// takes it off this list (the list only shrinks).
const std::vector<TextWindowKind> kNotBuilt = {
    TextWindowKind::kStatus,  TextWindowKind::kShop,      TextWindowKind::kSkills,
    TextWindowKind::kBook,    TextWindowKind::kBoard,     TextWindowKind::kBoardMessage,
    TextWindowKind::kOptions, TextWindowKind::kTextPopup,
};

class TextWindowHooksTest : public WorldFixture {
protected:
    TextWindowHooksTest() : player(PlayerInStillWorld()) {
        previous = SetTextWindowHooks(&running);
        TheClientWorld().UpdateObject(kItem, 0x0FEF, 0, 1, 11, 10, 0, 0, 0, 0);
    }
    ~TextWindowHooksTest() override { SetTextWindowHooks(previous); }
    void Send(const std::vector<u8>& bytes) {
        link.Dispatcher().Dispatch(bytes.data(), bytes.size());
    }
    // Every packet of the handlers that reaches a window, twice over.
    void SendEveryWindowPacket() {
        for (int round = 0; round < 2; ++round) {
            TextPacket status = TextPacket::Var(0x11);
            status.L(1).Text("Me", 30).W(1).W(2).B(0).B(0);
            Send(status.Bytes());
            TextPacket bars = TextPacket::Fixed(0xA1);
            bars.L(1).W(5).W(4);
            Send(bars.Bytes());
            TextPacket skills = TextPacket::Var(0x3A);
            skills.B(0).W(1).W(100).W(0);
            link.state.skills.windowRequested = true;
            Send(skills.Bytes());
            TextPacket book = TextPacket::Fixed(0x93);
            book.L(kItem).B(1).W(2).Text("T", 60).Text("A", 30);
            Send(book.Bytes());
            TextPacket board = TextPacket::Var(0x71);
            board.B(0).L(kItem).Text("Board", 30);
            Send(board.Bytes());
            TextPacket message = TextPacket::Var(0x71);
            message.B(2).L(kItem).L(kItem).Counted("p").Counted("s").Counted("t");
            message.W(0).W(0).B(0).B(0);
            Send(message.Bytes());
            TextPacket options = TextPacket::Var(0x69);
            options.B(1).B(1).CText("Friend").L(7);
            Send(options.Bytes());
            TextPacket popup = TextPacket::Var(0xB7);
            popup.L(kItem).W('h');
            Send(popup.Bytes());
        }
    }

    static constexpr u32 kItem = 0x40000500;
    LinkReportCapture reports;
    TextWindowHooks running;
    TextWindowHooks* previous = nullptr;
    ClientLink link;
    CClientPlayer* player;
};

TEST_F(TextWindowHooksTest, EveryWindowKindNotBuiltSaysSoOnce) {
    SendEveryWindowPacket();
    std::vector<TextWindowKind> said = running.NotBuiltSaid();
    std::sort(said.begin(), said.end());
    EXPECT_EQ(said, kNotBuilt);
    for (TextWindowKind kind : kNotBuilt) {
        const std::string line =
            std::string("The ") + TextWindowKindName(kind) + " is not built yet.";
        EXPECT_EQ(reports.Count(line), 1) << line;
    }
    EXPECT_EQ(reports.Lines().size(), kNotBuilt.size());
}

TEST_F(TextWindowHooksTest, TheRecordsAreWrittenWhileTheWindowsAreNotBuilt) {
    SendEveryWindowPacket();
    EXPECT_EQ(link.state.status.name, "Me");
    EXPECT_EQ(player->hits, 4);
    EXPECT_EQ(player->maxHits, 5);
    EXPECT_EQ(link.state.skills.values[0], 100);
    ASSERT_EQ(link.state.options.lists[0].size(), 1u);
    EXPECT_EQ(link.state.options.lists[0][0].name, "Friend");
}

}  // namespace
